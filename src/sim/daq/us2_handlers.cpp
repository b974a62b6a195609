// The US2 scan engine: one ring per channel index, filled by transfers of 4096 scans. Each scan
// is converted at its own time into the board's FIFO and reaches the rings with the transfer
// that completes it. A ring word carries the digit in bits 0-11 and the physical channel in bits
// 12-15.
#include <algorithm>
#include <cmath>

#include "device/commands.h"
#include "sim/daq/analog_signal.h"
#include "sim/daq/daq_handlers.h"
#include "sim/daq/scan_setup.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kEndlessMode = 1;
constexpr std::int32_t kMaxFrequency = 20'000'000;

// The scan rate for a requested frequency and the clock divider reported for it: frequencies
// up to 5 MHz divide the 10 MHz clock, faster ones run at 10 or 20 MHz.
struct Us2Clock {
  double rate = 0;  // 0: frequency out of range
  std::uint32_t divider = 0;
};

Us2Clock ClockFor(std::int32_t requested) {
  if (requested < 1 || requested > kMaxFrequency) return {};
  if (requested > 10'000'000) return {2 * kBoardClockHz, 1};
  if (requested > 5'000'000) return {kBoardClockHz, 1};
  const double divider = std::round(kBoardClockHz / requested);
  return {kBoardClockHz / divider, static_cast<std::uint32_t>(divider)};
}

std::uint64_t Transfers(const Us2Scan& scan) {
  return scan.stored / kTransferScans;
}

std::uint64_t WholeTransfers(std::uint64_t scans) {
  return (scans + kTransferScans - 1) / kTransferScans * kTransferScans;
}

std::uint64_t DueScans(const Us2Scan& scan, std::int64_t nowNs) {
  const std::uint64_t due = scan.setup.timer.At(nowNs);
  return scan.maxScans != 0 ? std::min(due, scan.maxScans) : due;
}

bool Scanning(const Us2Scan& scan, std::int64_t nowNs) {
  return !scan.stopped && !scan.rings.empty() &&
         (scan.maxScans == 0 || DueScans(scan, nowNs) < scan.maxScans);
}

void PrepareRings(Us2Scan& scan, std::size_t count, std::size_t words) {
  if (scan.rings.size() > count) {
    for (std::size_t k = count; k < scan.rings.size(); ++k)
      scan.retired.push_back(std::move(scan.rings[k]));
  }
  scan.rings.resize(count);
  for (auto& ring : scan.rings)
    PrepareRing(ring, words, scan.retired);
}

struct StartResult {
  std::uint32_t divider = 0;
  std::int32_t error = 0;
};

StartResult StartScan(SimBoard& board, const SimRequest& request) {
  Us2Scan& scan = board.daq.us2;
  if (Scanning(scan, request.NowNs())) return {0, QUORVA_SIM_SCAN_ERR_BUSY};
  ScanSetup setup;
  const Us2Clock clock = ClockFor(request.I32(3));
  const std::int32_t scanCount = request.I32(5);
  if (!ReadScanChannels(board, request, setup) || clock.rate == 0 || scanCount < 1) {
    return {0, QUORVA_SIM_SCAN_ERR_ARGUMENT};
  }
  const std::uint64_t arraySize = WholeTransfers(static_cast<std::uint64_t>(scanCount));
  if (arraySize * setup.channelCount > kMaxRingSamples) return {0, QUORVA_SIM_SCAN_ERR_MEMORY};

  setup.arraySize = static_cast<std::uint32_t>(arraySize);
  setup.timer.Start(clock.rate, request.NowNs());
  PrepareRings(scan, setup.channelCount, arraySize);
  scan.setup = setup;
  scan.maxScans = (request.U32(4) & kEndlessMode) != 0 ? 0 : arraySize;
  scan.stored = 0;
  scan.fifo.clear();
  scan.stopped = false;
  return {clock.divider, 0};
}

int Start(SimBoard& board, const SimRequest& request) {
  const StartResult result = StartScan(board, request);
  request.Store(6, result.divider);
  request.Store(7, result.error);
  return 1;
}

int Pause(SimBoard& board, const SimRequest& request) {
  board.daq.us2.setup.timer.Halt(request.NowNs());
  return 1;
}

int Resume(SimBoard& board, const SimRequest& request) {
  Us2Scan& scan = board.daq.us2;
  if (scan.stopped || scan.rings.empty()) return 0;
  scan.setup.timer.Resume(request.NowNs());
  return 1;
}

int ChangeFrequency(SimBoard& board, const SimRequest& request) {
  const Us2Clock clock = ClockFor(request.I32(1));
  request.Store(2, clock.divider);
  if (clock.rate == 0) return 0;
  board.daq.us2.setup.timer.ChangeRate(clock.rate, request.NowNs());
  return 1;
}

