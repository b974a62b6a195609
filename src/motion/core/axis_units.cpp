// Per-axis unit factors (pulses per user distance, pps per user speed), the feedback ratio and
// the position source. These only record values; moves and position reads use them.
#include "device/trace.h"
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

using AxisTable = PerAxis<double> MotionContext::*;

// Unit factors and the ratio read 1.0 for a handle without a motion context.
constexpr double kNeutralFactor = 1.0;

void AxisValueStore(QUORVA_HANDLE handle, int axis, AxisTable table, double value) {
  if (MotionContext* context = AxisSettingsOf(handle, axis)) (context->*table)[axis] = value;
}

double AxisValueOf(QUORVA_HANDLE handle, int axis, AxisTable table) {
  const MotionContext* context = AxisSettingsOf(handle, axis);
  return context != nullptr ? (context->*table)[axis] : kNeutralFactor;
}

// A zero factor would make later divisions by it fail; it stands for the neutral factor.
double NonZeroFactor(double value) {
  return value == 0 ? kNeutralFactor : value;
}

}  // namespace

extern "C" {

void QUORVA_MC_SetUnitDistance(QUORVA_HANDLE handle, int axis, double value) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetUnitDistance(0x%x, %d, %.2f)", TraceWord(handle), axis,
               value);
  AxisValueStore(handle, axis, &MotionContext::unitDistance, NonZeroFactor(value));
}

double QUORVA_MC_GetUnitDistance(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetUnitDistance(0x%x, %d)", TraceWord(handle), axis);
  return AxisValueOf(handle, axis, &MotionContext::unitDistance);
}

void QUORVA_MC_SetUnitSpeed(QUORVA_HANDLE handle, int axis, double value) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetUnitSpeed(0x%x, %d, %.2f)", TraceWord(handle), axis,
               value);
  AxisValueStore(handle, axis, &MotionContext::unitSpeed, NonZeroFactor(value));
}

double QUORVA_MC_GetUnitSpeed(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetUnitSpeed(0x%x, %d)", TraceWord(handle), axis);
  return AxisValueOf(handle, axis, &MotionContext::unitSpeed);
}

void QUORVA_MC_SetInOutRatio(QUORVA_HANDLE handle, int axis, double ratio) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetInOutRatio(0x%x, %d, %.3f)", TraceWord(handle), axis,
               ratio);
  AxisValueStore(handle, axis, &MotionContext::inOutRatio, ratio);
}

double QUORVA_MC_GetInOutRatio(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetInOutRatio(0x%x, %d)", TraceWord(handle), axis);
  return AxisValueOf(handle, axis, &MotionContext::inOutRatio);
}

void QUORVA_MC_SetPosSrc(QUORVA_HANDLE handle, int axis, int source) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetPosSrc(0x%x, %d, %d)", TraceWord(handle), axis, source);
  if (MotionContext* context = AxisSettingsOf(handle, axis)) context->posSource[axis] = source;
}

}  // extern "C"
