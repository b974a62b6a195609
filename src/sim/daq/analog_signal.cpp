#include "sim/daq/analog_signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorva::sim {
namespace {

constexpr int kDifferentialType = 1;

std::uint32_t AnalogInputCount(const SimBoard& board) {
  return std::min<std::uint32_t>(board.resources.analogInputs, kMaxAnalogInputs);
}

double InputVolts(const SimBoard& board, std::uint32_t channel, double seconds) {
  const auto& inputs = board.daq.inputs;
  if (board.daq.inputType != kDifferentialType) return SignalVolts(inputs[channel].signal, seconds);
  const std::uint32_t half = AnalogInputCount(board) / 2;
  if (channel >= half) return 0.0;
  return SignalVolts(inputs[channel].signal, seconds) -
         SignalVolts(inputs[channel + half].signal, seconds);
}

}  // namespace

double SignalVolts(const AnalogSignal& signal, double seconds) {
  const double cycles = signal.frequency * seconds + signal.phase;
  switch (signal.kind) {
    case QUORVA_SIM_SIGNAL_SINE:
      return signal.offset + signal.amplitude * std::sin(2 * std::numbers::pi * cycles);
    case QUORVA_SIM_SIGNAL_RAMP:
      return signal.offset + signal.amplitude * (2 * (cycles - std::floor(cycles)) - 1);
    default:
      return signal.offset;
  }
}

bool AnalogInputExists(const SimBoard& board, std::uint32_t channel) {
  return channel < AnalogInputCount(board);
}

std::uint32_t InputDigit(const SimBoard& board, std::uint32_t channel, double seconds) {
  const AnalogInput& input = board.daq.inputs[channel];
  const double volts = InputVolts(board, channel, seconds);
  const double digit = std::round((volts - input.vmin) * kTopDigit / (input.vmax - input.vmin));
  return static_cast<std::uint32_t>(std::clamp(digit, 0.0, double{kTopDigit}));
}

}  // namespace quorva::sim
