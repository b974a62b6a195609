// QUORVA_MC_GetPosition_C/A and QUORVA_MC_SetPosition_C/A: the command and actual positions
// of an axis in user units.
#include "device/trace.h"
#include "motion/core/motion_context.h"
#include "motion/io/counter_values.h"
#include "motion/io/position_counter.h"

using namespace quorva;

namespace {

// The actual-position count of a position in user units: position × unit distance ÷ in/out
// ratio, or without the ratio while it is 0.
double ActualCountOf(const MotionContext& context, int axis, double position) {
  const double pulses = position * context.unitDistance[axis];
  const double ratio = context.inOutRatio[axis];
  return ratio == 0 ? pulses : pulses / ratio;
}

}  // namespace

extern "C" {

double QUORVA_MC_GetPosition_C(QUORVA_HANDLE handle, int axis) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetPosition_C(0x%x, %d)", TraceWord(handle), axis);
  if (!AxisValid(context, axis)) return 0;
  return ReadPositionCounter(handle, *context, axis, reg::kCounterCommand) /
         context->unitDistance[axis];
}

void QUORVA_MC_SetPosition_C(QUORVA_HANDLE handle, int axis, double position) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetPosition_C(0x%x, %d, %.3f)", TraceWord(handle), axis,
               position);
  MotionContext* context = ContextOf(handle);
  if (!AxisValid(context, axis)) return;
  const int raw = PresetPositionCounter(handle, *context, axis, reg::kCounterCommand,
                                        position * context->unitDistance[axis]);
  RecordPresetPosition(*context, axis, raw);
}

double QUORVA_MC_GetPosition_A(QUORVA_HANDLE handle, int axis) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetPosition_A(0x%x, %d)", TraceWord(handle), axis);
  if (!AxisValid(context, axis)) return 0;
  return ReadPositionCounter(handle, *context, axis, reg::kCounterActual) *
         context->inOutRatio[axis] / context->unitDistance[axis];
}

void QUORVA_MC_SetPosition_A(QUORVA_HANDLE handle, int axis, double position) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetPosition_A(0x%x, %d, %.3f)", TraceWord(handle), axis,
               position);
  const MotionContext* context = ContextOf(handle);
  if (!AxisValid(context, axis)) return;
  PresetPositionCounter(handle, *context, axis, reg::kCounterActual,
                        ActualCountOf(*context, axis, position));
}

}  // extern "C"
