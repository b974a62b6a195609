// Unloads every registered board when the library leaves the process, then ends the driver
// backend's threads.
#include "device/registry.h"
#include "platform/backend.h"

namespace {

__attribute__((destructor)) void UnloadOnDetach() {
  quorva::UnloadAllDevices();
  quorva::ShutdownActiveBackend();
}

}  // namespace
