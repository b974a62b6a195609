// Axis status: the operation state, the mechanical-signal status and the servo-on state.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

constexpr int kSignalStatusOffset = 1;
constexpr std::uint32_t kOperationStateMask = 0xF;

// Signal status word bits read here.
constexpr int kServoOffBit = 0;
constexpr int kSignalReadyBit = 1;  // result bit 0 is set while this bit is clear
constexpr int kSignalSdBit = 15;
// Environment 1 bit 5 takes result bit 12 from the signal status word.
constexpr int kSdFromSignalBit = 5;
constexpr int kExtendedSdBit = 15;
constexpr int kResultSdBit = 12;

enum class StatusSource { kExtended, kSignal };

struct StatusBit {
  int resultBit;
  StatusSource source;
  int sourceBit;
};

// Result bits copied unchanged from the extended status (E) or the signal status word (S).
constexpr StatusBit kCopiedBits[] = {
    {1, StatusSource::kSignal, 11},    {2, StatusSource::kSignal, 12},
    {3, StatusSource::kSignal, 13},    {4, StatusSource::kSignal, 14},
    {5, StatusSource::kExtended, 4},   {7, StatusSource::kExtended, 8},
    {8, StatusSource::kExtended, 9},   {9, StatusSource::kExtended, 10},
    {10, StatusSource::kExtended, 13}, {11, StatusSource::kExtended, 14},
    {13, StatusSource::kExtended, 16}, {14, StatusSource::kExtended, 11},
    {15, StatusSource::kExtended, 12}, {16, StatusSource::kExtended, 5},
    {17, StatusSource::kExtended, 6},
};

std::uint32_t Bit(std::uint32_t word, int bit) {
  return word >> bit & 1u;
}

std::uint32_t SignalStatusCompose(std::uint32_t extended, std::uint32_t signal,
                                  std::uint32_t environment) {
  std::uint32_t status = Bit(signal, kSignalReadyBit) ^ 1u;
  for (const StatusBit& b : kCopiedBits) {
    const std::uint32_t source = b.source == StatusSource::kSignal ? signal : extended;
    status |= Bit(source, b.sourceBit) << b.resultBit;
  }
  const std::uint32_t sd = Bit(environment, kSdFromSignalBit) != 0 ? Bit(signal, kSignalSdBit)
                                                                   : Bit(extended, kExtendedSdBit);
  return status | sd << kResultSdBit;
}

}  // namespace

extern "C" {

int QUORVA_MC_GetMotionStatus(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetMotionStatus(0x%x, %d)", TraceWord(handle), axis);
  return static_cast<int>(AxisRegRead(handle, axis, reg::kExtendedStatus) & kOperationStateMask);
}

// Without a motion board or with an axis it does not have, the two signal reads below give 0,
// not the bits that an empty status word would invert into "ready" and "servo on".
int QUORVA_MC_GetMioStatus(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetMioStatus(0x%x, %d)", TraceWord(handle), axis);
  if (!AxisValid(handle, axis)) return 0;
  const std::uint32_t extended = AxisRegRead(handle, axis, reg::kExtendedStatus);
  const std::uint32_t signal = AxisStatusRead(handle, axis, kSignalStatusOffset);
  const std::uint32_t environment = AxisRegRead(handle, axis, reg::kEnvironment1);
  return static_cast<int>(SignalStatusCompose(extended, signal, environment));
}

int QUORVA_MC_GetServoOn(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetServoOn(0x%x, %d)", TraceWord(handle), axis);
  if (!AxisValid(handle, axis)) return 0;
  return Bit(AxisStatusRead(handle, axis, kSignalStatusOffset), kServoOffBit) == 0 ? 1 : 0;
}

}  // extern "C"
