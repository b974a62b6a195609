#include "motion/commands/move_setup.h"

#include <cmath>

#include "motion/commands/list_motion.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/io/counter_values.h"
#include "motion/io/position_counter.h"
#include "platform/platform.h"

namespace quorva {
namespace {

constexpr int kMoveAmountHigh = 8;

}  // namespace

void IdleWaitPass(const MotionContext& context) {
  DriverAwaitProgress();
  platform::WaitPassOneMessage(context.pumpMessagesWhileWaiting);
}

void WaitAxisIdle(Handle handle, const MotionContext& context, int axis) {
  while (AxisBusy(handle, axis) == 1)
    IdleWaitPass(context);
}

void WaitAxesIdle(Handle handle, const MotionContext& context, std::uint32_t mask) {
  while (AnyAxisBusy(handle, mask) == 1)
    IdleWaitPass(context);
}

void WaitAxisDone(Handle handle, int axis) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  while (QUORVA_MC_Done(handle, axis) == 0) {
    DriverAwaitProgress();
    platform::WaitPass(context->pumpMessagesWhileWaiting);
  }
}

double MoveBase(Handle handle, const MotionContext& context, int axis) {
  return IsListAxis(context, axis) ? context.moveTargetPos[axis]
                                   : ReadCounter28(handle, axis, reg::kCounterCommand);
}

void RelativeTargetSet(Handle handle, MotionContext& context, int axis, double pulses) {
  const double base = MoveBase(handle, context, axis);
  context.moveStartPos[axis] = base;
  context.moveTargetPos[axis] = base + pulses;
  const double rounded = pulses < 0 ? pulses - 0.5 : pulses + 0.5;
  AxisRegWrite(handle, axis, reg::kMoveAmount, static_cast<std::uint32_t>(ClampToCounter(rounded)));
  AxisRegWrite(handle, axis, kMoveAmountHigh, 0);
}

double AbsoluteTargetSet(Handle handle, MotionContext& context, int axis, double target) {
  const double base = MoveBase(handle, context, axis);
  context.moveStartPos[axis] = base;
  AxisRegWrite(handle, axis, reg::kMoveAmount, static_cast<std::uint32_t>(ClampToCounter(target)));
  context.moveTargetPos[axis] = target;
  AxisRegWrite(handle, axis, kMoveAmountHigh, 0);
  return target - base;
}

std::uint32_t PositioningStartCode(const MotionContext& context, int axis) {
  if (context.speedMode[axis] == 0) return axiscmd::kStartConstant;
  return context.accel[axis] == 0 ? axiscmd::kStartDecelerate : axiscmd::kStartRamped;
}

std::uint32_t ProfileStartCode(const MotionContext& context, int axis) {
  return context.speedMode[axis] != 0 ? axiscmd::kStartRamped : axiscmd::kStartConstant;
}

void LaunchAxisMove(Handle handle, MotionContext& context, int axis) {
  const std::uint32_t code = PositioningStartCode(context, axis);
  if (IsListAxis(context, axis)) {
    ListAppend(handle, context, 1u << axis, axis, code, kListStartMaster);
  } else {
    AxisCommand(handle, axis, 0, code);
  }
}

int ProfileDistance(double pulses) {
  return static_cast<int>(ClampToCounter(pulses));
}

void ReleaseInPosition(Handle handle, int axis) {
  int enabled = 0;
  int logic = 0;
  QUORVA_MC_GetMioCfgINP(handle, axis, &enabled, &logic);
  if (enabled == 0) return;
  QUORVA_MC_SetMioCfgINP(handle, axis, enabled, logic == 0 ? 1 : 0);
  QUORVA_MC_SetMioCfgINP(handle, axis, enabled, logic);
}

}  // namespace quorva
