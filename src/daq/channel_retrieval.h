// Reading one channel of a scan ring: the retrieval shared by both scan engines, which differ
// only in where a channel's samples lie and how the driver counts scans.
#pragma once

#include <cstdint>

#include "device/driver_call.h"

namespace quorva::daq {

// How an engine locates a channel's samples.
struct ChannelSource {
  // The ring that holds channel index `channelIndex`, as the driver returned it; null when
  // there is none.
  const std::uint16_t* (*ring)(Handle handle, int channelIndex);
  std::uint32_t geometryCode;
  // Scans acquired so far.
  std::uint32_t (*lastCount)(Handle handle);
  // Interleaved: one ring for all channels, a scan's digits side by side.
  bool interleaved;
  // The bits of a ring word that hold the conversion.
  std::uint16_t mask;
};

// Volts of channel index `channelIndex` of scan `scan`; 0 without a ring or such an index.
float RetrieveOne(Handle handle, const ChannelSource& source, int channelIndex, int scan);

// Stores the acquired scans among `count` scans from `start` of one channel into `dest` as
// `type` says. Returns the number of values stored; 0 for a null `dest`, a type that stores
// nothing, no ring, or no such channel index.
int RetrieveChannel(Handle handle, const ChannelSource& source, int channelIndex, int start,
                    int count, void* dest, int type);

}  // namespace quorva::daq
