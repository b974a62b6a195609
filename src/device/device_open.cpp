#include "device/device_open.h"

#include "platform/backend.h"

namespace quorva {

Handle OpenDeviceInterface(int index, std::uint32_t* error) {
  std::uint32_t ignored = 0;
  return ActiveBackend().open(index, error != nullptr ? error : &ignored);
}

void CloseDeviceInterface(Handle handle) {
  if (!IsNoDevice(handle)) ActiveBackend().close(handle);
}

}  // namespace quorva
