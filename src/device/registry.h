// The process-wide registry of loaded boards. A handle is valid exactly when it has an entry.
#pragma once

#include <cstdint>
#include <optional>

#include "device/driver_call.h"

namespace quorva {

struct DeviceEntry {
  Handle handle;
  std::uint16_t deviceId;
  std::int32_t instance;
  std::uint64_t reserved;  // always zero
};

void RegisterDevice(Handle handle, std::uint16_t deviceId, std::int32_t instance);
void RemoveDevice(Handle handle);
// The entry of `handle`, if registered.
std::optional<DeviceEntry> FindDevice(Handle handle);
// The instance number of `handle`, -1 when it is not registered.
std::int32_t InstanceOf(Handle handle);
// Unloads every registered board, as QUORVA_UnloadDevice would.
void UnloadAllDevices();

}  // namespace quorva
