// Conversions of the double-precision speed arithmetic into register values. Every value that
// is not finite or lies outside the target type is limited to the nearest value the type holds
// (NaN becomes 0), so no input can reach an undefined conversion.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace quorva {

// Step counts of the start- and high-speed registers.
inline constexpr double kMinSpeedSteps = 1.0;
inline constexpr double kMaxSpeedSteps = 65535.0;
// Speed magnifications the profile computation writes.
inline constexpr std::uint32_t kMinMagnification = 1;
inline constexpr std::uint32_t kMaxMagnification = 4095;

// Toward zero through a 64-bit integer, keeping the low 32 bits as an unsigned value: -1.5
// gives 0xFFFFFFFF. Beyond the 64-bit range the value is limited to it first.
inline std::uint32_t TruncLow32(double x) {
  if (std::isnan(x)) return 0;
  // 2^63 is the first double above the signed 64-bit range.
  constexpr double kLimit = 9223372036854775808.0;
  std::int64_t wide = 0;
  if (x >= kLimit) {
    wide = std::numeric_limits<std::int64_t>::max();
  } else if (x < -kLimit) {
    wide = std::numeric_limits<std::int64_t>::min();
  } else {
    wide = static_cast<std::int64_t>(x);
  }
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide));
}

// Toward zero to a signed 32-bit integer, limited to its range.
inline std::int32_t Trunc32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(x);
}

// A speed in pulses per second that the speed setters store: finite and not negative. They
// ignore any other value and keep the previous setting, since a negative speed would wrap to
// the fastest step count of its register.
inline bool SpeedAccepted(double pps) {
  return std::isfinite(pps) && pps >= 0;
}

// Limits a step count into the speed-register range 1 .. 65535.
inline double SpeedStepsLimit(double steps) {
  if (!(steps >= kMinSpeedSteps)) return kMinSpeedSteps;  // NaN too
  return steps > kMaxSpeedSteps ? kMaxSpeedSteps : steps;
}

}  // namespace quorva
