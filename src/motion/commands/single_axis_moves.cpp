// Single-axis starts, blocking moves and stops.
#include "config/gantry_correct.h"
#include "device/trace.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"
#include "motion/io/position_counter.h"

using namespace quorva;

namespace {

// The absolute target of `axis` in pulses; a gantry axis's target is corrected through the
// mapping table together with the other gantry axis's present position.
double AbsoluteTarget(Handle handle, const MotionContext& context, int axis, double position) {
  if (!IsMappedAxis(context, axis)) return position * context.unitDistance[axis];
  const int x = context.gantryAxisX;
  const int y = context.gantryAxisY;
  const double px = axis == x ? position : QUORVA_MC_GetPosition_C(handle, x);
  const double py = axis == y ? position : QUORVA_MC_GetPosition_C(handle, y);
  const GantryPoint corrected =
      GantryCorrect(context, px * context.unitDistance[x], py * context.unitDistance[y]);
  return axis == x ? corrected.x : corrected.y;
}

// Prepares the speed profile of a move without a target and starts it.
void StartContinuous(Handle handle, MotionContext& context, int axis, int operation) {
  AxisProfilePrepare(handle, axis, context, 0, false, false, false);
  AxisModeUpdate(handle, axis, operation, -1, 0);
  AxisCommand(handle, axis, 0, ProfileStartCode(context, axis));
}

void Stop(Handle handle, int axis, std::uint32_t code) {
  if (ContextOf(handle) == nullptr) return;
  AxisCommand(handle, axis, 0, code);
  ReleaseInPosition(handle, axis);
}

// Runs a start operation silently, then waits for the axis unless the move was recorded.
template <typename Start>
void StartAndWait(Handle handle, int axis, Start start) {
  StartQuietly(start);
  const MotionContext* context = ContextOf(handle);
  if (context != nullptr && !IsListAxis(*context, axis)) WaitAxisDone(handle, axis);
}

}  // namespace

extern "C" {

void QUORVA_MC_StartVMove(QUORVA_HANDLE handle, int axis, int direction) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartVMove(0x%x, %d, %d)", TraceWord(handle), axis,
               direction);
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || !InAxisRange(axis)) return;
  AxisRegWrite(handle, axis, 8, 0);
  StartContinuous(handle, *context, axis,
                  direction > 0 ? opcode::kContinuousPositive : opcode::kContinuousNegative);
}

void QUORVA_MC_StartVMoveEx(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartVMoveEx(0x%x, %d)", TraceWord(handle), axis);
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || !InAxisRange(axis)) return;
  StartContinuous(handle, *context, axis, opcode::kContinuousExtended);
}

void QUORVA_MC_StartMoveTo(QUORVA_HANDLE handle, int axis, double position) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartMoveTo(0x%x, %d, %.3f)", TraceWord(handle), axis,
               position);
  if (!InAxisRange(axis)) return;
  const double target = AbsoluteTarget(handle, *context, axis, position);
  WaitAxisIdle(handle, *context, axis);
  const double distance = AbsoluteTargetSet(handle, *context, axis, target);
  AxisProfilePrepare(handle, axis, *context, ProfileDistance(distance), false, false, false);
  AxisModeUpdate(handle, axis, opcode::kAbsolute, -1, 0);
  LaunchAxisMove(handle, *context, axis);
}

void QUORVA_MC_StartMove(QUORVA_HANDLE handle, int axis, double distance) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartMove(0x%x, %d, %.3f)", TraceWord(handle), axis,
               distance);
  if (!InAxisRange(axis)) return;
  if (IsMappedAxis(*context, axis)) {
    QUORVA_MC_StartMoveTo(handle, axis, QUORVA_MC_GetPosition_C(handle, axis) + distance);
    return;
  }
  const double pulses = distance * context->unitDistance[axis];
  WaitAxisIdle(handle, *context, axis);
  RelativeTargetSet(handle, *context, axis, pulses);
  AxisModeUpdate(handle, axis, opcode::kRelative, -1, 0);
  AxisProfilePrepare(handle, axis, *context, ProfileDistance(pulses), false, false, false);
  LaunchAxisMove(handle, *context, axis);
}

void QUORVA_MC_StartMoveEx(QUORVA_HANDLE handle, int axis, double distance) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartMoveEx(0x%x, %d, %.3f)", TraceWord(handle), axis,
               distance);
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || !InAxisRange(axis)) return;
  const double pulses = distance * context->unitDistance[axis];
  WaitAxisIdle(handle, *context, axis);
  RelativeTargetSet(handle, *context, axis, pulses);
  AxisModeUpdate(handle, axis, opcode::kRelativeExtended, -1, 0);
  AxisProfilePrepare(handle, axis, *context, ProfileDistance(pulses), false, false, false);
  AxisCommand(handle, axis, 0, PositioningStartCode(*context, axis));
}

void QUORVA_MC_Move(QUORVA_HANDLE handle, int axis, double distance) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_Move(0x%x, %d, %.3f)", TraceWord(handle), axis, distance);
  StartAndWait(handle, axis, [&] { QUORVA_MC_StartMove(handle, axis, distance); });
}

void QUORVA_MC_MoveTo(QUORVA_HANDLE handle, int axis, double position) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_MoveTo(0x%x, %d, %.3f)", TraceWord(handle), axis,
               position);
  StartAndWait(handle, axis, [&] { QUORVA_MC_StartMoveTo(handle, axis, position); });
}

void QUORVA_MC_Stop(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_Stop(0x%x, %d)", TraceWord(handle), axis);
  Stop(handle, axis, axiscmd::kDecelStop);
}

void QUORVA_MC_EmgStop(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_EmgStop(0x%x, %d)", TraceWord(handle), axis);
  Stop(handle, axis, axiscmd::kEmergencyStop);
}

}  // extern "C"
