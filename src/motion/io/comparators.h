// The five position comparators of an axis: their configuration registers and value
// registers. Comparators 1 and 2 are the soft limits, 3 the error compare, 4 the general
// compare and 5 the trigger compare that drives the compare output.
#pragma once

#include <cstdint>

namespace quorva {

namespace reg {
inline constexpr int kComparatorConfig = 31;  // environment 4: comparators 1-4
inline constexpr int kTriggerConfig = 32;     // environment 5: comparator 5 in bits 0-7
inline constexpr int kSoftLimitMinus = 39;    // comparator 1
inline constexpr int kSoftLimitPlus = 40;     // comparator 2
inline constexpr int kErrorCompareValue = 41;
inline constexpr int kGeneralCompareValue = 42;
inline constexpr int kTriggerCompareValue = 43;
inline constexpr int kTriggerFeed = 44;  // bit 12 set before a table-driven trigger starts
}  // namespace reg

inline constexpr std::uint32_t kTriggerConfigMask = 0xFF;
inline constexpr std::uint32_t kTriggerFeedBit = 1u << 12;

// Comparator 5's configuration byte: f1 in bits 0-2, f2 in bits 3-5, bits 6 and 7 clear.
inline std::uint32_t TriggerConfig(int f1, int f2) {
  return (static_cast<std::uint32_t>(f2) << 3 & 0x38) | (static_cast<std::uint32_t>(f1) & 7);
}

}  // namespace quorva
