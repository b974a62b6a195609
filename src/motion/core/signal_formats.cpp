// Pulse-output format (environment register 1, bits 0-2) and encoder-input mode (environment
// register 2, bits 20-22) of an axis. These live in the controller only.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"

using namespace quorva;

namespace {

constexpr std::uint32_t kOutputFormatMask = 0x7;
// Formats 0-4 are distinct; every format from 5 up is written as 7 and read back as 5.
constexpr int kHighestOutputFormat = 4;
constexpr std::uint32_t kOutputFormatAbove = 7;
constexpr int kOutputFormatAboveReported = 5;

constexpr int kInputModeShift = 20;
constexpr std::uint32_t kInputModeMask = 0x3u << kInputModeShift;
constexpr int kInputReverseShift = 22;
constexpr std::uint32_t kInputReverseMask = 0x1u << kInputReverseShift;

std::uint32_t OutputFormatCode(int mode) {
  if (mode > kHighestOutputFormat) return kOutputFormatAbove;
  return static_cast<std::uint32_t>(mode) & kOutputFormatMask;
}

}  // namespace

extern "C" {

void QUORVA_MC_SetOutputMode(QUORVA_HANDLE handle, int axis, int mode) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetOutputMode(0x%x, %d, %d)", TraceWord(handle), axis,
               mode);
  AxisRegUpdateBits(handle, axis, reg::kEnvironment1, OutputFormatCode(mode), kOutputFormatMask);
}

int QUORVA_MC_GetOutputMode(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetOutputMode(0x%x, %d)", TraceWord(handle), axis);
  const int code =
      static_cast<int>(AxisRegRead(handle, axis, reg::kEnvironment1) & kOutputFormatMask);
  return code > kOutputFormatAboveReported ? kOutputFormatAboveReported : code;
}

void QUORVA_MC_SetInputMode(QUORVA_HANDLE handle, int axis, int mode, int reverse) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetInputMode(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               mode, reverse);
  const std::uint32_t bits =
      (static_cast<std::uint32_t>(mode) << kInputModeShift & kInputModeMask) |
      (static_cast<std::uint32_t>(reverse) << kInputReverseShift & kInputReverseMask);
  AxisRegUpdateBits(handle, axis, reg::kSignalConfig, bits, kInputModeMask | kInputReverseMask);
}

void QUORVA_MC_GetInputMode(QUORVA_HANDLE handle, int axis, int* mode, int* reverse) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetInputMode(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(mode), TraceWord(reverse));
  const std::uint32_t value = AxisRegRead(handle, axis, reg::kSignalConfig);
  if (mode != nullptr) *mode = static_cast<int>((value & kInputModeMask) >> kInputModeShift);
  if (reverse != nullptr)
    *reverse = static_cast<int>((value & kInputReverseMask) >> kInputReverseShift);
}

}  // extern "C"
