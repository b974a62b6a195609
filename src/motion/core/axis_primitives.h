// The five primitives through which the motion functions reach an axis's registers, main
// space and commands, and the operations built on them. An axis that is not valid for the
// handle makes every primitive send nothing and read 0.
#pragma once

#include <cstdint>

#include "device/driver_call.h"

namespace quorva {

// Registers with a meaning the core relies on.
namespace reg {
inline constexpr int kMoveAmount = 0;
inline constexpr int kMode = 7;  // operation mode written before a start
inline constexpr int kModeInForce = 23;
inline constexpr int kEnvironment1 = 28;
inline constexpr int kSignalConfig = 29;  // environment 2
inline constexpr int kEnvironment3 = 30;
inline constexpr int kEnvironment6 = 33;
inline constexpr int kExtendedStatus = 49;
}  // namespace reg

// Axis command codes written to main-space offset 0.
namespace axiscmd {
inline constexpr std::uint32_t kReset = 4;
inline constexpr std::uint32_t kEmergencyStop = 5;
inline constexpr std::uint32_t kClearState = 38;
inline constexpr std::uint32_t kStartSignal = 0x06;
inline constexpr std::uint32_t kDecelStop = 0x4A;
inline constexpr std::uint32_t kListStop = 73;
inline constexpr std::uint32_t kStartConstant = 0x51;   // no ramps
inline constexpr std::uint32_t kStartDecelerate = 0x52; // decelerating at the end only
inline constexpr std::uint32_t kStartRamped = 0x53;     // accelerating and decelerating
}  // namespace axiscmd

void AxisRegWrite(Handle handle, int axis, int reg, std::uint32_t value);
std::uint32_t AxisRegRead(Handle handle, int axis, int reg);
// Rewrites the cached mode: a non-negative `lowByte` replaces bits 0-7; non-negative `bits`
// replace the bits of `mask`. Returns the value written (0 for an invalid axis).
std::uint32_t AxisModeUpdate(Handle handle, int axis, int lowByte, int bits, std::uint32_t mask);
int AxisCommand(Handle handle, int axis, int offset, std::uint32_t value);
std::uint32_t AxisStatusRead(Handle handle, int axis, int offset);

void AxisRegUpdateBits(Handle handle, int axis, int reg, std::uint32_t bits, std::uint32_t mask);
// 1 while bits 20-21 of the extended status say the axis is running.
int AxisBusy(Handle handle, int axis);
int AnyAxisBusy(Handle handle, std::uint32_t mask);
// Appends the numbers of the set bits 0-7 to `list`, stopping once `limit` (when positive)
// numbers are listed. Returns the count.
int AxisMaskToList(std::uint32_t mask, int* list, int limit);

}  // namespace quorva
