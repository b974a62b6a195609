// Opening and closing the n-th board through the active backend.
#pragma once

#include <cstdint>

#include "device/driver_call.h"

namespace quorva {

// Opens the board with zero-based enumeration index `index`; QUORVA_INVALID_HANDLE when there
// is none (then `error`, if given, holds the reason).
Handle OpenDeviceInterface(int index, std::uint32_t* error);
void CloseDeviceInterface(Handle handle);

}  // namespace quorva
