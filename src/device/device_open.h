// Opening and closing the n-th board through the active backend.
#pragma once

#include <cstdint>

#include "device/driver_call.h"

namespace quorva {

// Opens the board with zero-based enumeration index `index`; QUORVA_INVALID_HANDLE when there
// is none (then `error`, if given, holds the reason).
Handle OpenDeviceInterface(int index, std::uint32_t* error);
// Closes a handle that OpenDeviceInterface returned; any other value is left alone.
void CloseDeviceInterface(Handle handle);
// Whether `handle` was opened by OpenDeviceInterface and not closed since.
bool IsOpenDeviceInterface(Handle handle);

}  // namespace quorva
