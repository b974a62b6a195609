#include <atomic>
#include <chrono>

#include "device/device_open.h"
#include "device/driver_call.h"
#include "platform/backend.h"
#include "platform/platform.h"

namespace quorva {
namespace {

std::atomic<int> g_wow64State{-1};

}  // namespace

DriverPacket PackNative(std::uint32_t code, std::span<const DriverArg> args) {
  DriverPacket packet;
  packet.SetSlot(0, code);
  for (std::size_t i = 0; i < args.size(); ++i)
    packet.SetSlot(i + 1, args[i].slot);
  return packet;
}

std::array<std::uint8_t, 400> WidenPackedItems(const std::array<std::uint32_t, 50>& items) {
  std::array<std::uint8_t, 400> widened{};
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::memcpy(widened.data() + kSlotBytes * i, &items[i], sizeof(std::uint32_t));
  }
  return widened;
}

DriverPacket PackWidened(std::uint32_t code, std::span<const DriverArg> args) {
  std::array<std::uint32_t, 50> items{};
  std::size_t count = 0;
  items[count++] = code;
  for (const DriverArg& arg : args) {
    for (int k = 0; k < arg.itemCount && count < items.size(); ++k)
      items[count++] = arg.items[k];
  }
  const auto widened = WidenPackedItems(items);
  DriverPacket packet;
  std::memcpy(packet.bytes.data(), widened.data(), kPacketBytes);
  return packet;
}

int IsWow64Process32() {
  int state = g_wow64State.load(std::memory_order_relaxed);
  if (state < 0) {
    state = platform::ProbeWow64();
    g_wow64State.store(state, std::memory_order_relaxed);
  }
  return state;
}

void OverrideWow64Probe(int value) {
  g_wow64State.store(value, std::memory_order_relaxed);
}

int DriverSend(Handle handle, std::uint32_t code, std::span<const DriverArg> args) {
  if (IsNoDevice(handle) || !IsOpenDeviceInterface(handle)) return 0;
  const DriverPacket packet =
      IsWow64Process32() == 1 ? PackWidened(code, args) : PackNative(code, args);
  return ActiveBackend().send(handle, packet);
}

void DriverAwaitProgress() {
  const DriverBackend& backend = ActiveBackend();
  if (backend.awaitProgress != nullptr) backend.awaitProgress();
}

std::int64_t DriverClockNs() {
  const DriverBackend& backend = ActiveBackend();
  if (backend.clockNs != nullptr) return backend.clockNs();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace quorva
