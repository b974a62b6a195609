#include "sim/motion/start_conditions.h"

#include <cmath>
#include <optional>

#include "sim/motion/axis_controller.h"
#include "sim/sim_board.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kOnSignal = 2;
constexpr std::uint32_t kOnStop = 3;
constexpr std::uint32_t kEnvironment5 = 32;
constexpr int kChipAxes = 4;

namespace signal {
inline constexpr std::uint32_t kStarts = 4;
inline constexpr std::uint32_t kStops = 8;
inline constexpr std::uint32_t kHighSpeed = 9;
inline constexpr std::uint32_t kDecelerates = 10;
}  // namespace signal

// When the source's present or last move entered `state`, if it did by `nowNs`.
std::optional<std::int64_t> PlanStateBegins(const AxisMotion& source, std::uint32_t state,
                                            std::int64_t nowNs) {
  if (source.phase == AxisMotion::Phase::kWaiting) return std::nullopt;
  const double at = source.plan.StateBegins(state);
  if (!std::isfinite(at)) return std::nullopt;
  const std::int64_t atNs = source.planOriginNs + std::llround(at * 1e9);
  // A stopped move's plan may go on beyond the stop: that part never happened.
  const std::int64_t until = source.phase == AxisMotion::Phase::kIdle ? source.endNs : nowNs;
  if (atNs > until) return std::nullopt;
  return atNs;
}

// When `source` gave `signal`, if it did at or after `sinceNs`.
std::optional<std::int64_t> SignalTime(const AxisMotion& source, std::uint32_t code,
                                       std::int64_t sinceNs, std::int64_t nowNs) {
  std::optional<std::int64_t> at;
  switch (code) {
    case signal::kStarts:
      if (source.phase != AxisMotion::Phase::kWaiting) at = source.startNs;
      break;
    case signal::kStops:
      if (source.phase == AxisMotion::Phase::kIdle) at = source.endNs;
      break;
    case signal::kHighSpeed:
      at = PlanStateBegins(source, kStateHighSpeed, nowNs);
      break;
    case signal::kDecelerates:
      at = PlanStateBegins(source, kStateDecelerating, nowNs);
      break;
    default:
      break;
  }
  if (at && *at >= sinceNs) return at;
  return std::nullopt;
}

// Starts the move of axis `index` of `board` when its condition has come by `nowNs`.
bool StartWhenDue(SimBoard& board, int index, std::int64_t nowNs) {
  SimAxis& axis = board.axes[static_cast<std::size_t>(index)];
  const AxisMotion& m = axis.motion;
  if (m.phase != AxisMotion::Phase::kWaiting || m.startCondition < kOnSignal) return false;
  const int source =
      m.startCondition == kOnStop ? m.startSource : index / kChipAxes * kChipAxes + m.startSource;
  if (source >= kAxes || source == index) return false;
  SimAxis& from = board.axes[static_cast<std::size_t>(source)];
  SettleAxis(from, nowNs);
  const std::uint32_t code = m.startCondition == kOnStop ? signal::kStops : m.startSignal;
  const std::optional<std::int64_t> at = SignalTime(from.motion, code, m.waitSinceNs, nowNs);
  if (!at) return false;
  StartWaitingAxis(axis, *at);
  SettleAxis(axis, nowNs);
  return true;
}

}  // namespace

void HoldForStartCondition(SimAxis& axis, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  const std::uint32_t mode = axis.registers[reg::kModeInForce];
  const std::uint32_t selection = axis.registers[kEnvironment5];
  m.phase = AxisMotion::Phase::kWaiting;
  m.waitSinceNs = nowNs;
  m.startSignal = selection >> 16 & 0xF;
  m.startSource =
      static_cast<int>(m.startCondition == kOnStop ? mode >> 20 & 0xF : selection >> 20 & 0x3);
}

void CatchUpStartConditions(std::span<SimBoard> boards, std::int64_t nowNs) {
  for (SimBoard& board : boards) {
    // A move started by another's event may itself be awaited: go round until none starts.
    bool started = true;
    while (started) {
      started = false;
      for (int index = 0; index < kAxes; ++index)
        started = StartWhenDue(board, index, nowNs) || started;
    }
  }
}

}  // namespace quorva::sim
