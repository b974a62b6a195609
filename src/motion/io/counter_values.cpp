#include "motion/io/counter_values.h"

#include <cmath>
#include <limits>

namespace quorva {
namespace {

int TruncateWithin(double value, double limit) {
  if (std::isnan(value)) return 0;
  if (value <= -limit) return static_cast<int>(-limit);
  if (value >= limit) return static_cast<int>(limit);
  return static_cast<int>(value);
}

}  // namespace

int ClampToCounter(double pulses) {
  return TruncateWithin(pulses, kCounterLimit);
}

int SignExtend28(std::uint32_t word) {
  const auto low = static_cast<std::int32_t>(word & 0x0FFFFFFFu);
  return (word & 0x08000000u) != 0 ? low - 0x10000000 : low;
}

int SignExtend16(std::uint32_t word) {
  return static_cast<std::int16_t>(word & 0xFFFFu);
}

int TruncateToInt(double count) {
  // −2^31 is the one limit whose magnitude is not an int; it is still exact as a double.
  if (count <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return TruncateWithin(count, std::numeric_limits<int>::max());
}

}  // namespace quorva
