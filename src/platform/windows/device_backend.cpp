// The kernel driver on Windows: board N is the N-th present instance of the driver's device
// interface, opened through its interface path; every request is one DeviceIoControl with the
// 100-byte packet as input.
#include <windows.h>
// windows.h first: setupapi.h relies on its types.
#include <setupapi.h>

#include <cstdint>
#include <memory>
#include <new>

#include "platform/backend.h"

namespace quorva {
namespace {

// The device-interface class that the board's driver registers.
constexpr GUID kInterfaceClass = {
    0x34737906, 0x0AC2, 0x45B0, {0x82, 0xB1, 0x43, 0xA0, 0xCF, 0x5A, 0xDB, 0xC6}};
constexpr DWORD kPresentInterfaces = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;  // 0x12

// The detail record's size field holds the size of its fixed part: 8 in a 64-bit process.
#ifdef _WIN64
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 8);
#endif

// The device-information set of the present interfaces, destroyed with this object.
class InterfaceSet {
 public:
  InterfaceSet()
      : set_(SetupDiGetClassDevsA(&kInterfaceClass, nullptr, nullptr, kPresentInterfaces)) {}
  ~InterfaceSet() {
    if (valid()) SetupDiDestroyDeviceInfoList(set_);
  }
  InterfaceSet(const InterfaceSet&) = delete;
  InterfaceSet& operator=(const InterfaceSet&) = delete;

  bool valid() const { return set_ != INVALID_HANDLE_VALUE; }
  HDEVINFO get() const { return set_; }

 private:
  HDEVINFO set_;
};

struct FreeDetail {
  void operator()(SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail) const {
    ::operator delete(detail, std::nothrow);
  }
};
using DetailRecord = std::unique_ptr<SP_DEVICE_INTERFACE_DETAIL_DATA_A, FreeDetail>;

// The detail record (holding the device path) of the interface `data`, or null with the
// Windows error code in `error`. The first call, without a buffer, only learns the size.
DetailRecord InterfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data, std::uint32_t* error) {
  DWORD size = 0;
  if (SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &size, nullptr)) {
    *error = ERROR_INVALID_PARAMETER;  // a record cannot fit in no buffer at all
    return nullptr;
  }
  if (const DWORD code = GetLastError(); code != ERROR_INSUFFICIENT_BUFFER) {
    *error = code;
    return nullptr;
  }
  // Never smaller than the fixed part, whose size field is written before the call.
  const DWORD bytes = size > sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)
                          ? size
                          : sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  DetailRecord detail(
      static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(::operator new(bytes, std::nothrow)));
  if (!detail) {
    *error = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!SetupDiGetDeviceInterfaceDetailA(set, &data, detail.get(), bytes, nullptr, nullptr)) {
    *error = GetLastError();
    return nullptr;
  }
  return detail;
}

QUORVA_HANDLE OpenInterface(int index, std::uint32_t* error) {
  *error = ERROR_INVALID_PARAMETER;
  const InterfaceSet set;
  if (!set.valid()) {
    *error = GetLastError();
    return QUORVA_INVALID_HANDLE;
  }
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  // Running past the last interface fails with ERROR_NO_MORE_ITEMS: how enumeration ends.
  if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &kInterfaceClass, static_cast<DWORD>(index),
                                   &data)) {
    *error = GetLastError();
    return QUORVA_INVALID_HANDLE;
  }
  const DetailRecord detail = InterfaceDetail(set.get(), data, error);
  if (!detail) return QUORVA_INVALID_HANDLE;
  const HANDLE device = CreateFileA(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return QUORVA_INVALID_HANDLE;
  }
  *error = 0;
  return device;
}

// The driver answers through the addresses in the packet; the 4-byte reply buffer and the
// returned byte count are required by the call but carry nothing.
int SendDeviceControl(QUORVA_HANDLE handle, const DriverPacket& packet) {
  DriverPacket request = packet;  // the driver may write into the buffer it is handed
  std::uint32_t reply = 0;
  DWORD returned = 0;
  const BOOL accepted = DeviceIoControl(handle, kDeviceControlCode, request.bytes.data(),
                                        kPacketBytes, &reply, sizeof reply, &returned, nullptr);
  return accepted ? 1 : 0;
}

void CloseInterface(QUORVA_HANDLE handle) {
  CloseHandle(handle);
}

constexpr DriverBackend kDeviceBackend{
    "device", OpenInterface, SendDeviceControl, CloseInterface, nullptr, nullptr, nullptr};

}  // namespace

const DriverBackend& SystemDriverBackend() {
  return kDeviceBackend;
}

}  // namespace quorva
