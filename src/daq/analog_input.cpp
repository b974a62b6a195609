// Single analog conversions and the channel settings they depend on.
#include "daq/volt_codes.h"
#include "device/commands.h"
#include "device/device_open.h"

using namespace quorva;
using namespace quorva::daq;

extern "C" {

int QUORVA_AD_SetRange(QUORVA_HANDLE handle, int channel, float lowerVolts, float upperVolts) {
  if (!IsOpenDeviceInterface(handle)) return 0;
  DriverCall(handle, cmd::kAdSetRange, channel, TruncateToInt(lowerVolts),
             TruncateToInt(upperVolts));
  return 1;
}

int QUORVA_AD_SetInputType(QUORVA_HANDLE handle, int inputType) {
  return DriverCall(handle, cmd::kAdSetInputType, inputType);
}

int QUORVA_AD_GetDigit(QUORVA_HANDLE handle, int channel) {
  return static_cast<int>(DriverRead(handle, cmd::kAdConvert, channel));
}

float QUORVA_AD_GetVolt(QUORVA_HANDLE handle, int channel) {
  const std::uint32_t digit = DriverRead(handle, cmd::kAdConvert, channel);
  const VoltScale scale(FetchChannelRange(handle, static_cast<std::uint32_t>(channel)));
  return scale(digit);
}

}  // extern "C"
