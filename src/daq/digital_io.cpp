// Digital inputs and outputs of the board: 32 channels per group, and the I/O usage setting.
#include "device/commands.h"
#include "device/driver_call.h"

using namespace quorva;

namespace {

constexpr int kChannelsPerGroup = 32;
constexpr int kChannels = 2 * kChannelsPerGroup;

}  // namespace

extern "C" {

int QUORVA_DIO_SetUsage(QUORVA_HANDLE handle, int usage) {
  return DriverCall(handle, cmd::kDioSetUsage, usage);
}

int QUORVA_DIO_GetUsage(QUORVA_HANDLE handle) {
  return static_cast<int>(DriverRead(handle, cmd::kDioGetUsage) & 0xFF);
}

int QUORVA_DI_GetOne(QUORVA_HANDLE handle, int channel) {
  return static_cast<int>(DriverRead(handle, cmd::kDiGetOne, channel));
}

unsigned int QUORVA_DI_GetAll(QUORVA_HANDLE handle) {
  return DriverRead(handle, cmd::kDiGetAll);
}

unsigned int QUORVA_DI_GetAllEx(QUORVA_HANDLE handle, int group) {
  return DriverRead(handle, cmd::kDiGetAllEx, group);
}

int QUORVA_DO_PutOne(QUORVA_HANDLE handle, int channel, int state) {
  return DriverCall(handle, cmd::kDoPutOne, channel, state);
}

int QUORVA_DO_PutAll(QUORVA_HANDLE handle, unsigned int states) {
  return DriverCall(handle, cmd::kDoPutAll, states);
}

int QUORVA_DO_PutAllEx(QUORVA_HANDLE handle, int group, unsigned int states) {
  return DriverCall(handle, cmd::kDoPutAllEx, group, states);
}

unsigned int QUORVA_DO_GetAllEx(QUORVA_HANDLE handle, int group) {
  return DriverRead(handle, cmd::kDoGetGroup, group);
}

unsigned int QUORVA_DO_GetAll(QUORVA_HANDLE handle) {
  return QUORVA_DO_GetAllEx(handle, 0);
}

// Only channels 0-63 exist: others would select a bit beyond the group's 32.
int QUORVA_DO_GetOne(QUORVA_HANDLE handle, int channel) {
  if (channel < 0 || channel >= kChannels) return 0;
  const int group = channel >= kChannelsPerGroup ? 1 : 0;
  const unsigned int states = QUORVA_DO_GetAllEx(handle, group);
  return static_cast<int>(states >> (channel - kChannelsPerGroup * group) & 1u);
}

}  // extern "C"
