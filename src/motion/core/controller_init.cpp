#include "motion/core/controller_init.h"

#include <span>

#include "device/board_table.h"
#include "device/commands.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"

namespace quorva {
namespace {

constexpr std::uint32_t kDefaultMode = 0x1000;
// Bits 18-19 of the signal configuration, set on controllers of version 1 and later.
constexpr std::uint32_t kNewControllerBits = 0xC0000;

// Low 16 bits of register 29, axis 0 first, and the axis count of each board.
struct SignalPattern {
  std::uint16_t deviceId;
  std::uint16_t axisCount;
  std::span<const std::uint16_t> words;  // empty: register 29 is not written
};

constexpr std::uint16_t kPatternA502[] = {0x8151, 0x8001};
constexpr std::uint16_t kPatternA504[] = {0x8151, 0x8001, 0x8151, 0x8001};
constexpr std::uint16_t kPatternA508[] = {0x8151, 0x8001, 0x8151, 0x8001,
                                          0x8151, 0x8001, 0x8151, 0x8001};
constexpr std::uint16_t kPatternE504[] = {0x4051, 0x0051, 0x0051, 0x0051};
constexpr std::uint16_t kPatternE508[] = {0x4051, 0x0051, 0x0051, 0x0051,
                                          0x4051, 0x0051, 0x0051, 0x0051};
constexpr std::uint16_t kPatternFE50[] = {0x9551, 0x9001, 0x9551, 0x9001,
                                          0x9551, 0x9001, 0x9551, 0x9001};
// Axes 0 and 4 of the 0xA534 carry 0x4051, the others 0x0051; bits 18-19 are always set.
constexpr std::uint16_t kPatternA534[] = {0x4051, 0x0051, 0x0051, 0x0051,
                                          0x4051, 0x0051, 0x0051, 0x0051};

constexpr SignalPattern kPatterns[] = {
    {0xA501, 4, {}},           {0xA502, 2, kPatternA502}, {0xA504, 4, kPatternA504},
    {0xA544, 4, kPatternA504}, {0xA508, 8, kPatternA508}, {0xE504, 4, kPatternE504},
    {0xE508, 8, kPatternE508}, {0xFE50, 8, kPatternFE50},
};

const SignalPattern* PatternOf(std::uint16_t deviceId) {
  for (const SignalPattern& p : kPatterns) {
    if (p.deviceId == deviceId) return &p;
  }
  return nullptr;
}

void WriteSignalConfig(Handle handle, int axis, std::uint32_t lowBits) {
  const std::uint32_t upper = AxisRegRead(handle, axis, reg::kSignalConfig) & 0xFFFF0000u;
  AxisRegWrite(handle, axis, reg::kSignalConfig, upper | lowBits);
}

// The 0xA534 reports its own axis count through the device detail request; a board has at
// most 8 axes, whatever the byte says.
int DriverReportedAxisCount(Handle handle) {
  DevInfo detail{};
  DriverCall(handle, cmd::kDeviceDetail, &detail);
  return detail.axes < kMaxAxes ? detail.axes : kMaxAxes;
}

void ConfigureSignals(Handle handle, std::uint16_t deviceId, MotionContext& context) {
  if (deviceId == kDriverDescribedBoard) {
    context.axisCount = static_cast<std::uint16_t>(DriverReportedAxisCount(handle));
    const int axes = context.axisCount > 6 ? 8 : context.axisCount > 4 ? 6 : 4;
    for (int axis = 0; axis < axes; ++axis) {
      WriteSignalConfig(handle, axis, kNewControllerBits | kPatternA534[axis]);
    }
    return;
  }
  const SignalPattern* pattern = PatternOf(deviceId);
  if (pattern == nullptr) return;  // unknown board: axis count and register 29 unchanged
  context.axisCount = pattern->axisCount;
  const std::uint32_t versionBits = context.deviceVersion >= 1 ? kNewControllerBits : 0;
  for (std::size_t axis = 0; axis < pattern->words.size(); ++axis) {
    WriteSignalConfig(handle, static_cast<int>(axis), versionBits | pattern->words[axis]);
  }
}

// Environment register 1: bit 10 set, bits 13-14 set, bit 12 and bit 31 clear.
std::uint32_t InitialEnvironment(std::uint32_t v) {
  v |= 1u << 10;
  v |= (1u << 13) | (1u << 14);
  v &= ~(1u << 12);
  v &= ~(1u << 31);
  return v;
}

}  // namespace

void InitController(Handle handle, std::uint16_t deviceId, MotionContext& context) {
  QUORVA_MC_GetDeviceVer(handle, &context.deviceVersion, nullptr);
  ConfigureSignals(handle, deviceId, context);
  for (int axis = 0; axis < context.axisCount; ++axis) {
    const std::uint32_t env = AxisRegRead(handle, axis, reg::kEnvironment1);
    AxisRegWrite(handle, axis, reg::kEnvironment1, InitialEnvironment(env));
    context.modeRegCache[axis] = kDefaultMode;
    AxisRegWrite(handle, axis, reg::kMode, kDefaultMode);
  }
}

}  // namespace quorva
