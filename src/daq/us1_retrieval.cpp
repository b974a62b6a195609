// US1 retrieval: single samples, one channel, and whole scans out of the interleaved ring.
#include <vector>

#include "daq/channel_retrieval.h"
#include "daq/digit_conversion.h"
#include "daq/scan_engines.h"
#include "daq/scan_geometry.h"
#include "device/commands.h"

using namespace quorva;
using namespace quorva::daq;

namespace {

constexpr ChannelSource kUs1Channels{
    [](Handle handle, int) -> const std::uint16_t* { return Us1Ring(handle); }, cmd::kUs1Geometry,
    Us1LastCount, true, 0xFFFF};

// The scale of every channel of the scan, fetched in scan order.
std::vector<VoltScale> ScanScales(Handle handle, const ScanGeometry& geometry) {
  std::vector<VoltScale> scales;
  for (std::uint32_t q = 0; q < geometry.channelCount; ++q)
    scales.emplace_back(FetchChannelRange(handle, geometry.channels[q]));
  return scales;
}

}  // namespace

extern "C" {

float QUORVA_US1_RetrvOne(QUORVA_HANDLE handle, int channelIndex, int scan) {
  return RetrieveOne(handle, kUs1Channels, channelIndex, scan);
}

int QUORVA_US1_RetrvChannel(QUORVA_HANDLE handle, int channelIndex, int start, int count,
                            void* dest, int type) {
  return RetrieveChannel(handle, kUs1Channels, channelIndex, start, count, dest, type);
}

// Copies whole scans. Only scans the ring still holds are copied: a request reaching further
// back than the ring's size yields its newest scans, so nothing outside the ring is read and
// no overwritten scan is passed off as an older one.
int QUORVA_US1_RetrvBlock(QUORVA_HANDLE handle, int start, int count, void* dest, int type) {
  const RetrievalType kind = RetrievalTypeOf(type);
  if (dest == nullptr || kind == RetrievalType::kNone) return 0;
  const std::uint16_t* ring = Us1Ring(handle);
  if (ring == nullptr) return 0;
  const ScanGeometry geometry = FetchGeometry(handle, cmd::kUs1Geometry, true);
  if (!geometry.Usable()) return 0;
  const std::vector<VoltScale> scales = ScanScales(handle, geometry);
  const std::uint32_t lastCount = Us1LastCount(handle);

  const ScanSpan scans = HeldPart(RequestedScans(start, count), lastCount, geometry.arraySize);
  const std::size_t channels = geometry.channelCount;
  ForEachRingRun(scans, geometry.arraySize,
                 [&](std::uint64_t slot, std::uint64_t n, std::uint64_t offset) {
                   ConvertScans(ring + slot * channels, n, channels, 0xFFFF, scales.data(), kind,
                                Advance(dest, offset * channels, kind));
                 });
  return static_cast<int>(scans.count);
}

}  // extern "C"
