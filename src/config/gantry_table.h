// Loading the gantry-mapping file into a board's motion context.
#pragma once

#include <cstdint>

#include "motion/core/motion_context.h"

namespace quorva {

// Boards that can own the mapping table.
inline bool CanLoadGantryTable(std::uint16_t deviceId) {
  return deviceId >= 0xA500 && deviceId <= 0xA5FF;
}

// At device load: when the mapping file opens and names the context's instance, loads its
// table (not enabled); otherwise the context has no table.
void LoadGantryTableAtDeviceLoad(MotionContext& context);

// Reads the file again when a table is loaded and the file names the context's instance. A
// file that names the instance but cannot be used leaves the context unloaded and disabled;
// the previous table, axes and unit distances then stay as they were.
void ReloadGantryTable(MotionContext& context);

}  // namespace quorva
