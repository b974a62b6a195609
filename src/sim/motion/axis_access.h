// How the control interface reaches one axis of a simulated board.
#pragma once

#include <cstdint>

#include "sim/motion/axis_controller.h"
#include "sim/sim_bus.h"

namespace quorva::sim {

// Runs `action(board, axis, now)` on an axis brought up to the present simulated time; -1
// when the board or the axis does not exist.
template <typename Action>
int WithAxisOf(int board, int axis, Action action) {
  return SimBus::Instance().WithBoardAt(board, [&](SimBoard& b, std::int64_t now) {
    if (axis < 0 || axis >= kAxes) return -1;
    SimAxis& a = b.axes[static_cast<std::size_t>(axis)];
    SettleAxis(a, now);
    return action(b, a, now);
  });
}

// The same for an action that needs only the axis: `action(axis, now)`.
template <typename Action>
int WithAxis(int board, int axis, Action action) {
  return WithAxisOf(board, axis,
                    [&](SimBoard&, SimAxis& a, std::int64_t now) { return action(a, now); });
}

inline double SecondsOf(std::int64_t ns) {
  return static_cast<double>(ns) * 1e-9;
}

}  // namespace quorva::sim
