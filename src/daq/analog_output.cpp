// Analog output: one 12-bit code per call.
#include "daq/volt_codes.h"
#include "device/commands.h"
#include "device/device_open.h"

using namespace quorva;
using namespace quorva::daq;

extern "C" {

int QUORVA_DA_Out(QUORVA_HANDLE handle, int channel, float volts) {
  if (!IsOpenDeviceInterface(handle)) return 0;
  DriverCall(handle, cmd::kDaOut, channel, AnalogOutputCode(volts));
  return 1;
}

}  // extern "C"
