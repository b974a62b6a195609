#include "daq/channel_retrieval.h"

#include "daq/digit_conversion.h"
#include "daq/scan_geometry.h"
#include "daq/volt_codes.h"

namespace quorva::daq {
namespace {

std::size_t StrideOf(const ChannelSource& source, const ScanGeometry& geometry) {
  return source.interleaved ? geometry.channelCount : 1;
}

// The channel's sample of ring slot 0.
const std::uint16_t* ChannelStart(const ChannelSource& source, const std::uint16_t* ring,
                                  int channelIndex) {
  return source.interleaved ? ring + channelIndex : ring;
}

}  // namespace

float RetrieveOne(Handle handle, const ChannelSource& source, int channelIndex, int scan) {
  const std::uint16_t* ring = source.ring(handle, channelIndex);
  if (ring == nullptr) return 0;
  const ScanGeometry geometry = FetchGeometry(handle, source.geometryCode, true);
  if (!geometry.Usable() || !geometry.HoldsIndex(channelIndex)) return 0;
  const VoltScale scale(FetchChannelRange(handle, geometry.channels[channelIndex]));
  const std::uint16_t word = ChannelStart(
      source, ring, channelIndex)[RingSlot(scan, geometry.arraySize) * StrideOf(source, geometry)];
  return scale(word & source.mask);
}

int RetrieveChannel(Handle handle, const ChannelSource& source, int channelIndex, int start,
                    int count, void* dest, int type) {
  const RetrievalType kind = RetrievalTypeOf(type);
  if (dest == nullptr || kind == RetrievalType::kNone) return 0;
  const std::uint16_t* ring = source.ring(handle, channelIndex);
  if (ring == nullptr) return 0;
  const ScanGeometry geometry = FetchGeometry(handle, source.geometryCode, true);
  const std::uint32_t lastCount = source.lastCount(handle);
  if (!geometry.Usable() || !geometry.HoldsIndex(channelIndex)) return 0;

  const ScanSpan scans = AcquiredPart(RequestedScans(start, count), lastCount);
  VoltScale scale;
  if (kind != RetrievalType::kDigits) {
    scale = VoltScale(FetchChannelRange(handle, geometry.channels[channelIndex]));
  }
  const std::size_t stride = StrideOf(source, geometry);
  const std::uint16_t* samples = ChannelStart(source, ring, channelIndex);
  ForEachRingRun(scans, geometry.arraySize,
                 [&](std::uint64_t slot, std::uint64_t n, std::uint64_t offset) {
                   ConvertStrided(samples + slot * stride, stride, n, source.mask, scale, kind,
                                  Advance(dest, offset, kind));
                 });
  return static_cast<int>(scans.count);
}

}  // namespace quorva::daq
