// Board-level raw access: resources, EEPROM, bus selection and 32-bit memory and I/O words.
#include "device/commands.h"
#include "device/driver_call.h"

using namespace quorva;

extern "C" {

int QUORVA_GetResources(QUORVA_HANDLE handle, unsigned int* resource1, unsigned int* resource2,
                        unsigned int value3, unsigned int* resource4, unsigned int value5) {
  return DriverCall(handle, cmd::kGetResources, resource1, resource2, value3, resource4, value5);
}

int QUORVA_Write8402(QUORVA_HANDLE handle, unsigned int value1, unsigned int value2,
                     unsigned int value3) {
  return DriverCall(handle, cmd::kWrite8402, value1, value2, value3);
}

int QUORVA_WriteEEPR(QUORVA_HANDLE handle, unsigned int address, unsigned int value) {
  return DriverCall(handle, cmd::kWriteEeprom, address, value);
}

unsigned int QUORVA_ReadEEPR(QUORVA_HANDLE handle, unsigned int address) {
  return DriverRead(handle, cmd::kReadEeprom, address);
}

int QUORVA_SetVarnBus(QUORVA_HANDLE handle, unsigned int value1, unsigned int value2) {
  return DriverCall(handle, cmd::kSetBus, value1, value2);
}

int QUORVA_WriteMemPortDW(QUORVA_HANDLE handle, int space, unsigned int offset,
                          unsigned int value) {
  return DriverCall(handle, cmd::kWriteMemory, space, offset, value);
}

unsigned int QUORVA_ReadMemPortDW(QUORVA_HANDLE handle, int space, unsigned int offset) {
  return DriverRead(handle, cmd::kReadMemory, space, offset);
}

int QUORVA_Outpdw(QUORVA_HANDLE handle, int space, unsigned int offset, unsigned int value) {
  return DriverCall(handle, cmd::kWriteIo, space, offset, value);
}

unsigned int QUORVA_Inpdw(QUORVA_HANDLE handle, int space, unsigned int offset) {
  return DriverRead(handle, cmd::kReadIo, space, offset);
}

}  // extern "C"
