// Interpolation maps: numbered axis sets 0-10 through which lines, arcs and splines address
// their axes.
#pragma once

#include <algorithm>
#include <cstdint>

#include "motion/core/motion_context.h"

namespace quorva {

inline constexpr int kLastMap = kMapCount - 1;

// A caller's map number limited into 0 .. 10, so that it always indexes the per-map tables.
inline int MapClamp(int map) {
  return std::clamp(map, 0, kLastMap);
}

// A bit for every axis the board has.
inline std::uint32_t BoardAxisMask(const MotionContext& context) {
  return (1u << std::min<int>(context.axisCount, kMaxAxes)) - 1u;
}

// The axes of map `map` that the board has: bits 0-7 of its mask below the axis count.
inline std::uint32_t MapBoardAxes(const MotionContext& context, int map) {
  return context.mapAxisMask[map] & BoardAxisMask(context);
}

}  // namespace quorva
