// Conversions between volts and the codes of the acquisition boards: input digits to volts with
// a channel's range, volts to analog output and trigger codes. All in single precision.
#pragma once

#include <cstdint>

#include "device/driver_call.h"

namespace quorva::daq {

// A channel's conversion range as the driver reports it: digit limits, then volt limits.
struct ChannelRange {
  std::int32_t dmin = 0;
  std::int32_t dmax = 0;
  std::int32_t vmin = 0;
  std::int32_t vmax = 0;
};

// The range of physical channel `channel`; all zero when the driver stores nothing.
ChannelRange FetchChannelRange(Handle handle, std::uint32_t channel);

// volts = (digit - dmin) * (vmax - vmin) / (dmax - dmin) + vmin, the differences taken as
// 32-bit integers and everything else in single precision. The one definition of the formula:
// scalar and vectorised conversions both use it, so they agree to the bit.
inline float VoltsOfDigit(std::uint32_t digit, std::uint32_t dmin, float span, float divisor,
                          float vmin) {
  return static_cast<float>(static_cast<std::int32_t>(digit - dmin)) * span / divisor + vmin;
}

// The single-precision operands of one channel's conversion. A range whose digit limits are
// equal converts every digit to `vmin` rather than dividing by zero.
struct VoltScale {
  std::uint32_t dmin = 0;
  float span = 0;
  float divisor = 1;
  float vmin = 0;

  VoltScale() = default;
  explicit VoltScale(const ChannelRange& range);
  float operator()(std::uint32_t digit) const {
    return VoltsOfDigit(digit, dmin, span, divisor, vmin);
  }
};

// A float truncated toward zero into the int range (NaN gives 0).
std::int32_t TruncateToInt(float value);

// 12-bit analog output code of `volts`: truncate(v * 204.75 + 2047.5), limited to 0-4095.
std::uint32_t AnalogOutputCode(float volts);

// 16-bit trigger level code: truncate((v + 10) * 200.95 + 0.5), the product in single
// precision, limited to 0-65535.
std::uint32_t TriggerLevelCode(float volts);
// 16-bit trigger percentage code: truncate(4096 * p / 100) in single precision, limited to
// 0-65535.
std::uint32_t TriggerPercentCode(float percentage);

}  // namespace quorva::daq
