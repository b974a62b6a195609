// Bringing a motion controller into its defined initial state.
#pragma once

#include <cstdint>

#include "device/driver_call.h"

namespace quorva {

struct MotionContext;

// Reads the controller version, fixes the axis count, writes each axis's signal
// configuration, environment register and default operation mode.
void InitController(Handle handle, std::uint16_t deviceId, MotionContext& context);

}  // namespace quorva
