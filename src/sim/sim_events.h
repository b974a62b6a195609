// What happens in simulated time without a request: moves end (raising their interrupts),
// scheduled latch pulses fire, list entries and held moves start, output pulses end, speed
// samples are taken (when: next_event.h).
#pragma once

#include <cstdint>
#include <span>

#include "sim/sim_board.h"

namespace quorva::sim {

// Brings every board up to `nowNs`: the latch pulses due in time order (each with the lists and
// held starts run up to its instant and its axis settled there), then the lists, held starts,
// speed checks and path records, then every move that has ended by then.
void RunUntil(std::span<SimBoard> boards, std::int64_t nowNs);

}  // namespace quorva::sim