int ChangeMaxScan(SimBoard& board, const SimRequest& request) {
  board.daq.us2.maxScans = WholeTransfers(request.U32(1));
  return 1;
}

int BufferFull(SimBoard& board, const SimRequest& request) {
  const Us2Scan& scan = board.daq.us2;
  const bool full = !scan.rings.empty() && Transfers(scan) * kTransferScans >= scan.setup.arraySize;
  request.Store(1, std::uint32_t{full});
  return 1;
}

int Buffer(SimBoard& board, const SimRequest& request) {
  const auto& rings = board.daq.us2.rings;
  const std::uint32_t index = request.U32(1);
  request.Store(2, index < rings.size() ? RingAddress(rings[index]) : std::uint64_t{0});
  return 1;
}

int Stop(SimBoard& board, const SimRequest& request) {
  board.daq.us2.setup.timer.Halt(request.NowNs());
  board.daq.us2.stopped = true;
  return 1;
}

int Release(SimBoard& board, const SimRequest& /*request*/) {
  board.daq.us2 = Us2Scan{};
  return 1;
}

int TransferCount(SimBoard& board, const SimRequest& request) {
  request.Store(1, static_cast<std::uint32_t>(Transfers(board.daq.us2)));
  return 1;
}

int Geometry(SimBoard& board, const SimRequest& request) {
  StoreGeometry(board.daq.us2.setup, request);
  return 1;
}

}  // namespace

namespace {

// Writes the words of scan `scan` into the rings.
void Land(Us2Scan& scan, std::uint64_t number, const std::uint16_t* words) {
  const std::uint64_t slot = (number - 1) % scan.setup.arraySize;
  for (std::size_t q = 0; q < scan.rings.size(); ++q)
    scan.rings[q][slot] = words[q];
}

// Moves the FIFO's scans up to `landed` into the rings, skipping those older than `oldest`,
// which the same transfers overwrite.
void Flush(Us2Scan& scan, std::uint64_t landed, std::uint64_t oldest) {
  const std::size_t channels = scan.setup.channelCount;
  const std::uint64_t waiting = scan.fifo.size() / channels;
  if (waiting == 0 || landed < scan.fifoFirst) return;
  const std::uint64_t moving = std::min(waiting, landed - scan.fifoFirst + 1);
  for (std::uint64_t i = 0; i < moving; ++i) {
    if (scan.fifoFirst + i >= oldest) Land(scan, scan.fifoFirst + i, &scan.fifo[i * channels]);
  }
  scan.fifo.erase(scan.fifo.begin(),
                  scan.fifo.begin() + static_cast<std::ptrdiff_t>(moving * channels));
  scan.fifoFirst += moving;
}

}  // namespace

void CatchUpUs2(SimBoard& board, std::int64_t nowNs) {
  Us2Scan& scan = board.daq.us2;
  if (scan.rings.empty()) return;
  const ScanSetup& setup = scan.setup;
  const std::uint64_t due = DueScans(scan, nowNs);
  if (due <= scan.stored) return;
  const std::uint64_t landed = due / kTransferScans * kTransferScans;
  const std::uint64_t oldest = landed > setup.arraySize ? landed - setup.arraySize + 1 : 1;
  Flush(scan, landed, oldest);
  std::array<std::uint16_t, 32> words{};
  for (std::uint64_t s = std::max(oldest, scan.stored + 1); s <= due; ++s) {
    const double seconds = setup.timer.SecondsOf(s);
    for (std::size_t q = 0; q < setup.channelCount; ++q) {
      const std::uint32_t channel = setup.channels[q];
      words[q] =
          static_cast<std::uint16_t>(InputDigit(board, channel, seconds) | (channel & 0xF) << 12);
    }
    if (s <= landed) {
      Land(scan, s, words.data());
    } else {
      if (scan.fifo.empty()) scan.fifoFirst = s;
      scan.fifo.insert(scan.fifo.end(), words.begin(), words.begin() + setup.channelCount);
    }
  }
  scan.stored = due;
}

void AddUs2Handlers(HandlerTable& table) {
  table.Set(cmd::kUs2Start, Synced<Start>);
  table.Set(cmd::kUs2Pause, Synced<Pause>);
  table.Set(cmd::kUs2Resume, Synced<Resume>);
  table.Set(cmd::kUs2ChangeFrequency, Synced<ChangeFrequency>);
  table.Set(cmd::kUs2ChangeMaxScan, Synced<ChangeMaxScan>);
  table.Set(cmd::kUs2BufferFull, Synced<BufferFull>);
  table.Set(cmd::kUs2Buffer, Synced<Buffer>);
  table.Set(cmd::kUs2Stop, Synced<Stop>);
  table.Set(cmd::kUs2Release, Synced<Release>);
  table.Set(cmd::kUs2TransferCount, Synced<TransferCount>);
  table.Set(cmd::kUs2Geometry, Synced<Geometry>);
}

}  // namespace quorva::sim
