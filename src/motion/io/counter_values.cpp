#include "motion/io/counter_values.h"

#include <algorithm>
#include <cmath>

namespace quorva {
int ClampToCounter(double pulses) {
  if (std::isnan(pulses)) return 0;
  constexpr double kLimit = kCounterLimit;
  return static_cast<int>(std::clamp(pulses, -kLimit, kLimit));
}

int SignExtend28(std::uint32_t word) {
  const auto low = static_cast<std::int32_t>(word & 0x0FFFFFFFu);
  return (word & 0x08000000u) != 0 ? low - 0x10000000 : low;
}

int SignExtend16(std::uint32_t word) {
  return static_cast<std::int16_t>(word & 0xFFFFu);
}

}  // namespace quorva
