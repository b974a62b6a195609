#include "device/registry.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "device/immortal.h"

namespace quorva {
namespace {

// Entries in registration order, searched by handle.
struct Registry {
  std::mutex mutex;
  std::vector<DeviceEntry> entries;
};

Registry& TheRegistry() {
  static Immortal<Registry> registry;
  return *registry;
}

}  // namespace

void RegisterDevice(Handle handle, std::uint16_t deviceId, std::int32_t instance) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.entries.push_back({handle, deviceId, instance, 0});
}

void RemoveDevice(Handle handle) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  const auto it = std::find_if(r.entries.begin(), r.entries.end(),
                               [&](const DeviceEntry& e) { return e.handle == handle; });
  if (it != r.entries.end()) r.entries.erase(it);
  // The last board gone, the registry holds no memory.
  if (r.entries.empty()) r.entries.shrink_to_fit();
}

std::optional<DeviceEntry> FindDevice(Handle handle) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  for (const DeviceEntry& e : r.entries) {
    if (e.handle == handle) return e;
  }
  return std::nullopt;
}

std::int32_t InstanceOf(Handle handle) {
  const auto entry = FindDevice(handle);
  return entry ? entry->instance : -1;
}

void UnloadAllDevices() {
  for (;;) {
    Handle handle;
    {
      Registry& r = TheRegistry();
      std::lock_guard lock(r.mutex);
      if (r.entries.empty()) return;
      handle = r.entries.front().handle;
    }
    QUORVA_UnloadDevice(handle);
  }
}

}  // namespace quorva
