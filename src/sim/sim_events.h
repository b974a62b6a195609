// What happens in simulated time without a request: moves end (raising their interrupts),
// scheduled latch pulses fire, list entries start and output pulses end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "sim/sim_board.h"

namespace quorva::sim {

// Brings every board up to `nowNs`: the latch pulses due in time order (each with the lists
// run up to its instant and its axis settled there), then the lists and the path records, then
// every move that has ended by then.
void RunUntil(std::span<SimBoard> boards, std::int64_t nowNs);

// The first instant after `nowNs` at which something is due on any board: the planned end of a
// running move (or its stop at a limit), a scheduled latch pulse, the end of a list's output
// pulse. Nothing while no such event is known.
std::optional<std::int64_t> NextEventNs(std::span<const SimBoard> boards, std::int64_t nowNs);

}  // namespace quorva::sim
