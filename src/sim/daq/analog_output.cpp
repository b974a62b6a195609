#include "sim/daq/analog_output.h"

#include <algorithm>

namespace quorva::sim {

int AnalogOutputCount(const SimBoard& board) {
  return std::min<int>(board.resources.analogOutputs, kMaxAnalogOutputs);
}

WaveformProgress ProgressAt(const Waveform& waveform, std::int64_t nowNs) {
  const std::uint64_t count = waveform.codes.size();
  if (count == 0) return {};
  const std::uint64_t samples = waveform.timer.At(nowNs);
  const std::uint64_t total = waveform.loops * count;
  if (waveform.loops != 0 && samples >= total) return {count - 1, waveform.loops};
  return {samples % count, samples / count};
}

std::uint32_t OutputCodeAt(const SimBoard& board, int channel, std::int64_t nowNs) {
  const auto index = static_cast<std::size_t>(channel);
  const Waveform& waveform = board.daq.waveforms[index];
  if (!waveform.timer.Running()) return board.daq.outputCodes[index];
  return waveform.codes[ProgressAt(waveform, nowNs).position];
}

}  // namespace quorva::sim
