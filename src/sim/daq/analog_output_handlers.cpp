// Analog output codes and the waveform generator of each analog output.
#include <algorithm>

#include "device/commands.h"
#include "sim/daq/analog_output.h"
#include "sim/daq/daq_handlers.h"
#include "sim/daq/scan_setup.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kMaxSamples = 4096;
constexpr std::uint32_t kCodeMask = 0xFFF;

// The output addressed by slot 1, or null.
Waveform* WaveformOf(SimBoard& board, const SimRequest& request) {
  const std::uint32_t channel = request.U32(1);
  if (channel >= static_cast<std::uint32_t>(AnalogOutputCount(board))) return nullptr;
  return &board.daq.waveforms[channel];
}

// Samples per second the board outputs for a requested rate: the 10 MHz clock divided by a
// whole number. 0 for a rate below 1.
std::uint32_t ActualRate(std::int32_t requested) {
  if (requested < 1) return 0;
  const auto clock = static_cast<std::uint32_t>(kBoardClockHz);
  return clock / std::max(1u, clock / static_cast<std::uint32_t>(requested));
}

// Reads the codes (address in slot 2, count in slot 3). False for a count outside 2-4096.
bool LoadCodes(Waveform& waveform, const SimRequest& request) {
  const auto* codes = static_cast<const std::uint32_t*>(request.Address(2));
  const std::uint32_t count = request.U32(3);
  if (codes == nullptr || count < 2 || count > kMaxSamples) return false;
  waveform.codes.assign(codes, codes + count);
  for (auto& code : waveform.codes)
    code &= kCodeMask;
  return true;
}

// Stops a waveform where it stands; the output keeps its sample.
void Halt(SimBoard& board, Waveform& waveform, std::int64_t nowNs) {
  if (!waveform.timer.Running()) return;
  const auto channel = static_cast<std::size_t>(&waveform - board.daq.waveforms.data());
  board.daq.outputCodes[channel] = OutputCodeAt(board, static_cast<int>(channel), nowNs);
  waveform.timer.Halt(nowNs);
}

int Output(SimBoard& board, const SimRequest& request) {
  Waveform* waveform = WaveformOf(board, request);
  if (waveform == nullptr) return 0;
  Halt(board, *waveform, request.NowNs());
  board.daq.outputCodes[request.U32(1)] = request.U32(2) & kCodeMask;
  return 1;
}

int Start(SimBoard& board, const SimRequest& request) {
  Waveform* waveform = WaveformOf(board, request);
  const std::uint32_t rate = ActualRate(request.I32(4));
  request.Store(6, waveform != nullptr ? rate : 0u);
  if (waveform == nullptr || rate == 0) return 0;
  Halt(board, *waveform, request.NowNs());
  if (!LoadCodes(*waveform, request)) {
    request.Store(6, std::uint32_t{0});
    return 0;
  }
  waveform->loops = request.U32(5);
  waveform->timer.Start(rate, request.NowNs());
  return 1;
}

// New samples; a running waveform goes on with them from position 0.
int Reload(SimBoard& board, const SimRequest& request) {
  Waveform* waveform = WaveformOf(board, request);
  if (waveform == nullptr || !LoadCodes(*waveform, request)) return 0;
  const bool running = waveform->timer.Running();
  waveform->timer.Start(waveform->timer.Rate(), request.NowNs());
  if (!running) waveform->timer.Halt(request.NowNs());
  return 1;
}

int RateChange(SimBoard& board, const SimRequest& request) {
  Waveform* waveform = WaveformOf(board, request);
  const std::uint32_t rate = ActualRate(request.I32(2));
  request.Store(3, waveform != nullptr ? rate : 0u);
  if (waveform == nullptr || rate == 0) return 0;
  waveform->timer.ChangeRate(rate, request.NowNs());
  return 1;
}

int Position(SimBoard& board, const SimRequest& request) {
  const Waveform* waveform = WaveformOf(board, request);
  const WaveformProgress progress =
      waveform != nullptr ? ProgressAt(*waveform, request.NowNs()) : WaveformProgress{};
  request.Store(2, static_cast<std::uint32_t>(progress.position));
  return waveform != nullptr ? 1 : 0;
}

int Loops(SimBoard& board, const SimRequest& request) {
  const Waveform* waveform = WaveformOf(board, request);
  const WaveformProgress progress =
      waveform != nullptr ? ProgressAt(*waveform, request.NowNs()) : WaveformProgress{};
  request.Store(2, static_cast<std::uint32_t>(progress.loops));
  return waveform != nullptr ? 1 : 0;
}

int Stop(SimBoard& board, const SimRequest& request) {
  Waveform* waveform = WaveformOf(board, request);
  if (waveform == nullptr) return 0;
  Halt(board, *waveform, request.NowNs());
  return 1;
}

}  // namespace

void AddAnalogOutputHandlers(HandlerTable& table) {
  table.Set(cmd::kDaOut, Synced<Output>);
  table.Set(cmd::kWfmStart, Synced<Start>);
  table.Set(cmd::kWfmReload, Synced<Reload>);
  table.Set(cmd::kWfmRateChange, Synced<RateChange>);
  table.Set(cmd::kWfmPosition, Synced<Position>);
  table.Set(cmd::kWfmLoops, Synced<Loops>);
  table.Set(cmd::kWfmStop, Synced<Stop>);
}

}  // namespace quorva::sim
