// The exported control interface of the simulated acquisition side.
#include <cmath>

#include "VarnDasQvSim.h"
#include "sim/daq/analog_output.h"
#include "sim/daq/analog_signal.h"
#include "sim/daq/daq_handlers.h"
#include "sim/sim_bus.h"

using namespace quorva::sim;

namespace {

SimBus& Bus() {
  return SimBus::Instance();
}

std::int64_t NowNs() {
  return Bus().WithClock([](SimClock& clock) { return clock.Now(); });
}

bool InRange(int value, int limit) {
  return value >= 0 && value < limit;
}

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

extern "C" {

// Scans due before the change keep the signal they saw.
int QUORVA_SIM_SetAnalogSignal(int board, int channel, int kind, double amplitude, double frequency,
                               double offset, double phase) {
  if (!InRange(channel, kMaxAnalogInputs) || !InRange(kind, QUORVA_SIM_SIGNAL_RAMP + 1) ||
      !AllFinite({amplitude, frequency, offset, phase})) {
    return -1;
  }
  const std::int64_t now = NowNs();
  return Bus().WithBoard(board, [&](SimBoard& b) {
    CatchUpScans(b, now);
    b.daq.inputs[static_cast<std::size_t>(channel)].signal = {kind, amplitude, frequency, offset,
                                                              phase};
    return 0;
  });
}

int QUORVA_SIM_GetAnalogDigit(int board, int channel, double seconds, unsigned int* digit) {
  if (!InRange(channel, kMaxAnalogInputs) || !std::isfinite(seconds)) return -1;
  return Bus().WithBoard(board, [&](SimBoard& b) {
    if (digit != nullptr) *digit = InputDigit(b, static_cast<std::uint32_t>(channel), seconds);
    return 0;
  });
}

int QUORVA_SIM_GetAnalogInputType(int board, int* type) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    if (type != nullptr) *type = b.daq.inputType;
    return 0;
  });
}

int QUORVA_SIM_SetDigitalInputs(int board, int group, unsigned int states) {
  if (!InRange(group, kDigitalGroups)) return -1;
  return Bus().WithBoard(board, [&](SimBoard& b) {
    b.daq.digitalInputs[static_cast<std::size_t>(group)] = states;
    return 0;
  });
}

int QUORVA_SIM_GetDigitalOutputs(int board, int group, unsigned int* states) {
  if (!InRange(group, kDigitalGroups)) return -1;
  return Bus().WithBoard(board, [&](SimBoard& b) {
    if (states != nullptr) *states = b.daq.digitalOutputs[static_cast<std::size_t>(group)];
    return 0;
  });
}

int QUORVA_SIM_SetDigitalLoopback(int board, int enabled) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    b.daq.loopback = enabled != 0;
    return 0;
  });
}

int QUORVA_SIM_GetAnalogOutput(int board, int channel, unsigned int* code) {
  const std::int64_t now = NowNs();
  return Bus().WithBoard(board, [&](SimBoard& b) {
    if (!InRange(channel, AnalogOutputCount(b))) return -1;
    if (code != nullptr) *code = OutputCodeAt(b, channel, now);
    return 0;
  });
}

int QUORVA_SIM_SetCounterRate(int board, int channel, double countsPerSecond) {
  if (!InRange(channel, kCounters) || !std::isfinite(countsPerSecond) || countsPerSecond < 0) {
    return -1;
  }
  const std::int64_t now = NowNs();
  return Bus().WithBoard(board, [&](SimBoard& b) {
    b.daq.counters[static_cast<std::size_t>(channel)].ChangeRate(countsPerSecond, now);
    return 0;
  });
}

int QUORVA_SIM_SetSerialModules(int board, unsigned int present) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    b.daq.serialPresent = present;
    return 0;
  });
}

int QUORVA_SIM_SetSerialInputs(int board, int module, unsigned int word) {
  if (!InRange(module, kSerialModules) || word > 0xFFFF) return -1;
  return Bus().WithBoard(board, [&](SimBoard& b) {
    b.daq.serial[static_cast<std::size_t>(module)].inputs = static_cast<std::uint16_t>(word);
    return 0;
  });
}

int QUORVA_SIM_GetSerialOutputs(int board, int module, unsigned int* word) {
  if (!InRange(module, kSerialModules)) return -1;
  return Bus().WithBoard(board, [&](SimBoard& b) {
    if (word != nullptr) *word = b.daq.serial[static_cast<std::size_t>(module)].outputs;
    return 0;
  });
}

}  // extern "C"
