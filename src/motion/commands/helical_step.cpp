// One helical step: an arc of axes A and B in the controller's helical modes, with a linear
// axis Z (and, given four axes, an auxiliary axis) moved over the arc's count of steps. The
// speed settings of the steps are shared by all boards.
#include <algorithm>
#include <bit>
#include <cmath>
#include <mutex>
#include <numbers>

#include "device/immortal.h"
#include "device/trace.h"
#include "motion/commands/arc_geometry.h"
#include "motion/commands/axis_list.h"
#include "motion/commands/interpolation.h"
#include "motion/commands/list_motion.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"
#include "motion/io/counter_values.h"

namespace quorva {
namespace {

// Operation codes of a helical step's arc axes.
constexpr int kHelixClockwise = 102;
constexpr int kHelixCounterClockwise = 103;
constexpr int kCentreRegister = 8;
// The arc's step count, from which the controller places the deceleration of a ramped step.
constexpr int kStepCountRegister = 12;
constexpr std::uint32_t kModeArc = 1u << 15;
constexpr std::uint32_t kModeHelixBits = kModeArc | 1u << 27;
// A step moves N steps for an arc whose step positions differ by N - 4.
constexpr double kStepCountMargin = 4;

// QUORVA_MC_SetHelOnceSpeed's settings: how the path speed is shared between the arc and the
// linear axes, the profile, and the speeds in user units of the step's first axis.
struct StepSpeeds {
  int ratioMode = 0;
  int speedMode = 0;
  double speed = 0;
  double accel = 0;
  double decel = 0;
};

struct StepSpeedStore {
  std::mutex mutex;
  StepSpeeds speeds;
};

StepSpeedStore& Speeds() {
  static Immortal<StepSpeedStore> store;
  return *store;
}

StepSpeeds StoredSpeeds() {
  StepSpeedStore& store = Speeds();
  std::lock_guard lock(store.mutex);
  return store.speeds;
}

// A step's axes: A, B, Z and the optional auxiliary axis, all of the board, none twice, on one
// four-axis chip (one start command addresses them); its values and angle finite.
bool ValidStep(const MotionContext& context, int count, const int* axes, const double* values,
               double angle) {
  if ((count != 3 && count != 4) || axes == nullptr || values == nullptr) return false;
  std::uint32_t mask = 0;
  for (int i = 0; i < count; ++i) {
    if (!AxisValid(&context, axes[i]) || (mask >> axes[i] & 1u) != 0) return false;
    if ((axes[i] < 4) != (axes[0] < 4) || !std::isfinite(values[i])) return false;
    mask |= 1u << axes[i];
  }
  return std::isfinite(angle);
}

// The factor on the set speeds for a step of N arc steps and z pulses of Z. A ratio that would
// divide by zero, or stop the step, is 1.
double SpeedRatio(int ratioMode, double n, double z) {
  double k = 1;
  if (ratioMode == 0) {
    k = std::max(n, std::fabs(z)) / std::sqrt(n * n + z * z);
  } else if (ratioMode == 1) {
    k = z > n ? std::fabs(z / n) : 1;
  } else {
    k = z < n ? std::fabs(n / z) : 1;
  }
  return k > 0 && std::isfinite(k) ? k : 1;
}

// Every axis of the step at `speed` × k with the stored profile, loaded as a path's master
// axis is.
void StepSpeedSetup(Handle handle, MotionContext& context, int count, const int* axes,
                    const StepSpeeds& stored, double unitSpeed, double k) {
  const double speed = stored.speed * unitSpeed * k;
  for (int i = 0; i < count; ++i) {
    const int axis = axes[i];
    ResolutionRegistersWrite(handle, axis, context);
    ScurveBitUpdate(handle, axis, stored.speedMode);
    PreliminarySpeedsWrite(handle, axis, context.startSpeed[axis], speed,
                           context.speedResolution[axis]);
    const SavedSpeedSettings saved(context, axis);
    context.speedMode[axis] = stored.speedMode;
    SpeedProfileCompute(handle, axis, context, context.startSpeed[axis], speed,
                        stored.accel * unitSpeed * k, stored.decel * unitSpeed * k, 0, false,
                        false);
  }
}

// The arc's count of steps: from the start's step position to the end's, the long way round
// for a clockwise arc.
double ArcStepCount(const ArcGeometry& arc, double centerX, double centerY, double angle) {
  const double end = arc.endAngle * kArcPi / 180.0;
  const double r = arc.radius;
  const double from = ArcStepPosition(arc.startAngle, r, -centerX, -centerY);
  const double to = ArcStepPosition(arc.endAngle, r, r * std::cos(end), r * std::sin(end));
  double d = to - from;
  if (angle < 0) d = d < 0 ? std::fabs(d) : std::trunc(8 * r / std::numbers::sqrt2 - d);
  return d;
}

std::uint32_t Word(double pulses) {
  return static_cast<std::uint32_t>(ClampToCounter(pulses));
}

double StartStep(Handle handle, int count, const int* axes, const double* values, double angle) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || !ValidStep(*context, count, axes, values, angle)) return 0;
  const int a = axes[0];
  const int b = axes[1];
  const int z = axes[2];
  const StepSpeeds stored = StoredSpeeds();
  double pulses[4] = {};
  std::uint32_t mask = 0;
  for (int i = 0; i < count; ++i) {
    pulses[i] = values[i] * context->unitDistance[axes[i]];
    mask |= 1u << axes[i];
  }
  while (AnyAxisBusy(handle, mask) == 1) {
    if (context->abortRequested != 0) return 0;
    IdleWaitPass(*context);
  }
  const double cx = pulses[0];
  const double cy = pulses[1];
  const ArcGeometry arc = ArcByAngle(cx, cy, angle);
  RelativeTargetSet(handle, *context, a, arc.endX);
  RelativeTargetSet(handle, *context, b, arc.endY);
  AxisRegWrite(handle, a, kCentreRegister, Word(cx));
  AxisRegWrite(handle, b, kCentreRegister, Word(cy));
  const int code = angle < 0 ? kHelixClockwise : kHelixCounterClockwise;
  for (int axis : {a, b})
    AxisModeUpdate(handle, axis, code, static_cast<int>(kModeHelixBits), kModeHelixBits);
  const double d = ArcStepCount(arc, cx, cy, angle);
  if (d == 0) return 0;
  const double n = d + kStepCountMargin;

