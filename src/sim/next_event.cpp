#include "sim/next_event.h"

#include <cmath>

namespace quorva::sim {

std::optional<std::int64_t> MoveEndNs(const SimAxis& axis) {
  if (FollowsPulser(axis)) return PulserEndNs(axis);
  const AxisMotion& m = axis.motion;
  constexpr double kFarNs = 1e18;  // some 30 years: never reached, and far from overflow
  const double endNs = std::ceil(m.plan.EndTime() * 1e9);
  if (m.phase != AxisMotion::Phase::kRunning || !(endNs < kFarNs)) return std::nullopt;
  return m.planOriginNs + static_cast<std::int64_t>(endNs) + 1;
}

std::optional<std::int64_t> NextEventNs(std::span<const SimBoard> boards, std::int64_t nowNs) {
  std::optional<std::int64_t> next;
  const auto consider = [&](std::int64_t atNs) {
    if (atNs > nowNs && (!next || atNs < *next)) next = atNs;
  };
  for (const SimBoard& board : boards) {
    for (const SimAxis& axis : board.axes) {
      if (const auto end = MoveEndNs(axis)) consider(*end);
    }
    if (!board.latchPulses.empty()) consider(board.latchPulses.front().atNs);
    for (const OutputPulseEnd& pulse : board.list.pulseEnds)
      consider(pulse.atNs);
  }
  return next;
}

}  // namespace quorva::sim
