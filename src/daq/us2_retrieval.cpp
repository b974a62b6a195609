// US2 retrieval: single samples and one channel out of the channel's own ring. A ring word
// carries the conversion in its low 12 bits.
#include "daq/channel_retrieval.h"
#include "daq/scan_engines.h"
#include "daq/scan_geometry.h"
#include "device/commands.h"

using namespace quorva;
using namespace quorva::daq;

namespace {

std::uint32_t Us2LastCount(Handle handle) {
  return Us2TransferCount(handle) * kTransferScans;
}

constexpr ChannelSource kUs2Channels{[](Handle handle, int channelIndex) -> const std::uint16_t* {
                                       return Us2Ring(handle, channelIndex);
                                     },
                                     cmd::kUs2Geometry, Us2LastCount, false, 0xFFF};

}  // namespace

extern "C" {

float QUORVA_US2_RetrvOne(QUORVA_HANDLE handle, int channelIndex, int scan) {
  return RetrieveOne(handle, kUs2Channels, channelIndex, scan);
}

int QUORVA_US2_RetrvChannel(QUORVA_HANDLE handle, int channelIndex, int start, int count,
                            void* dest, int type) {
  return RetrieveChannel(handle, kUs2Channels, channelIndex, start, count, dest, type);
}

}  // extern "C"
