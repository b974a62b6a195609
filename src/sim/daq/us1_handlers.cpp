// The US1 scan engine: one interleaved ring, a scan's digits side by side.
#include <algorithm>
#include <cmath>

#include "device/commands.h"
#include "sim/daq/analog_signal.h"
#include "sim/daq/daq_handlers.h"
#include "sim/daq/scan_setup.h"

namespace quorva::sim {
namespace {

constexpr int kStopWhenFull = 1;

// Scans per second the board runs at for a requested frequency (1 Hz - 10 MHz); 0 when out of
// range.
double Us1Rate(std::int32_t requested) {
  if (requested < 1 || requested > kBoardClockHz) return 0;
  return kBoardClockHz / std::max(1.0, std::round(kBoardClockHz / requested));
}

std::uint64_t DueScans(const Us1Scan& scan, std::int64_t nowNs) {
  const std::uint64_t due = scan.setup.timer.At(nowNs);
  return scan.limit != 0 ? std::min(due, scan.limit) : due;
}

bool Scanning(const Us1Scan& scan, std::int64_t nowNs) {
  return scan.setup.timer.Running() && (scan.limit == 0 || DueScans(scan, nowNs) < scan.limit);
}

std::int32_t StartScan(SimBoard& board, const SimRequest& request) {
  Us1Scan& scan = board.daq.us1;
  if (Scanning(scan, request.NowNs())) return QUORVA_SIM_SCAN_ERR_BUSY;
  ScanSetup setup;
  const double rate = Us1Rate(request.I32(3));
  const std::int32_t arraySize = request.I32(4);
  if (!ReadScanChannels(board, request, setup) || rate == 0 || arraySize < 1) {
    return QUORVA_SIM_SCAN_ERR_ARGUMENT;
  }
  const std::uint64_t words = std::uint64_t{setup.channelCount} * arraySize;
  if (words > kMaxRingSamples) return QUORVA_SIM_SCAN_ERR_MEMORY;

  setup.arraySize = static_cast<std::uint32_t>(arraySize);
  setup.timer.Start(rate, request.NowNs());
  PrepareRing(scan.ring, words, scan.retired);
  scan.setup = setup;
  scan.limit = request.I32(5) == kStopWhenFull ? setup.arraySize : 0;
  scan.stored = 0;
  return 0;
}

int Start(SimBoard& board, const SimRequest& request) {
  request.Store(6, StartScan(board, request));
  return 1;
}

int Stop(SimBoard& board, const SimRequest& request) {
  board.daq.us1.setup.timer.Halt(request.NowNs());
  return 1;
}

int ChangeFrequency(SimBoard& board, const SimRequest& request) {
  const double rate = Us1Rate(request.I32(1));
  request.Store(2, static_cast<std::uint32_t>(rate));
  if (rate == 0) return 0;
  board.daq.us1.setup.timer.ChangeRate(rate, request.NowNs());
  return 1;
}

// Scan numbers start again from 1, written from the ring's start.
int ResetCount(SimBoard& board, const SimRequest& request) {
  Us1Scan& scan = board.daq.us1;
  Ticker& timer = scan.setup.timer;
  const bool running = timer.Running();
  timer.Start(timer.Rate(), request.NowNs());
  if (!running) timer.Halt(request.NowNs());
  scan.stored = 0;
  return 1;
}

int Buffer(SimBoard& board, const SimRequest& request) {
  request.Store(1, RingAddress(board.daq.us1.ring));
  return 1;
}

int Release(SimBoard& board, const SimRequest& /*request*/) {
  board.daq.us1 = Us1Scan{};
  return 1;
}

int Count(SimBoard& board, const SimRequest& request) {
  request.Store(1, static_cast<std::uint32_t>(board.daq.us1.stored));
  return 1;
}

int Geometry(SimBoard& board, const SimRequest& request) {
  StoreGeometry(board.daq.us1.setup, request);
  return 1;
}

}  // namespace

void CatchUpUs1(SimBoard& board, std::int64_t nowNs) {
  Us1Scan& scan = board.daq.us1;
  if (scan.ring.empty()) return;
  const ScanSetup& setup = scan.setup;
  const std::uint64_t due = DueScans(scan, nowNs);
  const std::size_t channels = setup.channelCount;
  for (std::uint64_t s = FirstScanToWrite(scan.stored, due, setup.arraySize); s <= due; ++s) {
    const double seconds = setup.timer.SecondsOf(s);
    std::uint16_t* digits = &scan.ring[(s - 1) % setup.arraySize * channels];
    for (std::size_t q = 0; q < channels; ++q)
      digits[q] = static_cast<std::uint16_t>(InputDigit(board, setup.channels[q], seconds));
  }
  scan.stored = std::max(scan.stored, due);
}

void AddUs1Handlers(HandlerTable& table) {
  table.Set(cmd::kUs1Start, Synced<Start>);
  table.Set(cmd::kUs1Stop, Synced<Stop>);
  table.Set(cmd::kUs1ChangeFrequency, Synced<ChangeFrequency>);
  table.Set(cmd::kUs1ResetCount, Synced<ResetCount>);
  table.Set(cmd::kUs1Buffer, Synced<Buffer>);
  table.Set(cmd::kUs1Release, Synced<Release>);
  table.Set(cmd::kUs1Count, Synced<Count>);
  table.Set(cmd::kUs1Geometry, Synced<Geometry>);
}

}  // namespace quorva::sim
