// A helix of several turns around a centre, its linear axis covering a distance. Newer
// controllers run it as a list of helical steps; older ones have a worker thread chain plain
// arcs while the linear axis runs one long move, and end the helix when either side is done.
#include <algorithm>
#include <bit>
#include <cmath>

#include "device/trace.h"
#include "motion/commands/helical.h"
#include "motion/commands/interpolation.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"

namespace quorva {
namespace {

constexpr int kLastHelicalMap = 9;
constexpr double kTurn = 360;
// Releases the axes of the group field that wait for the start signal.
constexpr std::uint32_t kReleaseWaiting = 42;
constexpr std::uint32_t kArcCompletion = 85;
constexpr std::uint32_t kModeStartSignal = 3u << 18;
// The start-signal input a worker's axes wait on while they are set up.
constexpr int kStartSignalInput = 1;
// Ratio mode of the list plan's steps: the linear axis keeps its own speed.
constexpr int kLinearAxisSpeed = 2;

bool NewerController(Handle handle) {
  int version = 0;
  const TraceQuietScope quiet;
  QUORVA_MC_GetDeviceVer(handle, &version, nullptr);
  return version > 0;
}

bool SameChip(int first, int second) {
  return (first < 4) == (second < 4);
}

// The application's record as a block: the arc axes from the map, every axis of the board and
// on one chip (the start commands address them together), the values finite. The list plan
// also moves the chip's last axis as the count of arc steps. False when no helix can run.
bool Resolve(Handle handle, const MotionContext& context, const HelicalParams& p, bool listPlan,
             HelicalBlock& block) {
  const std::uint32_t arcAxes = context.mapAxisMask[p.map] & 0xFFu;
  if (std::popcount(arcAxes) < 2) return false;
  block = {handle,
           p.map,
           std::countr_zero(arcAxes),
           std::countr_zero(arcAxes & (arcAxes - 1)),
           p.linearAxis,
           p.direction < 1 ? -1 : 1,
           p.arcCount,
           p.lastAngle,
           p.centerX,
           p.centerY,
           p.distance};
  const int auxiliary = block.a > 3 ? 7 : 3;
  const std::uint32_t axes = 1u << block.a | 1u << block.b;
  const bool axesUsable =
      AxisValid(&context, block.b) && AxisValid(&context, block.z) && SameChip(block.a, block.b) &&
      SameChip(block.a, block.z) && (axes >> block.z & 1u) == 0 &&
      (!listPlan ||
       (AxisValid(&context, auxiliary) && ((axes | 1u << block.z) >> auxiliary & 1u) == 0));
  return axesUsable && std::isfinite(p.centerX) && std::isfinite(p.centerY) &&
         std::isfinite(p.lastAngle) && std::isfinite(p.distance);
}

// The helix as a list of four-axis steps: full turns, then the last arc, the linear axis
// keeping one pitch throughout. One turn is started at once; more are recorded and handed to
// the driver together.
void RunHelicalList(Handle handle, const MotionContext& context, const HelicalBlock& b) {
  const int axes[4] = {b.a, b.b, b.z, b.a > 3 ? 7 : 3};
  const auto step = [&](double linear, double angle) {
    const double values[4] = {b.centerX, b.centerY, linear, 1};
    QUORVA_MC_StartHelOnce(handle, 4, axes, values, angle);
  };
  const int z = b.z;
  double linear = b.distance;
  if (b.arcs > 1) {
    double lastTurns = std::fabs(b.lastAngle / kTurn);
    if (lastTurns > 1) lastTurns -= std::floor(lastTurns);
    // The full turns and the last arc share the distance in proportion to their angles.
    linear = b.distance / (b.arcs - 1 + lastTurns);
    QUORVA_MC_SetHelOnceSpeed(handle, kLinearAxisSpeed, context.speedMode[z], context.workSpeed[z],
                              context.accel[z], 0);
    QUORVA_MC_BeginList(handle);
    for (int turn = 0; turn < b.arcs - 1; ++turn)
      step(linear, b.direction * kTurn);
    QUORVA_MC_SetHelOnceSpeed(handle, kLinearAxisSpeed, context.speedMode[z], context.workSpeed[z],
                              0, context.decel[z]);
    linear = b.distance - (b.arcs - 1) * linear;
  } else {
    QUORVA_MC_SetHelOnceSpeed(handle, kLinearAxisSpeed, context.speedMode[z], context.workSpeed[z],
                              context.accel[z], context.decel[z]);
  }
  step(linear, b.direction * b.lastAngle);
  QUORVA_MC_EndList(handle);
  QUORVA_MC_StartListMotion(handle);
}

// The worker's view of the board and its helix.
class HelicalRun {
 public:
  HelicalRun(MotionContext& context, const HelicalBlock& block)
      : context_(context), b_(block), h_(block.handle) {}

  void Run() {
    SaveAndHoldAxes();
    if (WaitLinearAxisIdle()) {
      QUORVA_MC_StartMove(h_, b_.z, b_.distance);
      Arc(b_.arcs > 1 ? b_.direction * kTurn : LastArc());
      AxisCommand(h_, b_.a, 0, GroupField(Mask3()) << 8 | kReleaseWaiting);
      for (int axis : axes_)
        QUORVA_MC_SetMioCfgSTA(h_, axis, 0, kStartSignalInput);
      if (!ChainTurns()) AwaitEither();
    }
    RestoreAxes();
    context_.helicalRunning = 0;
  }

