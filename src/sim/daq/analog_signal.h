// What the simulated analog inputs see: each channel's signal in simulated time, converted by a
// 12-bit converter over the channel's range.
#pragma once

#include <cstdint>

#include "sim/sim_board.h"

namespace quorva::sim {

// Volts of a signal at `seconds`.
double SignalVolts(const AnalogSignal& signal, double seconds);

// Channels the converter can read with the board's input type.
bool AnalogInputExists(const SimBoard& board, std::uint32_t channel);

// The digit input `channel` converts at `seconds`: its volts (a difference of two signals for
// a differential input) over its range, rounded and limited to the converter's digits.
std::uint32_t InputDigit(const SimBoard& board, std::uint32_t channel, double seconds);

}  // namespace quorva::sim
