// QUORVA_GetAvailDevList: every installed board, sorted by DeviceId, instances numbered.
#include <algorithm>

#include "device/device_open.h"

using namespace quorva;

extern "C" int QUORVA_GetAvailDevList(DevList* list) {
  if (list == nullptr) return 0;
  int count = 0;
  for (int index = 0; count < QUORVA_MAX_BOARDS; ++index) {
    const Handle handle = OpenDeviceInterface(index, nullptr);
    if (IsNoDevice(handle)) break;
    DevInfo& entry = list->boards[count++];
    entry = DevInfo{};
    QUORVA_GetDevInfo(handle, &entry);
    CloseDeviceInterface(handle);
  }
  list->count = static_cast<std::uint16_t>(count);

  // Boards with equal DeviceId keep their enumeration order, so instance n of a DeviceId is
  // the n-th such board that QUORVA_LoadDevice would find.
  DevInfo* const first = list->boards;
  std::stable_sort(first, first + count,
                   [](const DevInfo& a, const DevInfo& b) { return a.DeviceId < b.DeviceId; });
  for (int i = 0; i < count; ++i) {
    const bool sameAsPrevious = i > 0 && first[i].DeviceId == first[i - 1].DeviceId;
    first[i].instance = sameAsPrevious ? first[i - 1].instance + 1 : 0;
  }
  return 1;
}
