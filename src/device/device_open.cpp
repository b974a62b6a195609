#include "device/device_open.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "device/immortal.h"
#include "platform/backend.h"

namespace quorva {
namespace {

// The handles the backend opened and the library has not closed: requests go to these only,
// never to whatever else a number passed as a handle might name in the process.
struct OpenHandles {
  std::mutex mutex;
  std::vector<Handle> handles;
};

OpenHandles& Opened() {
  static Immortal<OpenHandles> opened;
  return *opened;
}

}  // namespace

Handle OpenDeviceInterface(int index, std::uint32_t* error) {
  std::uint32_t ignored = 0;
  const Handle handle = ActiveBackend().open(index, error != nullptr ? error : &ignored);
  if (!IsNoDevice(handle)) {
    OpenHandles& opened = Opened();
    std::lock_guard lock(opened.mutex);
    opened.handles.push_back(handle);
  }
  return handle;
}

void CloseDeviceInterface(Handle handle) {
  if (IsNoDevice(handle)) return;
  {
    OpenHandles& opened = Opened();
    std::lock_guard lock(opened.mutex);
    const auto found = std::find(opened.handles.begin(), opened.handles.end(), handle);
    if (found == opened.handles.end()) return;
    opened.handles.erase(found);
    // Nothing stays on the heap while no board is open.
    if (opened.handles.empty()) std::vector<Handle>().swap(opened.handles);
  }
  ActiveBackend().close(handle);
}

bool IsOpenDeviceInterface(Handle handle) {
  OpenHandles& opened = Opened();
  std::lock_guard lock(opened.mutex);
  return std::find(opened.handles.begin(), opened.handles.end(), handle) != opened.handles.end();
}

}  // namespace quorva
