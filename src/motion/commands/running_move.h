// The registers and operation states of a running move that speed override reads and changes.
#pragma once

#include <cstdint>

#include "device/driver_call.h"

namespace quorva {

namespace reg {
inline constexpr int kAmountInForce = 16;  // relative amount, or absolute end, of the running move
inline constexpr int kStartSpeedInForce = 17;
inline constexpr int kHighSpeedInForce = 18;
inline constexpr int kDecelRateInForce = 20;
inline constexpr int kRampDownInForce = 22;
inline constexpr int kComparatorConfig = 31;  // environment 4: comparators 1 to 4
inline constexpr int kComparePosition3 = 41;
inline constexpr int kRemainingPulses = 52;
}  // namespace reg

// Operation states, bits 0-3 of the extended status register.
inline constexpr std::uint32_t kStateStopped = 0x0;
inline constexpr std::uint32_t kStateAccelerating = 0xB;
inline constexpr std::uint32_t kStateHighSpeed = 0xC;
inline constexpr std::uint32_t kStateDecelerating = 0xD;

// The operation state of the axis now.
std::uint32_t OperationState(Handle handle, int axis);

}  // namespace quorva
