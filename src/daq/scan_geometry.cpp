#include "daq/scan_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace quorva::daq {

ScanGeometry FetchGeometry(Handle handle, std::uint32_t code, bool withChannels) {
  ScanGeometry geometry;
  DriverCall(handle, code, &geometry.channelCount,
             withChannels ? geometry.channels.data() : nullptr, &geometry.arraySize);
  return geometry;
}

std::uint64_t RingSlot(std::int64_t scan, std::uint32_t arraySize) {
  if (arraySize == 0) return 0;
  return static_cast<std::uint64_t>(std::max<std::int64_t>(scan, 1) - 1) % arraySize;
}

ScanSpan RequestedScans(int start, int count) {
  ScanSpan span{start, count};
  if (count < 0) {
    span.count = -static_cast<std::int64_t>(count);
    span.first = span.first - span.count;
  }
  span.first = std::max<std::int64_t>(span.first, 1);
  return span;
}

ScanSpan AcquiredPart(ScanSpan span, std::uint32_t lastCount) {
  span.count = std::clamp<std::int64_t>(std::int64_t{lastCount} - span.first + 1, 0, span.count);
  return span;
}

ScanSpan HeldPart(ScanSpan span, std::uint32_t lastCount, std::uint32_t arraySize) {
  span = AcquiredPart(span, lastCount);
  const std::int64_t oldestHeld = std::int64_t{lastCount} - arraySize + 1;
  if (span.first < oldestHeld) {
    const std::int64_t last = span.Last();
    span.first = oldestHeld;
    span.count = std::max<std::int64_t>(last - oldestHeld + 1, 0);
  }
  return span;
}

}  // namespace quorva::daq
