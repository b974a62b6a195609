// QUORVA_GetDevInfo and QUORVA_GetDeviceThreadCount.
#include <cstring>

#include "device/board_table.h"
#include "device/commands.h"
#include "device/driver_call.h"

using namespace quorva;

extern "C" {

// A handle that is no open board fills nothing and returns 0.
int QUORVA_GetDevInfo(QUORVA_HANDLE handle, DevInfo* info) {
  if (info == nullptr || DriverCall(handle, cmd::kDeviceInfo, info) == 0) return 0;
  info->analogInputs = info->analogOutputs = info->digitalInputs = info->digitalOutputs = 0;
  info->axes = 0;
  const BoardDescription* board = FindBoard(info->DeviceId);
  if (board == nullptr) return 1;
  std::strncpy(info->modelName, board->modelName, sizeof info->modelName - 1);
  info->modelName[sizeof info->modelName - 1] = '\0';
  info->resourceFlags = board->resourceFlags;
  if (board->deviceId == kDriverDescribedBoard) {
    DriverCall(handle, cmd::kDeviceDetail, info);
  } else {
    info->analogInputs = board->analogInputs;
    info->analogOutputs = board->analogOutputs;
    info->digitalInputs = board->digitalInputs;
    info->digitalOutputs = board->digitalOutputs;
    info->axes = board->axes;
  }
  return 1;
}

int QUORVA_GetDeviceThreadCount(QUORVA_HANDLE handle) {
  return static_cast<int>(DriverRead(handle, cmd::kOpenCount));
}

}  // extern "C"
