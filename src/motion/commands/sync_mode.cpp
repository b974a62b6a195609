// Synchronised start: the condition the axis's next start waits for.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"

using namespace quorva;

namespace {

// Start-condition field of the operation mode, bits 18-19, with the source axis of a start on
// another axis's stop in bits 20-23.
constexpr int kConditionShift = 18;
constexpr std::uint32_t kConditionMask = 0xC0000;
constexpr std::uint32_t kConditionAndSourceMask = 0xFC0000;
constexpr std::uint32_t kStartOnSignal = 2;
constexpr std::uint32_t kStartOnStop = 3;
// Register 32 bits 16-21: the signal a start on another axis's signal waits for (condition code
// in bits 16-19, source axis of the same chip in bits 20-21).
constexpr int kEnvironment5 = 32;
constexpr int kSignalShift = 16;
constexpr std::uint32_t kSignalMask = 0x3F0000;

// The condition code of the controller for each signal argument; others are taken as they are.
std::uint32_t SignalCode(int condition) {
  static constexpr std::uint32_t kCodes[] = {4, 8, 9, 10, 11};
  if (condition >= 0 && condition < 5) return kCodes[condition];
  return static_cast<std::uint32_t>(condition);
}

int ModeBits(std::uint32_t value) {
  return static_cast<int>(value << kConditionShift);
}

}  // namespace

extern "C" void QUORVA_MC_SetSyncMode(QUORVA_HANDLE handle, int axis, int mode, int source,
                                      int condition) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetSyncMode(0x%x, %d, %d, %d, %d)", TraceWord(handle),
               axis, mode, source, condition);
  const auto sourceAxis = static_cast<std::uint32_t>(source);
  switch (mode) {
    case 0:
      AxisModeUpdate(handle, axis, -1, 0, kConditionMask);
      break;
    case 1: {
      AxisModeUpdate(handle, axis, -1, ModeBits(kStartOnSignal), kConditionMask);
      // Masked to the field: a source above 3 or a code above 15 would reach other settings.
      const std::uint32_t signal = (SignalCode(condition) & 0xF) | (sourceAxis & 0x3) << 4;
      AxisRegUpdateBits(handle, axis, kEnvironment5, signal << kSignalShift, kSignalMask);
      break;
    }
    case 2:
      // Masked likewise: the source field is 4 bits wide.
      AxisModeUpdate(handle, axis, -1, ModeBits((sourceAxis & 0xF) << 2 | kStartOnStop),
                     kConditionAndSourceMask);
      break;
    default:
      break;
  }
}
