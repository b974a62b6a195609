// Arcs: the two lowest axes of a map, A (X) and B (Y), move along a circle, started with one
// command at constant speed. The controller gets the end point and the centre relative to the
// start; the completion step then brings both axes to the exact end point.
#include <bit>

#include "device/trace.h"
#include "motion/commands/arc_geometry.h"
#include "motion/commands/interpolation.h"
#include "motion/commands/list_motion.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/map_axes.h"
#include "motion/core/speed_profile.h"
#include "motion/io/counter_values.h"

namespace quorva {
namespace {

// Command that brings an axis to the end point of its arc.
constexpr std::uint32_t kArcCompletion = 85;
constexpr int kCentreRegister = 8;
// Mode-register bits of an arc, as the controller expects them.
constexpr std::uint32_t kModeArc = 1u << 15;
constexpr std::uint32_t kModeSweptArc = 3u << 16;  // an arc given by its angle
constexpr std::uint32_t kModeStartSignal = 3u << 18;
constexpr std::uint32_t kModeNewerController = 1u << 27;

// The arc axes of a mask: its two lowest axes, when they lie on one four-axis chip.
struct ArcAxes {
  int a = -1;
  int b = -1;

  static ArcAxes Of(std::uint32_t mask) {
    mask &= 0xFFu;
    if (std::popcount(mask) < 2) return {};
    const int a = std::countr_zero(mask);
    const int b = std::countr_zero(mask & ~(1u << a));
    // One start command cannot address axes of both chips.
    if ((a < 4) != (b < 4)) return {};
    return {a, b};
  }
  bool Valid() const { return a >= 0; }
  std::uint32_t Mask() const { return 1u << a | 1u << b; }
};

enum class ArcForm { kAngle, kEndPoint };

// The caller's arc, in user units.
struct ArcRequest {
  ArcForm form;
  bool absolute;
  double centerX;
  double centerY;
  double angle;  // kAngle
  double endX;   // kEndPoint
  double endY;
  int direction;
};

void TraceArc(const char* name, Handle handle, int map, const ArcRequest& r) {
  if (r.form == ArcForm::kAngle) {
    QUORVA_TRACE(kTraceCommand, "%s(0x%x, %d, %.3f, %.3f, %.3f)", name, TraceWord(handle), map,
                 r.centerX, r.centerY, r.angle);
  } else {
    QUORVA_TRACE(kTraceCommand, "%s(0x%x, %d, %.3f, %.3f, %.3f, %.3f, %d)", name, TraceWord(handle),
                 map, r.centerX, r.centerY, r.endX, r.endY, r.direction);
  }
}

// Both arc axes at the map's working speed, without ramps.
void ArcSpeedSetup(Handle handle, const MotionContext& context, int map, const ArcAxes& axes) {
  for (int axis : {axes.a, axes.b}) {
    ResolutionRegistersWrite(handle, axis, context);
    PreliminarySpeedsWrite(handle, axis, 0.0, context.mapWorkSpeed[map],
                           context.speedResolution[axis]);
  }
}

// Waits until no axis of the map moves. False when an abort asked to start nothing.
bool WaitMapIdle(Handle handle, const MotionContext& context, int map) {
  while (AnyAxisBusy(handle, context.mapAxisMask[map] & 0xFFu) == 1) {
    if (context.abortRequested != 0) return false;
    IdleWaitPass(context);
  }
  return true;
}

void StartArc(Handle handle, MotionContext& context, int map, ArcRequest r) {
  const int m = MapClamp(map);
  const ArcAxes axes = ArcAxes::Of(MapBoardAxes(context, m));
  if (!axes.Valid()) return;
  const double unitX = context.unitDistance[axes.a];
  const double unitY = context.unitDistance[axes.b];
  double cx = r.centerX * unitX;
  double cy = r.centerY * unitY;
  double ex = r.endX * unitX;
  double ey = r.endY * unitY;
  if (!WaitMapIdle(handle, context, m)) return;
  if (r.absolute) {
    const double x = MoveBase(handle, context, axes.a);
    const double y = MoveBase(handle, context, axes.b);
    cx -= x;
    cy -= y;
    ex -= x;
    ey -= y;
  }
  int code = r.direction > 0 ? opcode::kArcCounterClockwise : opcode::kArcClockwise;
  if (r.form == ArcForm::kAngle) {
    const ArcGeometry arc = ArcByAngle(cx, cy, r.angle);
    ex = arc.endX;
    ey = arc.endY;
    code = r.angle < 0 ? opcode::kArcClockwise : opcode::kArcCounterClockwise;
  }
  RelativeTargetSet(handle, context, axes.a, ex);
  RelativeTargetSet(handle, context, axes.b, ey);
  AxisRegWrite(handle, axes.a, kCentreRegister, static_cast<std::uint32_t>(ClampToCounter(cx)));
  AxisRegWrite(handle, axes.b, kCentreRegister, static_cast<std::uint32_t>(ClampToCounter(cy)));
  ArcSpeedSetup(handle, context, m, axes);
  for (int axis : {axes.a, axes.b})
    AxisModeUpdate(handle, axis, code, kModeArc, kModeArc);
  int version = 0;
  QUORVA_MC_GetDeviceVer(handle, &version, nullptr);
  const int newer = version > 0 ? static_cast<int>(kModeNewerController) : 0;
  for (int axis : {axes.a, axes.b})
    AxisModeUpdate(handle, axis, -1, newer, kModeNewerController);
  if (r.form == ArcForm::kAngle && !r.absolute)
    AxisModeUpdate(handle, axes.a, -1, kModeSweptArc, kModeSweptArc);
  const std::uint32_t command = GroupField(axes.Mask()) << 8 | axiscmd::kStartConstant;
  if (IsListAxis(context, axes.a) && IsListAxis(context, axes.b)) {
    ListAppend(handle, context, axes.Mask(), axes.a, command, kListStartMaster);
  } else {
    AxisCommand(handle, axes.a, 0, command);
  }
}

// Both axes run to the arc's end point in positioning mode; the call waits for them and then
// clears the mode code. While both are recorded, the step is recorded instead.
void ArcFinish(Handle handle, MotionContext& context, const ArcAxes& axes) {
  if (IsListAxis(context, axes.a) && IsListAxis(context, axes.b)) {
    AxisModeUpdate(handle, axes.a, opcode::kRelative, -1, 0);
    AxisModeUpdate(handle, axes.b, opcode::kRelative, -1, 0);
    ListAppend(handle, context, axes.Mask(), axes.a, kArcCompletion, kListArcCompletion);
    return;
  }
  const std::uint32_t mode = AxisRegRead(handle, axes.a, reg::kMode);
  AxisModeUpdate(handle, axes.a, -1, 0, kModeSweptArc);
  for (int axis : {axes.a, axes.b})
    AxisModeUpdate(handle, axis, opcode::kRelative, 0, kModeStartSignal);
  for (int axis : {axes.a, axes.b})
    AxisCommand(handle, axis, 0, kArcCompletion);
  for (int axis : {axes.a, axes.b})
    WaitAxisDone(handle, axis);
  for (int axis : {axes.a, axes.b})
    AxisRegWrite(handle, axis, reg::kMode, mode & ~0xFFu);
}

// The arc axes the completion works on: the two lowest of bits 0-7 of the map's mask.
ArcAxes CompletionAxes(const MotionContext& context, int map) {
  return ArcAxes::Of(context.mapAxisMask[MapClamp(map)]);
}

// One arc operation: its trace line and the start; the blocking forms start silently and then
// complete the arc (also when nothing was started).
void RunArc(const char* name, Handle handle, int map, const ArcRequest& request, bool blocking) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  TraceArc(name, handle, map, request);
  if (!blocking) {
    StartArc(handle, *context, map, request);
    return;
  }
  {
    TraceQuietScope quiet;
    StartArc(handle, *context, map, request);
  }
  const ArcAxes axes = CompletionAxes(*context, map);
  if (axes.Valid()) ArcFinish(handle, *context, axes);
}

ArcRequest ByAngle(bool absolute, double centerX, double centerY, double angle) {
  return {ArcForm::kAngle, absolute, centerX, centerY, angle, 0, 0, 0};
}

ArcRequest ByEndPoint(bool absolute, double centerX, double centerY, double endX, double endY,
                      int direction) {
  return {ArcForm::kEndPoint, absolute, centerX, centerY, 0, endX, endY, direction};
}

}  // namespace
}  // namespace quorva

