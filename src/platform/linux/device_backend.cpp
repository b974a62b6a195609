// The kernel driver on Linux: board N is the node varndasN in $QUORVA_DEVICE_DIR (default
// /dev); every request is one ioctl with the address of the 100-byte packet.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/backend.h"

namespace quorva {
namespace {

// A descriptor may be 0, so handles are descriptors shifted by one: never null, never -1.
QUORVA_HANDLE HandleOf(int fd) {
  return reinterpret_cast<QUORVA_HANDLE>(static_cast<std::uintptr_t>(fd) + 1);
}
int DescriptorOf(QUORVA_HANDLE handle) {
  return static_cast<int>(reinterpret_cast<std::uintptr_t>(handle) - 1);
}

std::string NodePath(int index) {
  const char* dir = std::getenv("QUORVA_DEVICE_DIR");
  std::string path = (dir != nullptr && *dir != '\0') ? dir : "/dev";
  return path + "/varndas" + std::to_string(index);
}

QUORVA_HANDLE OpenNode(int index, std::uint32_t* error) {
  const int fd = ::open(NodePath(index).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    if (error != nullptr) *error = static_cast<std::uint32_t>(errno);
    return QUORVA_INVALID_HANDLE;
  }
  if (error != nullptr) *error = 0;
  return HandleOf(fd);
}

int SendIoctl(QUORVA_HANDLE handle, const DriverPacket& packet) {
  DriverPacket request = packet;  // the driver may write into the buffer it is handed
  return ::ioctl(DescriptorOf(handle), kDeviceControlCode, request.bytes.data()) == 0 ? 1 : 0;
}

void CloseNode(QUORVA_HANDLE handle) {
  ::close(DescriptorOf(handle));
}

constexpr DriverBackend kDeviceBackend{"device", OpenNode, SendIoctl, CloseNode,
                                       nullptr,  nullptr,  nullptr};

}  // namespace

const DriverBackend& SystemDriverBackend() {
  return kDeviceBackend;
}

}  // namespace quorva
