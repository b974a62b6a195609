// QUORVA_LoadDevice and QUORVA_UnloadDevice.
#include "device/board_watchers.h"
#include "device/device_open.h"
#include "device/registry.h"

using namespace quorva;

extern "C" {

QUORVA_HANDLE QUORVA_LoadDevice(int deviceId, int instance) {
  for (const BoardWatcher& w : BoardWatchers()) {
    if (w.loading != nullptr) w.loading();
  }
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
    const BoardEvent board{handle, info.DeviceId, instance};
    for (const BoardWatcher& w : BoardWatchers()) {
      if (w.loaded != nullptr) w.loaded(board);
    }
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
  const BoardEvent board{handle, info.DeviceId, entry->instance};
  const std::span<const BoardWatcher> watchers = BoardWatchers();
  for (auto w = watchers.rbegin(); w != watchers.rend(); ++w) {
    if (w->unloading != nullptr) w->unloading(board);
  }
  RemoveDevice(handle);
  CloseDeviceInterface(handle);
}

}  // extern "C"
