#include "sim/daq/scan_setup.h"

#include <algorithm>

#include "sim/daq/analog_signal.h"

namespace quorva::sim {

bool ReadScanChannels(const SimBoard& board, const SimRequest& request, ScanSetup& setup) {
  const std::uint32_t count = request.U32(1);
  const auto* list = static_cast<const std::int32_t*>(request.Address(2));
  if (count < 1 || count > setup.channels.size() || list == nullptr) return false;
  for (std::uint32_t q = 0; q < count; ++q) {
    const auto channel = static_cast<std::uint32_t>(list[q]);
    if (!AnalogInputExists(board, channel)) return false;
    setup.channels[q] = channel;
  }
  setup.channelCount = count;
  return true;
}

void StoreGeometry(const ScanSetup& setup, const SimRequest& request) {
  request.Store(1, setup.channelCount);
  request.Store(2, setup.channels);
  request.Store(3, setup.arraySize);
}

void PrepareRing(std::vector<std::uint16_t>& ring, std::size_t words,
                 std::vector<std::vector<std::uint16_t>>& retired) {
  if (ring.size() == words) return;
  if (!ring.empty()) retired.push_back(std::move(ring));
  ring.assign(words, 0);
}

std::uint64_t RingAddress(const std::vector<std::uint16_t>& ring) {
  return ring.empty() ? 0 : reinterpret_cast<std::uintptr_t>(ring.data());
}

void ClearSetup(ScanSetup& setup) {
  setup = ScanSetup{};
}

std::uint64_t FirstScanToWrite(std::uint64_t stored, std::uint64_t due, std::uint64_t arraySize) {
  return std::max(stored + 1, due > arraySize ? due - arraySize + 1 : 1);
}

}  // namespace quorva::sim
