// Serial I/O modules: remote 16-bit modules read and written one byte at a time.
#include "device/commands.h"
#include "device/driver_call.h"

using namespace quorva;

namespace {

int WriteByte(QUORVA_HANDLE handle, std::uint32_t code, int module, unsigned int value) {
  std::uint32_t success = 0;
  DriverCall(handle, code, module, value & 0xFFu, &success);
  return static_cast<int>(success);
}

}  // namespace

extern "C" {

int QUORVA_SDIO_InitComm(QUORVA_HANDLE handle) {
  return DriverCall(handle, cmd::kSdioInit);
}

int QUORVA_SDIO_CheckModule(QUORVA_HANDLE handle, int module) {
  return static_cast<int>(DriverRead(handle, cmd::kSdioCheckModule, module));
}

int QUORVA_SDIO_SetDioUsage(QUORVA_HANDLE handle, int value1, int value2) {
  return static_cast<int>(DriverRead(handle, cmd::kSdioSetUsage, value1, value2));
}

int QUORVA_SDIO_ReadLowByte(QUORVA_HANDLE handle, int module) {
  return static_cast<int>(DriverRead(handle, cmd::kSdioReadLow, module));
}

int QUORVA_SDIO_ReadHighByte(QUORVA_HANDLE handle, int module) {
  return static_cast<int>(DriverRead(handle, cmd::kSdioReadHigh, module));
}

int QUORVA_SDIO_ReadWord(QUORVA_HANDLE handle, int module) {
  const std::uint32_t high = DriverRead(handle, cmd::kSdioReadHigh, module);
  const std::uint32_t low = DriverRead(handle, cmd::kSdioReadLow, module);
  return static_cast<std::uint16_t>(high * 256 + low);
}

int QUORVA_SDIO_WriteLowByte(QUORVA_HANDLE handle, int module, int value) {
  return WriteByte(handle, cmd::kSdioWriteLow, module, static_cast<unsigned int>(value));
}

int QUORVA_SDIO_WriteHighByte(QUORVA_HANDLE handle, int module, int value) {
  return WriteByte(handle, cmd::kSdioWriteHigh, module, static_cast<unsigned int>(value));
}

int QUORVA_SDIO_WriteWord(QUORVA_HANDLE handle, int module, int word) {
  const auto bits = static_cast<unsigned int>(word);
  WriteByte(handle, cmd::kSdioWriteLow, module, bits);
  return WriteByte(handle, cmd::kSdioWriteHigh, module, bits >> 8);
}

}  // extern "C"