using namespace quorva;

extern "C" {

void QUORVA_MC_StartArc_a(QUORVA_HANDLE handle, int map, double centerX, double centerY,
                          double angle) {
  RunArc("QUORVA_MC_StartArc_a", handle, map, ByAngle(false, centerX, centerY, angle), false);
}

void QUORVA_MC_Arc_a(QUORVA_HANDLE handle, int map, double centerX, double centerY, double angle) {
  RunArc("QUORVA_MC_Arc_a", handle, map, ByAngle(false, centerX, centerY, angle), true);
}

void QUORVA_MC_StartArcTo_a(QUORVA_HANDLE handle, int map, double centerX, double centerY,
                            double angle) {
  RunArc("QUORVA_MC_StartArcTo_a", handle, map, ByAngle(true, centerX, centerY, angle), false);
}

void QUORVA_MC_ArcTo_a(QUORVA_HANDLE handle, int map, double centerX, double centerY,
                       double angle) {
  RunArc("QUORVA_MC_ArcTo_a", handle, map, ByAngle(true, centerX, centerY, angle), true);
}

void QUORVA_MC_StartArc_p(QUORVA_HANDLE handle, int map, double centerX, double centerY,
                          double endX, double endY, int direction) {
  RunArc("QUORVA_MC_StartArc_p", handle, map,
         ByEndPoint(false, centerX, centerY, endX, endY, direction), false);
}

void QUORVA_MC_Arc_p(QUORVA_HANDLE handle, int map, double centerX, double centerY, double endX,
                     double endY, int direction) {
  RunArc("QUORVA_MC_Arc_p", handle, map, ByEndPoint(false, centerX, centerY, endX, endY, direction),
         true);
}

void QUORVA_MC_StartArcTo_p(QUORVA_HANDLE handle, int map, double centerX, double centerY,
                            double endX, double endY, int direction) {
  RunArc("QUORVA_MC_StartArcTo_p", handle, map,
         ByEndPoint(true, centerX, centerY, endX, endY, direction), false);
}

void QUORVA_MC_ArcTo_p(QUORVA_HANDLE handle, int map, double centerX, double centerY, double endX,
                       double endY, int direction) {
  RunArc("QUORVA_MC_ArcTo_p", handle, map,
         ByEndPoint(true, centerX, centerY, endX, endY, direction), true);
}

void QUORVA_MC_CompleteArc(QUORVA_HANDLE handle, int map) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_CompleteArc(0x%x, %d)", TraceWord(handle), map);
  const ArcAxes axes = CompletionAxes(*context, map);
  if (axes.Valid()) ArcFinish(handle, *context, axes);
}

int QUORVA_MC_MxDone(QUORVA_HANDLE handle, int map) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  const std::uint32_t mask = MapBoardAxes(*context, MapClamp(map));
  for (int axis = 0; axis < kMaxAxes; ++axis) {
    if ((mask >> axis & 1u) != 0 && QUORVA_MC_Done(handle, axis) == 0) return 0;
  }
  return 1;
}

}  // extern "C"
