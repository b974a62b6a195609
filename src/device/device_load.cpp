// QUORVA_LoadDevice and QUORVA_UnloadDevice.
#include "config/gantry_table.h"
#include "device/board_table.h"
#include "device/device_open.h"
#include "device/registry.h"
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

// A motion board gets its context on the first load of (DeviceId, instance); later loads of
// the same board, and boards sharing its family slot, use the existing one. A new context of
// a board that can own the gantry-mapping table loads it when the mapping file names it.
void AttachMotionContext(Handle handle, std::uint16_t deviceId, std::int32_t instance) {
  if (!IsMotionBoard(deviceId) || ContextExists(deviceId, instance)) return;
  MotionContext* context = CreateContext(handle, deviceId, instance);
  if (context != nullptr && CanLoadGantryTable(deviceId)) LoadGantryTableAtDeviceLoad(*context);
}

}  // namespace

extern "C" {

QUORVA_HANDLE QUORVA_LoadDevice(int deviceId, int instance) {
  const auto wanted = static_cast<std::uint16_t>(deviceId);
  int matchesSeen = 0;
  for (int index = 0;; ++index) {
    const Handle handle = OpenDeviceInterface(index, nullptr);
    if (IsNoDevice(handle)) return QUORVA_INVALID_HANDLE;
    DevInfo info{};
    QUORVA_GetDevInfo(handle, &info);
    if (info.DeviceId != wanted || matchesSeen++ != instance) {
      CloseDeviceInterface(handle);
      continue;
    }
    RegisterDevice(handle, info.DeviceId, instance);
    AttachMotionContext(handle, info.DeviceId, instance);
    return handle;
  }
}

void QUORVA_UnloadDevice(QUORVA_HANDLE handle) {
  // Only handles this library opened are closed: closing an unknown or already closed handle
  // could close a descriptor that now belongs to someone else.
  const auto entry = FindDevice(handle);
  if (IsNoDevice(handle) || !entry) return;
  DevInfo info{};
  QUORVA_GetDevInfo(handle, &info);
  if (IsMotionBoard(info.DeviceId) && QUORVA_GetDeviceThreadCount(handle) == 1) {
    DestroyContext(info.DeviceId, entry->instance);
  }
  RemoveDevice(handle);
  CloseDeviceInterface(handle);
}

}  // extern "C"
