// The shape of a running scan as the driver reports it, and the scan numbers a retrieval reads.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "device/driver_call.h"

namespace quorva::daq {

inline constexpr std::uint32_t kMaxScanChannels = 32;
// Scans per transfer of the US2 engine: its count advances in whole transfers.
inline constexpr std::uint32_t kTransferScans = 4096;

struct ScanGeometry {
  std::uint32_t channelCount = 0;                          // channels per scan
  std::array<std::uint32_t, kMaxScanChannels> channels{};  // physical channels in scan order
  std::uint32_t arraySize = 0;                             // scans the ring holds

  // A geometry a ring can be read with.
  bool Usable() const {
    return channelCount >= 1 && channelCount <= kMaxScanChannels && arraySize >= 1;
  }
  bool HoldsIndex(int channelIndex) const {
    return channelIndex >= 0 && static_cast<std::uint32_t>(channelIndex) < channelCount;
  }
};

// Scan geometry through `code` (100 for US1, 160 for US2), with the channel list or without.
ScanGeometry FetchGeometry(Handle handle, std::uint32_t code, bool withChannels);

// Ring slot of scan number `scan` (from 1; a number below 1 is taken as 1); slot 0 when the
// ring has no size.
std::uint64_t RingSlot(std::int64_t scan, std::uint32_t arraySize);

// Consecutive scan numbers: first, first + 1, ..., first + count - 1.
struct ScanSpan {
  std::int64_t first = 1;
  std::int64_t count = 0;

  std::int64_t Last() const { return first + count - 1; }
};

// The scans a (start, count) request asks for: a negative count asks for the |count| scans
// before `start`; a start below 1 is taken as 1.
ScanSpan RequestedScans(int start, int count);
// The part of `span` already acquired when `lastCount` scans have been.
ScanSpan AcquiredPart(ScanSpan span, std::uint32_t lastCount);
// The part of `span` the ring still holds: acquired and not yet overwritten.
ScanSpan HeldPart(ScanSpan span, std::uint32_t lastCount, std::uint32_t arraySize);

// Calls run(slot, scans, offset) for each piece of `span` that is contiguous in the ring:
// `scans` scans from ring slot `slot`, to be stored from value `offset` (in scans) onward.
template <typename Run>
void ForEachRingRun(ScanSpan span, std::uint32_t arraySize, Run run) {
  std::uint64_t slot = RingSlot(span.first, arraySize);
  std::uint64_t done = 0;
  const auto total = static_cast<std::uint64_t>(span.count);
  while (done < total) {
    const std::uint64_t scans = std::min<std::uint64_t>(total - done, arraySize - slot);
    run(slot, scans, done);
    done += scans;
    slot = 0;
  }
}

}  // namespace quorva::daq