  double k = 1;
  if (count == 3) {
    AxisModeUpdate(handle, z, opcode::kRelative, -1, 0);
    AxisRegWrite(handle, z, reg::kMoveAmount, Word(pulses[2] > 0 ? n : -n));
  } else {
    const int auxiliary = axes[3];
    AxisRegWrite(handle, z, reg::kMoveAmount, Word(pulses[2]));
    AxisRegWrite(handle, auxiliary, reg::kMoveAmount, Word(pulses[3] > 0 ? n : -n));
    for (int axis : {z, auxiliary})
      AxisModeUpdate(handle, axis, opcode::kLinearInterpolation, -1, 0);
    k = SpeedRatio(stored.ratioMode, n, pulses[2]);
  }
  StepSpeedSetup(handle, *context, count, axes, stored, context->unitSpeed[a], k);

  const bool ramped = stored.speedMode != 0;
  for (int axis : {a, b})
    AxisRegWrite(handle, axis, kStepCountRegister, ramped ? Word(n) : 0u);
  const std::uint32_t command =
      GroupField(mask) << 8 | (ramped ? axiscmd::kStartRamped : axiscmd::kStartConstant);
  if (AreListAxes(*context, count, axes)) {
    ListAppend(handle, *context, mask, a, command, kListStartMaster);
  } else {
    AxisCommand(handle, a, 0, command);
  }
  return n;
}

// The lists of a step's trace line are printed when they can be read safely.
int PrintableCount(int count, const int* axes, const double* values) {
  return count >= 0 && count <= kMaxAxes && axes != nullptr && values != nullptr ? count : 0;
}

void TraceStep(const char* name, Handle handle, int count, const int* axes, const double* values,
               double angle) {
  const int printed = PrintableCount(count, axes, values);
  QUORVA_TRACE(kTraceCommand, "%s(0x%x, %d, %s, %s, %.3f)", name, TraceWord(handle), count,
               TraceList(printed, axes).c_str(), TraceList(printed, values).c_str(), angle);
}

}  // namespace
}  // namespace quorva

using namespace quorva;

extern "C" {

void QUORVA_MC_SetHelOnceSpeed(QUORVA_HANDLE handle, int ratioMode, int speedMode, double speed,
                               double accel, double decel) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetHelOnceSpeed(0x%x, %d, %d, %.3f, %.3f, %.3f)",
               TraceWord(handle), ratioMode, speedMode, speed, accel, decel);
  StepSpeedStore& store = Speeds();
  std::lock_guard lock(store.mutex);
  store.speeds = {ratioMode, speedMode, speed, accel, decel};
}

double QUORVA_MC_StartHelOnce(QUORVA_HANDLE handle, int count, const int* axes,
                              const double* values, double angle) {
  TraceStep("QUORVA_MC_StartHelOnce", handle, count, axes, values, angle);
  return StartStep(handle, count, axes, values, angle);
}

double QUORVA_MC_HelOnce(QUORVA_HANDLE handle, int count, const int* axes, const double* values,
                         double angle) {
  TraceStep("QUORVA_MC_HelOnce", handle, count, axes, values, angle);
  double steps = 0;
  {
    TraceQuietScope quiet;
    steps = StartStep(handle, count, axes, values, angle);
  }
  const MotionContext* context = ContextOf(handle);
  if (steps != 0 && context != nullptr && !AreListAxes(*context, count, axes)) {
    WaitAxisDone(handle, axes[0]);
  }
  return steps;
}

}  // extern "C"
