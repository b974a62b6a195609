// Stored speeds, accelerations and profile shape of an axis, in pps; a move turns them into
// register values.
#include "device/trace.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"

using namespace quorva;

extern "C" {

void QUORVA_MC_SetSpeed(QUORVA_HANDLE handle, int axis, double startSpeed, double workSpeed) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetSpeed(0x%x, %d, %.3f, %.3f)", TraceWord(handle), axis,
               startSpeed, workSpeed);
  MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr) return;
  const double unit = context->unitSpeed[axis];
  const double start = startSpeed * unit;
  const double work = workSpeed * unit;
  if (!SpeedAccepted(start) || !SpeedAccepted(work)) return;
  // Within the range of the present resolution: at most 65535 steps, at least one step.
  const double resolution = context->speedResolution[axis];
  const double fastest = kMaxSpeedSteps * resolution;
  context->workSpeed[axis] = work < fastest ? work : fastest;
  context->startSpeed[axis] = start > resolution ? start : resolution;
}

void QUORVA_MC_SetAccel(QUORVA_HANDLE handle, int axis, double accel, double decel) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetAccel(0x%x, %d, %.3f, %.3f)", TraceWord(handle), axis,
               accel, decel);
  MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr) return;
  const double unit = context->unitSpeed[axis];
  context->accel[axis] = accel * unit;
  // Speed override reads the deceleration that was in force before this change.
  context->prevDecel[axis] = context->decel[axis];
  context->decel[axis] = decel * unit;
}

// The S-curve sections are fixed at zero: the profile writes zero sections whatever is asked.
void QUORVA_MC_SetScurve(QUORVA_HANDLE handle, int axis, double accelSection, double decelSection) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetScurve(0x%x, %d, %.3f, %.3f)", TraceWord(handle), axis,
               accelSection, decelSection);
  MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr) return;
  context->scurveAccel[axis] = 0;
  context->scurveDecel[axis] = 0;
}

void QUORVA_MC_SetSpeedMode(QUORVA_HANDLE handle, int axis, int mode) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetSpeedMode(0x%x, %d, %d)", TraceWord(handle), axis,
               mode);
  if (MotionContext* context = AxisSettingsOf(handle, axis)) context->speedMode[axis] = mode;
}

}  // extern "C"
