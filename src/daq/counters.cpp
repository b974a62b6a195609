// 32-bit counters.
#include "device/commands.h"
#include "device/driver_call.h"

using namespace quorva;

extern "C" {

// The driver's error code is read but not reported.
unsigned int QUORVA_ReadCounter32(QUORVA_HANDLE handle, int channel) {
  std::uint32_t count = 0;
  std::int32_t error = 0;
  DriverCall(handle, cmd::kCounterRead, channel, &count, &error);
  return count;
}

// A request the driver did not take is no success, whatever the untouched error code says.
int QUORVA_ClearCounter32(QUORVA_HANDLE handle, int channel) {
  std::int32_t error = 0;
  if (!DriverCall(handle, cmd::kCounterClear, channel, &error)) return 0;
  return error >= 0 ? 1 : 0;
}

}  // extern "C"
