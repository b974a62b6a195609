#include "sim/daq/daq_state.h"

namespace quorva::sim {

// Every input carries a sine of 5 V, channel k at k + 1 Hz; outputs sit at 0 V; counter k
// counts 1000 * (k + 1) per second from time 0.
DaqState::DaqState() {
  for (std::size_t k = 0; k < inputs.size(); ++k)
    inputs[k].signal = {QUORVA_SIM_SIGNAL_SINE, 5.0, static_cast<double>(k + 1), 0.0, 0.0};
  outputCodes.fill(kMidscaleCode);
  for (std::size_t k = 0; k < counters.size(); ++k)
    counters[k].Start(1000.0 * static_cast<double>(k + 1), 0);
}

}  // namespace quorva::sim
