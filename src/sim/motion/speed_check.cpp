#include "sim/motion/speed_check.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "device/commands.h"
#include "sim/motion/axis_controller.h"
#include "sim/motion/pulser_input.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

static_assert(SpeedCheck::kAxes == kAxes);

constexpr std::int64_t kNsPerMs = 1000000;
constexpr std::int64_t kNsPerTimeUnit = 100000;  // the time difference counts 0.1 ms
constexpr std::int32_t kShortestIntervalMs = 10;
constexpr std::int32_t kLongestIntervalMs = 5000;

std::int64_t ActualCounter(const SimAxis& axis) {
  return SignExtend28(axis.registers[reg::kActualCounter]);
}

// The actual counter at `t` (at most the present time) when the axis's motion is known from
// then on, else nothing.
std::optional<std::int64_t> ActualCountAt(const SimAxis& axis, std::int64_t t) {
  const AxisMotion& m = axis.motion;
  switch (m.phase) {
    case AxisMotion::Phase::kWaiting:
      if (t >= m.waitSinceNs) return ActualCounter(axis);
      return std::nullopt;
    case AxisMotion::Phase::kIdle:
      if (t >= m.endNs) return ActualCounter(axis);
      break;
    case AxisMotion::Phase::kRunning:
      if (FollowsPulser(axis)) {
        if (t < axis.pulser.sinceNs) return std::nullopt;
        return PulserPositionAt(axis, t) + (m.actualOrigin - m.commandOrigin);
      }
      break;
  }
  if (t < m.planOriginNs || axis.pulser.following) return std::nullopt;
  const double travelled = m.plan.At(static_cast<double>(t - m.planOriginNs) * 1e-9).distance;
  return m.actualOrigin + TravelledAt(m, travelled);
}

SpeedSample SampleAt(const SimAxis& axis, std::int64_t t, std::int64_t nowNs) {
  if (const std::optional<std::int64_t> count = ActualCountAt(axis, t)) return {*count, t};
  return {ActualCounter(axis), nowNs};
}

SpeedSample SampleNow(SimAxis& axis, std::int64_t nowNs) {
  SettleAxis(axis, nowNs);
  return {ActualCounter(axis), nowNs};
}

void CatchUpSpeedCheck(SimBoard& board, std::int64_t nowNs) {
  SpeedCheck& check = board.speedCheck;
  if (!check.enabled) return;
  const std::int64_t intervals = (nowNs - check.sinceNs) / check.intervalNs;
  if (intervals <= check.sampled) return;
  const auto boundary = [&](std::int64_t n) { return check.sinceNs + n * check.intervalNs; };
  for (int index = 0; index < kAxes; ++index) {
    SimAxis& axis = board.axes[static_cast<std::size_t>(index)];
    SettleAxis(axis, nowNs);
    SpeedSample& previous = check.previous[static_cast<std::size_t>(index)];
    SpeedSample& last = check.last[static_cast<std::size_t>(index)];
    previous = last;
    if (intervals - 1 > check.sampled) {
      // Intervals passed without a sample: the earlier one is taken when it can be.
      if (const std::optional<std::int64_t> count = ActualCountAt(axis, boundary(intervals - 1)))
        previous = {*count, boundary(intervals - 1)};
    }
    last = SampleAt(axis, boundary(intervals), nowNs);
  }
  check.sampled = intervals;
}

int StartCheck(SimBoard& board, const SimRequest& request) {
  SpeedCheck& check = board.speedCheck;
  const std::int32_t interval = std::clamp(request.I32(1), kShortestIntervalMs, kLongestIntervalMs);
  check.enabled = true;
  check.intervalNs = interval * kNsPerMs;
  check.sinceNs = request.NowNs();
  check.sampled = 0;
  for (int index = 0; index < kAxes; ++index) {
    const SpeedSample now = SampleNow(board.axes[static_cast<std::size_t>(index)], request.NowNs());
    check.previous[static_cast<std::size_t>(index)] = now;
    check.last[static_cast<std::size_t>(index)] = now;
  }
  return 1;
}

int StopCheck(SimBoard& board, const SimRequest&) {
  board.speedCheck.enabled = false;
  return 1;
}

int ReadCheck(SimBoard& board, const SimRequest& request) {
  const SpeedCheck& check = board.speedCheck;
  const std::uint32_t axis = request.U32(1);
  std::int32_t counts = 0;
  std::int32_t time = 0;
  if (check.enabled && axis < static_cast<std::uint32_t>(kAxes)) {
    const SpeedSample& previous = check.previous[axis];
    const SpeedSample& last = check.last[axis];
    // The counter wraps at 28 bits: the difference is taken within that width.
    counts = static_cast<std::int32_t>(
        SignExtend28(static_cast<std::uint32_t>(last.count - previous.count)));
    time = static_cast<std::int32_t>((last.atNs - previous.atNs) / kNsPerTimeUnit);
  }
  request.Store(2, counts);
  request.Store(3, time);
  return 1;
}

}  // namespace

void CatchUpSpeedChecks(std::span<SimBoard> boards, std::int64_t nowNs) {
  for (SimBoard& board : boards)
    CatchUpSpeedCheck(board, nowNs);
}

void AddSpeedCheckHandlers(HandlerTable& table) {
  table.Set(cmd::kSpeedCheckStart, StartCheck);
  table.Set(cmd::kSpeedCheckStop, StopCheck);
  table.Set(cmd::kSpeedCheckRead, ReadCheck);
}

}  // namespace quorva::sim
