// The 100-byte driver request: 8-byte little-endian slots, slot 0 the command code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quorva {

inline constexpr std::size_t kPacketBytes = 100;
inline constexpr std::size_t kSlotBytes = 8;
inline constexpr std::size_t kMaxArguments = 11;
inline constexpr std::uint32_t kDeviceControlCode = 0x222000;

struct DriverPacket {
  std::array<std::uint8_t, kPacketBytes> bytes{};

  void SetSlot(std::size_t slot, std::uint64_t value) {
    std::memcpy(bytes.data() + slot * kSlotBytes, &value, kSlotBytes);
  }
  std::uint64_t Slot(std::size_t slot) const {
    std::uint64_t value = 0;
    std::memcpy(&value, bytes.data() + slot * kSlotBytes, kSlotBytes);
    return value;
  }
  std::uint32_t Code() const { return static_cast<std::uint32_t>(Slot(0)); }
};

}  // namespace quorva
