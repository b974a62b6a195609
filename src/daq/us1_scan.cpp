// US1 scan control: one interleaved ring for all channels of the scan.
#include "daq/scan_engines.h"
#include "daq/scan_geometry.h"
#include "device/commands.h"
#include "device/device_open.h"
#include "device/trace.h"

using namespace quorva;
using namespace quorva::daq;

namespace quorva::daq {

std::uint16_t* Us1Ring(Handle handle) {
  std::uint64_t address = 0;
  DriverCall(handle, cmd::kUs1Buffer, &address);
  return reinterpret_cast<std::uint16_t*>(static_cast<std::uintptr_t>(address));
}

std::uint32_t Us1LastCount(Handle handle) {
  return DriverRead(handle, cmd::kUs1Count);
}

}  // namespace quorva::daq

extern "C" {

int QUORVA_US1_Start(QUORVA_HANDLE handle, int channelCount, const int* channelList,
                     int scanFrequency, int arraySize, int mode) {
  std::int32_t code = 0;
  DriverCall(handle, cmd::kUs1Start, channelCount,
             DriverArg::Wide(reinterpret_cast<std::uintptr_t>(channelList)), scanFrequency,
             arraySize, mode, &code);
  if (code < 0) StoreLastError(code);
  return code;
}

int QUORVA_US1_Stop(QUORVA_HANDLE handle, int option) {
  return DriverCall(handle, cmd::kUs1Stop, option);
}

int QUORVA_US1_ChangeScanFreq(QUORVA_HANDLE handle, int scanFrequency) {
  return static_cast<int>(DriverRead(handle, cmd::kUs1ChangeFrequency, scanFrequency));
}

int QUORVA_US1_ResetCount(QUORVA_HANDLE handle) {
  return DriverCall(handle, cmd::kUs1ResetCount);
}

unsigned short* QUORVA_US1_GetBuffer(QUORVA_HANDLE handle) {
  return Us1Ring(handle);
}

int QUORVA_US1_ReleaseBuf(QUORVA_HANDLE handle) {
  if (!IsOpenDeviceInterface(handle)) return 0;
  DriverCall(handle, cmd::kUs1Release);
  return 1;
}

unsigned int QUORVA_US1_CurCount(QUORVA_HANDLE handle) {
  return Us1LastCount(handle);
}

// 0 for a handle that is no board: there is no ring to index.
int QUORVA_US1_SBPos(QUORVA_HANDLE handle, int channelIndex, int scan) {
  if (!IsOpenDeviceInterface(handle)) return 0;
  const ScanGeometry geometry = FetchGeometry(handle, cmd::kUs1Geometry, false);
  return static_cast<int>(static_cast<std::uint64_t>(channelIndex) +
                          RingSlot(scan, geometry.arraySize) * geometry.channelCount);
}

}  // extern "C"
