// Unloads every registered board when the library leaves the process.
#include "device/registry.h"

namespace {

__attribute__((destructor)) void UnloadOnDetach() {
  quorva::UnloadAllDevices();
}

}  // namespace
