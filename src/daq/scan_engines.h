// The driver queries of the two scan engines that both their control functions and their
// retrieval use.
#pragma once

#include <cstdint>

#include "device/driver_call.h"

namespace quorva::daq {

// Address of the US1 ring (command 86), null when there is none.
std::uint16_t* Us1Ring(Handle handle);
// US1 scans acquired so far (command 95).
std::uint32_t Us1LastCount(Handle handle);

// Address of the US2 ring of a channel index (command 120), null when there is none.
std::uint16_t* Us2Ring(Handle handle, int channelIndex);
// US2 transfers completed (command 150).
std::uint32_t Us2TransferCount(Handle handle);

}  // namespace quorva::daq
