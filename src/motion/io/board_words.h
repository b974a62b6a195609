// Board double-words that hold per-axis signal bits. Axes 0-3 are served by space 1 and axes
// 4-7 by space 3; within its space an axis has the group number g = axis mod 4.
#pragma once

#include <cstdint>
#include <optional>

#include "device/driver_call.h"

namespace quorva {

namespace boardword {
inline constexpr unsigned kLimitLogic = 4;      // bit g: EL logic
inline constexpr unsigned kPulseEnable = 5;     // bit g clear: PE on
inline constexpr unsigned kCompareControl = 6;  // bits 2g, 2g+1: output enable, level
inline constexpr unsigned kCompareWidth = 8;    // + g: output pulse width
inline constexpr unsigned kCompare2 = 12;       // + g: second compare-output setting
}  // namespace boardword

struct AxisBoardSite {
  int space;
  int group;
};

// The site of an axis of a motion board; empty for a handle without a motion context or an
// axis outside 0-7 (there is no word for it).
std::optional<AxisBoardSite> AxisBoardSiteOf(Handle handle, int axis);

std::uint32_t BoardWordRead(Handle handle, const AxisBoardSite& site, unsigned offset);
int BoardWordWrite(Handle handle, const AxisBoardSite& site, unsigned offset, std::uint32_t value);
// Replaces the bits of `mask` by `bits` (read, modify, write back).
void BoardWordUpdateBits(Handle handle, const AxisBoardSite& site, unsigned offset,
                         std::uint32_t bits, std::uint32_t mask);

}  // namespace quorva
