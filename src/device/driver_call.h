// DriverCall: one synchronous request to the board's driver.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "VarnDasQv.h"
#include "device/driver_packet.h"

namespace quorva {

using Handle = QUORVA_HANDLE;

// Null and all-ones mean that no board is open.
inline bool IsNoDevice(Handle handle) {
  return handle == nullptr || handle == QUORVA_INVALID_HANDLE;
}

// One argument of a request. A 32-bit value takes the low half of its slot (upper half zero);
// an address or a 64-bit value takes the whole slot. `packed` is what a 32-bit caller's
// argument list holds at this position: one 4-byte item, or two for a 64-bit value.
struct DriverArg {
  std::uint64_t slot;
  std::uint32_t items[2];
  int itemCount;

  constexpr DriverArg(std::int32_t v) : DriverArg(static_cast<std::uint32_t>(v)) {}
  constexpr DriverArg(std::uint32_t v) : slot(v), items{v, 0}, itemCount(1) {}
  DriverArg(const volatile void* address)
      : DriverArg(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address))) {
    slot = reinterpret_cast<std::uintptr_t>(address);
  }
  constexpr DriverArg(std::nullptr_t) : DriverArg(0u) {}
  DriverArg(double) = delete;
  DriverArg(float) = delete;
  DriverArg(bool) = delete;

  // A 64-bit value (not an address) in one slot.
  static constexpr DriverArg Wide(std::uint64_t v) {
    DriverArg arg(0u);
    arg.slot = v;
    arg.items[0] = static_cast<std::uint32_t>(v);
    arg.items[1] = static_cast<std::uint32_t>(v >> 32);
    arg.itemCount = 2;
    return arg;
  }
};

// Builds the request for `code` and `args` and sends it through the active backend.
// Returns the success flag, or 0 without sending for a handle that is not an open board (null,
// all ones, closed, or never opened).
int DriverSend(Handle handle, std::uint32_t code, std::span<const DriverArg> args);

template <typename... Args>
int DriverCall(Handle handle, std::uint32_t code, Args... args) {
  static_assert(sizeof...(Args) <= kMaxArguments, "a request carries at most 11 arguments");
  const std::array<DriverArg, sizeof...(Args)> packed{DriverArg(args)...};
  return DriverSend(handle, code, packed);
}

// Sends a request whose last slot is the address of a 32-bit result and returns the result,
// 0 when the driver stored nothing.
template <typename... Args>
std::uint32_t DriverRead(Handle handle, std::uint32_t code, Args... args) {
  std::uint32_t value = 0;
  DriverCall(handle, code, args..., &value);
  return value;
}

// One pass of a wait in which the library is blocked until the driver has finished a motion:
// the backend may let its time pass (the simulated driver on its virtual clock jumps to its
// next event). The caller then yields or pumps its messages as before.
void DriverAwaitProgress();

// The driver's time in nanoseconds (see DriverBackend::clockNs), for waits that give up after a
// while: a timeout measured by it is as long on a slow host as on a fast one.
std::int64_t DriverClockNs();

// Request layouts. The native layout puts each argument into its own slot; the layout of a
// 32-bit process on 64-bit Windows widens its packed 4-byte items into slots.
DriverPacket PackNative(std::uint32_t code, std::span<const DriverArg> args);
DriverPacket PackWidened(std::uint32_t code, std::span<const DriverArg> args);

// Widens 50 packed 4-byte items into a 400-byte buffer of 8-byte slots with zero upper halves.
std::array<std::uint8_t, 400> WidenPackedItems(const std::array<std::uint32_t, 50>& items);

// 1 when this is a 32-bit process on 64-bit Windows, probed once and cached.
int IsWow64Process32();
// Tests force the probe's answer (-1 probes again on next use).
void OverrideWow64Probe(int value);

}  // namespace quorva
