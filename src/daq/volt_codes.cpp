#include "daq/volt_codes.h"

#include <cmath>
#include <limits>

#include "device/commands.h"

namespace quorva::daq {
namespace {

// Truncates toward zero and limits to [low, high]; NaN gives `low`.
std::int64_t TruncateInto(double value, std::int64_t low, std::int64_t high) {
  if (!(value >= static_cast<double>(low))) return low;
  if (value >= static_cast<double>(high)) return high;
  return static_cast<std::int64_t>(value);
}

std::uint32_t TruncateToCode(double value, std::uint32_t highest) {
  return static_cast<std::uint32_t>(TruncateInto(value, 0, highest));
}

}  // namespace

ChannelRange FetchChannelRange(Handle handle, std::uint32_t channel) {
  ChannelRange range;
  DriverCall(handle, cmd::kAdRange, channel, &range.dmin, &range.dmax, &range.vmin, &range.vmax);
  return range;
}

VoltScale::VoltScale(const ChannelRange& range)
    : dmin(static_cast<std::uint32_t>(range.dmin)), vmin(static_cast<float>(range.vmin)) {
  const auto digits = static_cast<std::int32_t>(static_cast<std::uint32_t>(range.dmax) -
                                                static_cast<std::uint32_t>(range.dmin));
  const auto volts = static_cast<std::int32_t>(static_cast<std::uint32_t>(range.vmax) -
                                               static_cast<std::uint32_t>(range.vmin));
  if (digits != 0) {
    span = static_cast<float>(volts);
    divisor = static_cast<float>(digits);
  }
}

std::int32_t TruncateToInt(float value) {
  if (std::isnan(value)) return 0;
  return static_cast<std::int32_t>(TruncateInto(value, std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t AnalogOutputCode(float volts) {
  return TruncateToCode(volts * 204.75f + 2047.5f, 4095);
}

std::uint32_t TriggerLevelCode(float volts) {
  const float scaled = (volts + 10.0f) * 200.95f;
  return TruncateToCode(static_cast<double>(scaled) + 0.5, 0xFFFF);
}

std::uint32_t TriggerPercentCode(float percentage) {
  return TruncateToCode(4096.0f * percentage / 100.0f, 0xFFFF);
}

}  // namespace quorva::daq
