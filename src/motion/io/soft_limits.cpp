// Soft limits: comparator 1 watches the negative side, comparator 2 the positive side. Their
// positions are set in user units and read back in pulses.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/io/comparators.h"
#include "motion/io/counter_values.h"

using namespace quorva;

namespace {

// Comparators 1 (bits 0-6) and 2 (bits 8-14) of register 31, each as fields 0, 6 and 1.
constexpr std::uint32_t kSoftLimitFields = 0x38u | 0x38u << 8;
constexpr std::uint32_t kSoftLimitMask = 0x7Fu | 0x7Fu << 8;
// Field 2 of comparator 1 (bits 2-4) reads 6 while the soft limits are enabled.
constexpr int kEnabledShift = 2;
constexpr std::uint32_t kEnabledField = 6;

void LimitWrite(Handle handle, const MotionContext& context, int axis, int reg, double limit) {
  AxisRegWrite(handle, axis, reg,
               static_cast<std::uint32_t>(ClampToCounter(limit * context.unitDistance[axis])));
}

void LimitRead(Handle handle, int axis, int reg, double* limit) {
  if (limit != nullptr) *limit = SignExtend28(AxisRegRead(handle, axis, reg));
}

}  // namespace

extern "C" {

void QUORVA_MC_SetSoftLimit(QUORVA_HANDLE handle, int axis, double limit1, double limit2) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetSoftLimit(0x%x, %d, %.3f, %.3f)", TraceWord(handle),
               axis, limit1, limit2);
  const MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr) return;
  LimitWrite(handle, *context, axis, reg::kSoftLimitMinus, limit1);
  LimitWrite(handle, *context, axis, reg::kSoftLimitPlus, limit2);
}

void QUORVA_MC_GetSoftLimit(QUORVA_HANDLE handle, int axis, double* limit1, double* limit2) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetSoftLimit(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(limit1), TraceWord(limit2));
  LimitRead(handle, axis, reg::kSoftLimitMinus, limit1);
  LimitRead(handle, axis, reg::kSoftLimitPlus, limit2);
}

void QUORVA_MC_EnableSoftLimit(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_EnableSoftLimit(0x%x, %d)", TraceWord(handle), axis);
  AxisRegUpdateBits(handle, axis, reg::kComparatorConfig, kSoftLimitFields, kSoftLimitMask);
}

void QUORVA_MC_DisableSoftLimit(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_DisableSoftLimit(0x%x, %d)", TraceWord(handle), axis);
  AxisRegUpdateBits(handle, axis, reg::kComparatorConfig, 0, kSoftLimitMask);
}

int QUORVA_MC_GetEnableSoftLimit(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetEnableSoftLimit(0x%x, %d)", TraceWord(handle), axis);
  const std::uint32_t config = AxisRegRead(handle, axis, reg::kComparatorConfig);
  return (config >> kEnabledShift & 7u) == kEnabledField ? 1 : 0;
}

}  // extern "C"
