// When the simulated boards next change by themselves: what time may jump to while the library
// waits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "sim/sim_board.h"

namespace quorva::sim {

// The first instant after `nowNs` at which something is due on any board: the planned end of a
// running move (or its stop at a limit), the instant an axis following its pulser input reaches
// its target or home, a scheduled latch pulse, the end of a list's output pulse. List entries
// start when the moves before them end, so their starts are among these instants. Nothing while
// no such event is known (idle axes, runs without end, moves held for their start signal).
std::optional<std::int64_t> NextEventNs(std::span<const SimBoard> boards, std::int64_t nowNs);

// The instant a running axis's plan ends, rounded up so that the axis has finished by then;
// nothing for an idle or waiting axis and a move without end.
std::optional<std::int64_t> MoveEndNs(const SimAxis& axis);

}  // namespace quorva::sim
