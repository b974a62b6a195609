#include "sim/motion/home_search.h"

#include <cstdlib>
#include <utility>

#include "sim/motion/axis_controller.h"
#include "sim/motion/compare_outputs.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kPlainPositive = 16;
constexpr std::uint32_t kPlainNegative = 24;
constexpr std::uint32_t kAutomaticPositive = 21;
constexpr std::uint32_t kAutomaticNegative = 29;
constexpr std::uint32_t kNegativeBit = 0x08;  // the negative codes are the positive ones + 8
constexpr std::uint32_t kHomeModeMask = 0xF;

bool LimitIsOrigin(std::uint32_t homeMode) {
  return homeMode == 6 || homeMode == 7 || homeMode == 8 || homeMode == 12;
}

// The pulses a switch covers as an axis moving in `direction` sees them: [low, high).
struct SwitchSpan {
  std::int64_t low;
  std::int64_t high;
  bool Contains(std::int64_t position) const { return position >= low && position < high; }
};

SwitchSpan SeenSwitch(const AxisMotion& m, int direction) {
  const std::int64_t low = m.homePosition + direction * m.homeHysteresis;
  return {low, low + m.homeWidth};
}

// Distance from `start` to the switch's nearest pulse along `direction`: 0 when the axis
// starts on it, infinite when it lies behind.
double DistanceToSwitch(const AxisMotion& m, std::int64_t start, int direction) {
  const SwitchSpan seen = SeenSwitch(m, direction);
  if (seen.Contains(start)) return 0;
  const std::int64_t edge = direction > 0 ? seen.low : seen.high - 1;
  const std::int64_t distance = (edge - start) * direction;
  return distance > 0 ? static_cast<double>(distance) : kEndless;
}

double DistanceToLimit(const AxisMotion& m, std::int64_t start, int direction) {
  if (!(direction > 0 ? m.hasPlusLimit : m.hasMinusLimit)) return kEndless;
  return static_cast<double>(((direction > 0 ? m.plusLimit : m.minusLimit) - start) * direction);
}

// Counters C and A read 0 where the axis is now (the motion compared before they change).
// The switches stay where they are on the machine: their positions move with the counters.
void ZeroCounters(SimAxis& axis) {
  TrackComparators(axis);
  AxisMotion& m = axis.motion;
  const std::int64_t travelled = TravelledAt(m, m.distance);
  const std::int64_t shift = -(m.commandOrigin + travelled);
  m.homePosition += shift;
  m.minusLimit += shift;
  m.plusLimit += shift;
  m.commandOrigin = -travelled;
  m.actualOrigin = -travelled;
}

// The automatic search moves on from its origin by `offset` pulses: a positioning move of
// its own, from the origin.
void StartOffsetMove(SimAxis& axis, std::int32_t offset, std::int64_t originNs) {
  TrackComparators(axis);
  AxisMotion& m = axis.motion;
  const std::int64_t travelled = TravelledAt(m, m.distance);
  m.commandOrigin += travelled;
  m.actualOrigin += travelled;
  m.operationOrigin = m.commandOrigin;  // the offset counts from where the switch stopped it
  m.direction = offset < 0 ? -1 : 1;
  m.positioning = true;
  m.distance = 0;
  m.speed = 0;
  m.endNs = originNs;
  m.home.phase = HomeSearch::Phase::kOffset;
  BeginMove(axis, false, originNs);
}

}  // namespace

bool IsHomeSearch(std::uint32_t mode) {
  const std::uint32_t code = mode & 0xFF;
  return code == kPlainPositive || code == kPlainNegative || code == kAutomaticPositive ||
         code == kAutomaticNegative;
}

int HomeSearchDirection(std::uint32_t mode) {
  return (mode & kNegativeBit) != 0 ? -1 : 1;
}

void BeginHomeSearch(SimAxis& axis) {
  HomeSearch& search = axis.motion.home;
  search = {};
  const std::uint32_t mode = axis.registers[reg::kModeInForce];
  if (!IsHomeSearch(mode)) return;
  const std::uint32_t code = mode & 0xFF;
  search.phase = HomeSearch::Phase::kApproach;
  search.automatic = code == kAutomaticPositive || code == kAutomaticNegative;
  search.limitOrigin = LimitIsOrigin(axis.registers[reg::kEnvironment3] & kHomeModeMask);
}

std::uint32_t HighSpeedRegister(const SimAxis& axis) {
  return IsHomeSearch(axis.registers[reg::kModeInForce]) ? reg::kSearchSpeed : reg::kHighSpeed;
}

double HomeOriginDistance(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  if (m.home.phase != HomeSearch::Phase::kApproach) return kEndless;
  if (m.home.limitOrigin) return DistanceToLimit(m, m.commandOrigin, m.direction);
  if (m.homeWidth <= 0) return kEndless;
  return DistanceToSwitch(m, m.commandOrigin, m.direction);
}

bool ContinueHomeSearch(SimAxis& axis, std::int64_t endNs) {
  AxisMotion& m = axis.motion;
  const HomeSearch::Phase phase = std::exchange(m.home.phase, HomeSearch::Phase::kNone);
  if (phase == HomeSearch::Phase::kApproach) {
    if (m.causeAtEnd != kCauseHomeOrigin) return false;  // a limit or a stop ended it
    m.causeAtEnd = 0;
    if (!m.home.automatic) return false;
    const auto offset = static_cast<std::int32_t>(axis.registers[reg::kHomeOffset]);
    if (offset == 0) {
      ZeroCounters(axis);
      return false;
    }
    StartOffsetMove(axis, offset, endNs);
    return true;
  }
  // The offset move ran to its end unless a limit or a stop cut it short.
  if (phase == HomeSearch::Phase::kOffset && m.causeAtEnd == 0 && !m.stopping) ZeroCounters(axis);
  return false;
}

bool HomeSwitchActive(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  if (m.homeWidth <= 0) return false;
  const bool running = m.phase == AxisMotion::Phase::kRunning;
  const SwitchSpan seen = running ? SeenSwitch(m, m.direction) : SeenSwitch(m, 0);
  return seen.Contains(CommandPosition(axis));
}

}  // namespace quorva::sim
