// US2 scan control: one ring per channel index, filled by transfers of 4096 scans.
#include "daq/scan_engines.h"
#include "daq/scan_geometry.h"
#include "daq/volt_codes.h"
#include "device/commands.h"
#include "device/device_open.h"

using namespace quorva;
using namespace quorva::daq;

namespace {

// The scan frequency the board runs at for a requested frequency and the clock divider the
// driver chose. 0.0 when the driver reported no divider.
double ActualScanFrequency(int requested, std::uint32_t divider) {
  if (requested <= 5'000'000) return divider == 0 ? 0.0 : 10'000'000.0 / divider;
  if (requested > 10'000'000) return 20'000'000.0;
  return 10'000'000.0;
}

}  // namespace

namespace quorva::daq {

std::uint16_t* Us2Ring(Handle handle, int channelIndex) {
  std::uint64_t address = 0;
  DriverCall(handle, cmd::kUs2Buffer, channelIndex, &address);
  return reinterpret_cast<std::uint16_t*>(static_cast<std::uintptr_t>(address));
}

std::uint32_t Us2TransferCount(Handle handle) {
  return DriverRead(handle, cmd::kUs2TransferCount);
}

}  // namespace quorva::daq

extern "C" {

int QUORVA_US2_SetTriggerEvent(QUORVA_HANDLE handle, int value1, int value2, int value3,
                               float levelVolts, float percentage) {
  return DriverCall(handle, cmd::kUs2Trigger, value1, value2, value3, TriggerLevelCode(levelVolts),
                    TriggerPercentCode(percentage));
}

double QUORVA_US2_Start(QUORVA_HANDLE handle, int channelCount, const int* channelList,
                        int scanFrequency, unsigned short mode, int scanCount) {
  std::uint32_t divider = 0;
  std::int32_t error = 0;
  const int sent = DriverCall(handle, cmd::kUs2Start, channelCount,
                              DriverArg::Wide(reinterpret_cast<std::uintptr_t>(channelList)),
                              scanFrequency, std::uint32_t{mode}, scanCount, &divider, &error);
  if (!sent || error != 0) return 0.0;
  return ActualScanFrequency(scanFrequency, divider);
}

int QUORVA_US2_Pause(QUORVA_HANDLE handle) {
  return DriverCall(handle, cmd::kUs2Pause);
}

int QUORVA_US2_Resume(QUORVA_HANDLE handle) {
  return DriverCall(handle, cmd::kUs2Resume);
}

double QUORVA_US2_ChangeScanFreq(QUORVA_HANDLE handle, int scanFrequency) {
  std::uint32_t divider = 0;
  if (!DriverCall(handle, cmd::kUs2ChangeFrequency, scanFrequency, &divider)) return 0.0;
  return ActualScanFrequency(scanFrequency, divider);
}

int QUORVA_US2_ChangeMaxScan(QUORVA_HANDLE handle, int maxScan) {
  return DriverCall(handle, cmd::kUs2ChangeMaxScan, maxScan);
}

int QUORVA_US2_Stop(QUORVA_HANDLE handle, int option) {
  return DriverCall(handle, cmd::kUs2Stop, option);
}

unsigned short* QUORVA_US2_GetBuffer(QUORVA_HANDLE handle, int channelIndex) {
  return Us2Ring(handle, channelIndex);
}

int QUORVA_US2_ReleaseBuf(QUORVA_HANDLE handle) {
  if (!IsOpenDeviceInterface(handle)) return 0;
  DriverCall(handle, cmd::kUs2Release);
  return 1;
}

unsigned int QUORVA_US2_DmaCount(QUORVA_HANDLE handle) {
  return Us2TransferCount(handle);
}

int QUORVA_US2_IsBufFull(QUORVA_HANDLE handle) {
  return static_cast<int>(DriverRead(handle, cmd::kUs2BufferFull));
}

int QUORVA_US2_SBPos(QUORVA_HANDLE handle, int scan) {
  const ScanGeometry geometry = FetchGeometry(handle, cmd::kUs2Geometry, false);
  return static_cast<int>(RingSlot(scan, geometry.arraySize));
}

}  // extern "C"
