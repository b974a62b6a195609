// The error, general and trigger compares (comparators 3, 4 and 5): a value register each and
// their fields in the configuration registers 31 and 32. Values are in pulses.
#include "motion/io/comparators.h"
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/io/counter_values.h"

using namespace quorva;

namespace {

// Comparator 3 in bits 16-22 of register 31: switched on it reads fields 3, 4, 0; switched off
// only field 1 (bits 16-17) is cleared.
constexpr std::uint32_t kErrorCompareMask = 0x7Fu << 16;
constexpr std::uint32_t kErrorCompareOn = 0x13u << 16;
constexpr std::uint32_t kErrorCompareField1 = 3u << 16;

// Comparator 4's fields in register 31: f1 in bits 24-25, f2 in bits 26-28, f3 in bits 30-31;
// bit 29 belongs to none of them.
std::uint32_t GeneralCompareFields(int f1, int f2, int f3) {
  return (static_cast<std::uint32_t>(f1) & 3u) << 24 | (static_cast<std::uint32_t>(f2) & 7u) << 26 |
         (static_cast<std::uint32_t>(f3) & 3u) << 30;
}
constexpr std::uint32_t kGeneralCompareMask = 3u << 24 | 7u << 26 | 3u << 30;

void CompareValueWrite(Handle handle, int axis, int reg, double value) {
  AxisRegWrite(handle, axis, reg, static_cast<std::uint32_t>(ClampToCounter(value)));
}

}  // namespace

extern "C" {

void QUORVA_MC_SetErrorCompare(QUORVA_HANDLE handle, int axis, double value, int on) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetErrorCompare(0x%x, %d, %.3f, %d)", TraceWord(handle),
               axis, value, on);
  std::uint32_t config = AxisRegRead(handle, axis, reg::kComparatorConfig);
  CompareValueWrite(handle, axis, reg::kErrorCompareValue, value);
  config =
      on != 0 ? (config & ~kErrorCompareMask) | kErrorCompareOn : config & ~kErrorCompareField1;
  AxisRegWrite(handle, axis, reg::kComparatorConfig, config);
}

void QUORVA_MC_SetGeneralCompare(QUORVA_HANDLE handle, int axis, int f1, int f2, int f3,
                                 double value) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetGeneralCompare(0x%x, %d, %d, %d, %d, %.3f)",
               TraceWord(handle), axis, f1, f2, f3, value);
  CompareValueWrite(handle, axis, reg::kGeneralCompareValue, value);
  AxisRegUpdateBits(handle, axis, reg::kComparatorConfig, GeneralCompareFields(f1, f2, f3),
                    kGeneralCompareMask);
}

void QUORVA_MC_SetTriggerCompare(QUORVA_HANDLE handle, int axis, int f1, int f2, double value) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetTriggerCompare(0x%x, %d, %d, %d, %.3f)",
               TraceWord(handle), axis, f1, f2, value);
  const auto configure = [&] {
    AxisRegUpdateBits(handle, axis, reg::kTriggerConfig, TriggerConfig(f1, f2), kTriggerConfigMask);
  };
  // With f2 below 1 the comparator is configured before its value is written, else after.
  if (f2 < 1) configure();
  CompareValueWrite(handle, axis, reg::kTriggerCompareValue, value);
  if (f2 >= 1) configure();
}

}  // extern "C"
