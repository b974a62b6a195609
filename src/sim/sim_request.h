// One request as the simulated driver decodes it: slots of the 100-byte packet, results
// written through the addresses the library placed in them.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

#include "device/driver_packet.h"

namespace quorva::sim {

struct SimBoard;

class SimRequest {
 public:
  SimRequest(const DriverPacket& packet, std::int64_t nowNs, std::span<SimBoard> boards = {})
      : packet_(packet), nowNs_(nowNs), boards_(boards) {}

  // Simulated time at which the driver handles the request, in nanoseconds.
  std::int64_t NowNs() const { return nowNs_; }
  // Every board of the bus, for the commands that reach another board (the bus is locked while
  // a request runs).
  std::span<SimBoard> Boards() const { return boards_; }

  std::uint32_t Code() const { return packet_.Code(); }
  std::uint64_t Slot(int slot) const { return packet_.Slot(static_cast<std::size_t>(slot)); }
  std::uint32_t U32(int slot) const { return static_cast<std::uint32_t>(Slot(slot)); }
  std::int32_t I32(int slot) const { return static_cast<std::int32_t>(U32(slot)); }
  void* Address(int slot) const { return reinterpret_cast<void*>(Slot(slot)); }

  // Stores `value` at the address in `slot`; a null address stores nothing.
  template <typename T>
  void Store(int slot, const T& value) const {
    if (void* target = Address(slot)) std::memcpy(target, &value, sizeof value);
  }

 private:
  const DriverPacket& packet_;
  std::int64_t nowNs_;
  std::span<SimBoard> boards_;
};

}  // namespace quorva::sim
