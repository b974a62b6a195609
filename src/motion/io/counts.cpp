// QUORVA_MC_GetCount_* and QUORVA_MC_SetCount_*: the five counters of an axis in pulses. C
// and A are the position counters (mapped on the gantry axes); D, G and R are plain counters.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"
#include "motion/io/counter_values.h"
#include "motion/io/position_counter.h"

using namespace quorva;

namespace {

int GetPositionCount(QUORVA_HANDLE handle, int axis, int reg, const char* format) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  QUORVA_TRACE(kTracePolling, format, TraceWord(handle), axis);
  if (!AxisValid(context, axis)) return 0;
  return Trunc32(ReadPositionCounter(handle, *context, axis, reg));
}

}  // namespace

extern "C" {

int QUORVA_MC_GetCount_C(QUORVA_HANDLE handle, int axis) {
  return GetPositionCount(handle, axis, reg::kCounterCommand, "QUORVA_MC_GetCount_C(0x%x, %d)");
}

void QUORVA_MC_SetCount_C(QUORVA_HANDLE handle, int axis, int count) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetCount_C(0x%x, %d, %d)", TraceWord(handle), axis, count);
  if (!AxisValid(context, axis)) return;
  const int raw = PresetPositionCounter(handle, *context, axis, reg::kCounterCommand, count);
  RecordPresetPosition(*context, axis, raw);
}

int QUORVA_MC_GetCount_A(QUORVA_HANDLE handle, int axis) {
  return GetPositionCount(handle, axis, reg::kCounterActual, "QUORVA_MC_GetCount_A(0x%x, %d)");
}

void QUORVA_MC_SetCount_A(QUORVA_HANDLE handle, int axis, int count) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetCount_A(0x%x, %d, %d)", TraceWord(handle), axis, count);
  if (!AxisValid(context, axis)) return;
  PresetPositionCounter(handle, *context, axis, reg::kCounterActual, count);
}

int QUORVA_MC_GetCount_D(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetCount_D(0x%x, %d)", TraceWord(handle), axis);
  return SignExtend16(AxisRegRead(handle, axis, reg::kCounterDeviation));
}

// The value goes to the controller as it is, neither limited nor truncated.
void QUORVA_MC_SetCount_D(QUORVA_HANDLE handle, int axis, int count) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetCount_D(0x%x, %d, %d)", TraceWord(handle), axis, count);
  AxisRegWrite(handle, axis, reg::kCounterDeviation, static_cast<std::uint32_t>(count));
}

int QUORVA_MC_GetCount_G(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetCount_G(0x%x, %d)", TraceWord(handle), axis);
  return SignExtend28(AxisRegRead(handle, axis, reg::kCounterGeneral));
}

void QUORVA_MC_SetCount_G(QUORVA_HANDLE handle, int axis, int count) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetCount_G(0x%x, %d, %d)", TraceWord(handle), axis, count);
  AxisRegWrite(handle, axis, reg::kCounterGeneral,
               static_cast<std::uint32_t>(ClampToCounter(count)));
}

// All 32 bits as read: the R register is not sign-extended.
int QUORVA_MC_GetCount_R(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetCount_R(0x%x, %d)", TraceWord(handle), axis);
  return static_cast<int>(AxisRegRead(handle, axis, reg::kCounterR));
}

void QUORVA_MC_SetCount_R(QUORVA_HANDLE handle, int axis, int count) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetCount_R(0x%x, %d, %d)", TraceWord(handle), axis, count);
  AxisRegWrite(handle, axis, reg::kCounterR, static_cast<std::uint32_t>(ClampToCounter(count)));
}

}  // extern "C"
