// The simulated analog outputs: a written code, or the sample a waveform outputs at a time.
#pragma once

#include <cstdint>

#include "sim/sim_board.h"

namespace quorva::sim {

// Analog outputs of the board.
int AnalogOutputCount(const SimBoard& board);

// Where a waveform stands: the sample being output and the loops completed. A waveform with a
// loop count ends on its last sample and stays there.
struct WaveformProgress {
  std::uint64_t position = 0;
  std::uint64_t loops = 0;
};
WaveformProgress ProgressAt(const Waveform& waveform, std::int64_t nowNs);

// The code output `channel` presents at `nowNs`.
std::uint32_t OutputCodeAt(const SimBoard& board, int channel, std::int64_t nowNs);

}  // namespace quorva::sim
