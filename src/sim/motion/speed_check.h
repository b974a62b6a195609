// The driver's measured-speed check (commands 690, 700 and 710).
//
// Model: command 690 starts the check with an interval of 10 to 5000 ms (other values are
// limited into that range); from then on, at every whole number of intervals, the driver takes
// each axis's actual counter (register 36). Command 710 reports the difference of the last two
// samples of the axis, in counts, and of their times, in tenths of a millisecond; both are 0
// until the first interval has passed and after command 700. A sample is taken at its instant
// whenever the axis's motion since then is known in closed form (it is, unless the move was
// changed in between); otherwise it is taken with the time of the first request after it.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace quorva::sim {

struct SimBoard;

struct SpeedSample {
  std::int64_t count = 0;
  std::int64_t atNs = 0;
};

struct SpeedCheck {
  static constexpr int kAxes = 8;

  bool enabled = false;
  std::int64_t intervalNs = 0;
  std::int64_t sinceNs = 0;
  std::int64_t sampled = 0;  // intervals passed at the last sample
  std::array<SpeedSample, kAxes> previous{};
  std::array<SpeedSample, kAxes> last{};
};

// Takes the samples whose instants have passed by `nowNs`.
void CatchUpSpeedChecks(std::span<SimBoard> boards, std::int64_t nowNs);

}  // namespace quorva::sim
