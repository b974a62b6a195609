#include "sim/motion/pulser_input.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "sim/motion/axis_controller.h"
#include "sim/sim_board.h"

namespace quorva::sim {
namespace {

namespace code {
inline constexpr std::uint32_t kContinuous = 0x01;
inline constexpr std::uint32_t kRelative = 0x51;
inline constexpr std::uint32_t kAbsolute = 0x52;
inline constexpr std::uint32_t kHomeNegative = 0x54;
inline constexpr std::uint32_t kHomePositive = 0x55;
}  // namespace code

constexpr std::uint32_t kInputConfig = 29;
constexpr int kInputModeShift = 24;
constexpr std::uint32_t kInputReversed = 1u << 26;
constexpr int kOutputPerInput[] = {1, 2, 4, 1};
constexpr double kNsPerSecond = 1e9;
constexpr double kSlowestRate = 1.0;  // pulses per second
// Turns end well inside the clock's 64-bit nanoseconds.
constexpr double kLatestNs = 4e18;

bool IsPositioning(std::uint32_t operation) {
  return operation == code::kRelative || operation == code::kAbsolute;
}

bool IsHomeSearch(std::uint32_t operation) {
  return operation == code::kHomeNegative || operation == code::kHomePositive;
}

// A home operation follows only the turns of its search direction.
bool Follows(const PulserInput& p, const WheelTurn& turn) {
  return p.searchDirection == 0 || turn.Sign() * p.factor * p.searchDirection > 0;
}

// Output pulses (signed) the operation has made from `from` to `t`.
std::int64_t FollowedBetween(const PulserInput& p, std::int64_t from, std::int64_t t) {
  std::int64_t out = 0;
  for (const WheelTurn& turn : p.turns) {
    if (Follows(p, turn)) out += turn.Sign() * p.factor * (turn.CountBy(t) - turn.CountBy(from));
  }
  return out;
}

// The first instant from `setNs` to `nowNs` at which the output, counted from the operation's
// start, reaches `goal` or passes it.
std::optional<std::int64_t> ReachTime(const PulserInput& p, std::int64_t goal, std::int64_t setNs,
                                      std::int64_t nowNs) {
  std::int64_t out = FollowedBetween(p, p.sinceNs, setNs);
  if (out == goal) return setNs;
  for (const WheelTurn& turn : p.turns) {
    if (!Follows(p, turn)) continue;
    const std::int64_t before = turn.CountBy(setNs);
    const std::int64_t by = turn.CountBy(nowNs);
    if (by <= before) continue;
    const std::int64_t step = turn.Sign() * p.factor;
    const std::int64_t after = out + step * (by - before);
    if ((step > 0 && goal > out && goal <= after) || (step < 0 && goal < out && goal >= after)) {
      const std::int64_t gap = goal > out ? goal - out : out - goal;
      const std::int64_t size = step > 0 ? step : -step;
      return turn.PulseNs(before + (gap + size - 1) / size);
    }
    out = after;
  }
  return std::nullopt;
}

// Output pulses per second at `t`: those of the followed turn under way.
double SpeedAt(const PulserInput& p, std::int64_t t) {
  for (const WheelTurn& turn : p.turns) {
    if (Follows(p, turn) && turn.startNs <= t && t < turn.EndNs() && turn.EndNs() > p.sinceNs)
      return std::abs(p.factor) * turn.rate;
  }
  return 0;
}

// The offset from the origin to the first position on the home switch in the search
// direction; nothing when the switch does not lie that way.
std::optional<std::int64_t> HomeOffset(const AxisMotion& m, std::int64_t origin, int direction) {
  if (m.homeWidth <= 0) return std::nullopt;
  const std::int64_t first = m.homePosition;
  const std::int64_t last = m.homePosition + m.homeWidth - 1;
  if (origin >= first && origin <= last) return 0;
  if (direction > 0 && origin < first) return first - origin;
  if (direction < 0 && origin > last) return last - origin;
  return std::nullopt;
}

// A positioning operation's target from `nowNs` on; the axis's direction and end follow it.
void AimAt(SimAxis& axis, std::int64_t target, std::int64_t nowNs) {
  PulserInput& p = axis.pulser;
  AxisMotion& m = axis.motion;
  p.target = target;
  p.aimedNs = nowNs;
  const std::int64_t offset = target - p.origin;
  m.direction = offset < 0 ? -1 : 1;
  m.end = static_cast<double>(offset * m.direction);
}

// Where and when the operation reaches its goal (its target, or the home switch) by
// `untilNs`; nothing for a continuous operation, a home switch it does not move towards, or a
// goal not reached by then.
struct Arrival {
  std::int64_t offset;  // from the operation's origin
  std::int64_t atNs;
};

std::optional<Arrival> ArrivalBy(const SimAxis& axis, std::int64_t untilNs) {
  const PulserInput& p = axis.pulser;
  const AxisMotion& m = axis.motion;
  std::optional<std::int64_t> goal;
  std::int64_t fromNs = p.sinceNs;
  if (m.positioning) {
    goal = p.target - p.origin;
    fromNs = p.aimedNs;
  } else if (IsHomeSearch(p.operation)) {
    goal = HomeOffset(m, p.origin, p.searchDirection);
  }
  if (!goal) return std::nullopt;
  const std::optional<std::int64_t> at = ReachTime(p, *goal, fromNs, untilNs);
  if (!at) return std::nullopt;
  return Arrival{*goal, *at};
}

// Ends the operation at `atNs`, `offset` pulses from its origin.
void EndAt(SimAxis& axis, std::int64_t offset, std::int64_t atNs) {
  axis.motion.distance = static_cast<double>(offset * axis.motion.direction);
  Finish(axis, 0, atNs);
}

std::int64_t Amount(const SimAxis& axis, std::uint32_t number) {
  return static_cast<std::int32_t>(axis.registers[number]);
}

}  // namespace

std::int64_t WheelTurn::PulseNs(std::int64_t n) const {
  return startNs + std::llround(static_cast<double>(n) * kNsPerSecond / rate);
}

std::int64_t WheelTurn::CountBy(std::int64_t t) const {
  if (t < startNs) return 0;
  const double estimate = std::floor(static_cast<double>(t - startNs) * rate / kNsPerSecond);
  std::int64_t n =
      estimate >= static_cast<double>(Count()) ? Count() : static_cast<std::int64_t>(estimate);
  while (n < Count() && PulseNs(n + 1) <= t)
    ++n;
  while (n > 0 && PulseNs(n) > t)
    --n;
  return n;
}

bool TurnWheel(SimAxis& axis, std::int64_t pulses, double rate, std::int64_t nowNs) {
  PulserInput& p = axis.pulser;
  if (!(rate >= kSlowestRate) || !std::isfinite(rate)) return false;
  // Turns that ended before the following operation began count for nothing any more.
  const std::int64_t keepFrom = FollowsPulser(axis) ? std::min(p.sinceNs, nowNs) : nowNs;
  std::erase_if(p.turns, [&](const WheelTurn& turn) { return turn.EndNs() < keepFrom; });
  if (pulses == 0) return true;
  const std::int64_t startNs = p.turns.empty() ? nowNs : std::max(nowNs, p.turns.back().EndNs());
  const double endNs = static_cast<double>(startNs) +
                       static_cast<double>(pulses < 0 ? -pulses : pulses) * kNsPerSecond / rate;
  if (endNs > kLatestNs) return false;
  p.turns.push_back({startNs, pulses, rate});
  return true;
}

bool IsPulserOperation(std::uint32_t operationCode) {
  return operationCode == code::kContinuous || IsPositioning(operationCode) ||
         IsHomeSearch(operationCode);
}

bool FollowsPulser(const SimAxis& axis) {
  return axis.pulser.following && axis.motion.phase != AxisMotion::Phase::kIdle;
}

void BeginPulserOperation(SimAxis& axis, std::int64_t nowNs) {
  PulserInput& p = axis.pulser;
  AxisMotion& m = axis.motion;
  const std::uint32_t input = axis.registers[kInputConfig];
  p.operation = axis.registers[reg::kModeInForce] & 0xFF;
  p.sinceNs = nowNs;
  p.origin = m.commandOrigin;
  p.factor = kOutputPerInput[input >> kInputModeShift & 3] * ((input & kInputReversed) ? -1 : 1);
  p.searchDirection = 0;
  m.direction = 1;
  m.positioning = IsPositioning(p.operation);
  m.end = kEndless;
  if (p.operation == code::kRelative)
    AimAt(axis, p.origin + Amount(axis, reg::kAmountInForce), nowNs);
  if (p.operation == code::kAbsolute) AimAt(axis, Amount(axis, reg::kAmountInForce), nowNs);
  if (IsHomeSearch(p.operation)) {
    p.searchDirection = p.operation == code::kHomePositive ? 1 : -1;
    m.direction = p.searchDirection;
  }
  m.state = kStateHighSpeed;
  m.speed = 0;
  m.distance = 0;
}

void SettlePulserOperation(SimAxis& axis, std::int64_t nowNs) {
  PulserInput& p = axis.pulser;
  AxisMotion& m = axis.motion;
  const std::int64_t followed = FollowedBetween(p, p.sinceNs, nowNs);
  if (IsHomeSearch(p.operation) && (m.inputs >> QUORVA_SIM_INPUT_HOME & 1u) != 0) {
    EndAt(axis, followed, nowNs);
    return;
  }
  if (const std::optional<Arrival> arrival = ArrivalBy(axis, nowNs)) {
    EndAt(axis, arrival->offset, arrival->atNs);
    return;
  }
  m.distance = static_cast<double>(followed * m.direction);
  m.speed = SpeedAt(p, nowNs);
  m.state = kStateHighSpeed;
  Publish(axis);
}

std::optional<std::int64_t> PulserEndNs(const SimAxis& axis) {
  if (!FollowsPulser(axis) || axis.pulser.turns.empty()) return std::nullopt;
  const std::optional<Arrival> arrival = ArrivalBy(axis, axis.pulser.turns.back().EndNs());
  if (!arrival) return std::nullopt;
  return arrival->atNs;
}

void PulserRegisterWritten(SimAxis& axis, std::uint32_t number, std::int64_t nowNs) {
  PulserInput& p = axis.pulser;
  if (number != reg::kAmount || !IsPositioning(p.operation)) return;
  const std::int64_t amount = Amount(axis, reg::kAmount);
  AimAt(axis, p.operation == code::kRelative ? CommandPosition(axis) + amount : amount, nowNs);
  SettlePulserOperation(axis, nowNs);
}

std::int64_t PulserPositionAt(const SimAxis& axis, std::int64_t t) {
  const PulserInput& p = axis.pulser;
  return p.origin + FollowedBetween(p, p.sinceNs, std::max(t, p.sinceNs));
}

}  // namespace quorva::sim