 private:
  bool Aborted() const { return context_.abortRequested != 0; }
  std::uint32_t Mask3() const { return 1u << b_.a | 1u << b_.b | 1u << b_.z; }
  double LastArc() const { return b_.direction * std::fabs(b_.lastAngle); }
  void Arc(double angle) { QUORVA_MC_StartArc_a(h_, b_.map, b_.centerX, b_.centerY, angle); }
  bool Done(int axis) { return QUORVA_MC_Done(h_, axis) != 0; }
  void StopAll(int count) { QUORVA_MC_StopAll(h_, count, axes_); }

  // The three axes' modes and environments are kept; they start on the start signal only.
  void SaveAndHoldAxes() {
    for (int i = 0; i < 3; ++i) {
      savedMode_[i] = AxisRegRead(h_, axes_[i], reg::kModeInForce);
      savedEnvironment_[i] = AxisRegRead(h_, axes_[i], reg::kEnvironment1);
      QUORVA_MC_SetMioCfgSTA(h_, axes_[i], 1, kStartSignalInput);
    }
  }

  void RestoreAxes() {
    for (int i = 0; i < 3; ++i) {
      AxisRegWrite(h_, axes_[i], reg::kMode, savedMode_[i]);
      AxisRegWrite(h_, axes_[i], reg::kEnvironment1, savedEnvironment_[i]);
    }
  }

  // A linear axis still moving when the helix starts is waited for, as its move would; an
  // abort ends the wait and the helix.
  bool WaitLinearAxisIdle() {
    while (AxisBusy(h_, b_.z) == 1) {
      if (Aborted()) return false;
      IdleWaitPass(context_);
    }
    return !Aborted();
  }

  // The full turns after the first, each started once the arc before has ended, then the last
  // arc. True when an abort, or the linear axis arriving first, ended the helix between turns.
  bool ChainTurns() {
    if (b_.arcs <= 1) return false;
    for (int turn = 0; turn < b_.arcs - 2; ++turn) {
      Arc(b_.direction * kTurn);
      if (Aborted()) {
        StopAll(3);
        return true;
      }
      if (Done(b_.z)) {
        // The arc just started is stopped at once with both its axes.
        AxisCommand(h_, b_.a, 0, GroupField(1u << b_.a | 1u << b_.b) << 8 | axiscmd::kListStop);
        return true;
      }
    }
    Arc(LastArc());
    return false;
  }

  // Whichever side finishes first ends the helix: the linear axis stops the arcs; arcs that
  // end first stop the linear axis and are completed to their exact end point.
  void AwaitEither() {
    for (;;) {
      if (Aborted()) {
        StopAll(3);
        return;
      }
      if (Done(b_.z)) {
        StopAll(2);
        return;
      }
      if (Done(b_.a) && Done(b_.b)) {
        QUORVA_MC_Stop(h_, b_.z);
        for (int axis : {b_.a, b_.b})
          AxisModeUpdate(h_, axis, opcode::kRelative, 0, kModeStartSignal);
        AxisCommand(h_, b_.a, 0, kArcCompletion);
        AxisCommand(h_, b_.b, 0, kArcCompletion);
        return;
      }
    }
  }

  MotionContext& context_;
  const HelicalBlock& b_;
  const Handle h_;
  const int axes_[3] = {b_.a, b_.b, b_.z};
  std::uint32_t savedMode_[3] = {};
  std::uint32_t savedEnvironment_[3] = {};
};

}  // namespace

void RunHelicalWorker(MotionContext& context, const HelicalBlock& block) {
  HelicalRun(context, block).Run();
}

}  // namespace quorva

using namespace quorva;

extern "C" {

int QUORVA_MC_StartHelical(QUORVA_HANDLE handle, HelicalParams* params) {
  if (params == nullptr) return 0;
  QUORVA_TRACE(kTraceCommand,
               "QUORVA_MC_StartHelical(0x%x, [%d, %d, %.1f, %.1f, %d, %d, %.1f, %.1f])",
               TraceWord(handle), params->map, params->linearAxis, params->centerX, params->centerY,
               params->direction, params->arcCount, params->lastAngle, params->distance);
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  params->map = std::clamp(params->map, 0, kLastHelicalMap);
  const bool listPlan = NewerController(handle);
  HelicalBlock block;
  // One helix at a time per board: a second one would take over the axes of the first.
  if (!Resolve(handle, *context, *params, listPlan, block) || context->helicalRunning != 0)
    return 0;
  JoinEndedHelicalWorkers();
  if (block.arcs < 1) return 1;
  if (listPlan) {
    RunHelicalList(handle, *context, block);
    return 1;
  }
  return StartHelicalWorker(*context, block) ? 1 : 0;
}

int QUORVA_MC_AbortHelical(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_AbortHelical(0x%x)", TraceWord(handle));
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  if (NewerController(handle)) {
    const TraceQuietScope quiet;
    QUORVA_MC_AbortListMotion(handle);
    return 1;
  }
  AbortHelicalWorker(*context);
  JoinEndedHelicalWorkers();
  return 1;
}

}  // extern "C"
