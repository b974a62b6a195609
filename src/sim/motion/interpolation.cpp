#include "sim/motion/interpolation.h"

#include <algorithm>
#include <bit>

#include "sim/motion/axis_controller.h"
#include "sim/motion/helical_step.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kModeStartSignal = 1u << 18;
constexpr std::uint32_t kStartWithoutRamps = 0x51;
constexpr int kChipAxes = 4;

enum class PathKind { kNone, kLine, kArc, kHelix };

PathKind KindOf(std::uint32_t mode) {
  if (IsHelicalMode(mode)) return PathKind::kHelix;
  switch (mode & 0xFF) {
    case 97:
      return PathKind::kLine;
    case 100:
    case 101:
      return PathKind::kArc;
    default:
      return PathKind::kNone;
  }
}

constexpr bool CounterClockwise(std::uint32_t mode) {
  return (mode & 0xFF) == 101;
}

SimAxis& AxisAt(SimBoard& board, int axis) {
  return board.axes[static_cast<std::size_t>(axis)];
}

double Signed(std::uint32_t word) {
  return static_cast<std::int32_t>(word);
}

template <typename Action>
void ForEachAxis(std::uint32_t mask, Action action) {
  for (int axis = 0; axis < kAxes; ++axis) {
    if ((mask >> axis & 1u) != 0) action(axis);
  }
}

// Whether `partner` runs the path `path` is part of: a path starts only on idle axes, so two
// moving axes with paths over the same axes run the same one.
bool RunsSamePath(const AxisMotion& partner, const PathFollow& path) {
  return partner.phase != AxisMotion::Phase::kIdle && partner.path.active &&
         partner.path.shape.Axes() == path.shape.Axes();
}

// The two lowest axes of `mask`, or none when it has fewer.
std::uint32_t LowestTwo(std::uint32_t mask) {
  if (std::popcount(mask) < 2) return 0;
  const std::uint32_t first = mask & (~mask + 1);
  const std::uint32_t rest = mask & ~first;
  return first | (rest & (~rest + 1));
}

// The shape of the path of `members` (board axis bits), from their registers in force.
PathShape ShapeOf(SimBoard& board, PathKind kind, std::uint32_t members) {
  if (kind == PathKind::kHelix) return HelicalStepShape(board, members);
  if (kind == PathKind::kArc) {
    const int x = std::countr_zero(members);
    const int y = std::countr_zero(members & ~(1u << x));
    const SimAxis& ax = AxisAt(board, x);
    const SimAxis& ay = AxisAt(board, y);
    return PathShape::Arc(
        x, y, Signed(ax.registers[reg::kAuxiliary]), Signed(ay.registers[reg::kAuxiliary]),
        Signed(ax.registers[reg::kAmountInForce]), Signed(ay.registers[reg::kAmountInForce]),
        CounterClockwise(ax.registers[reg::kModeInForce]));
  }
  std::array<double, kPathAxes> amounts{};
  ForEachAxis(members, [&](int axis) {
    amounts[static_cast<std::size_t>(axis)] =
        Signed(AxisAt(board, axis).registers[reg::kAmountInForce]);
  });
  return PathShape::Line(members, amounts);
}

// Makes `axis` follow `path` from its present position and starts it (or holds it for the
// start signal).
void Follow(SimAxis& axis, std::uint32_t startCode, const PathFollow& path, bool waitForSignal,
            std::int64_t nowNs) {
  PrepareMove(axis, startCode);
  AxisMotion& m = axis.motion;
  m.path = path;
  m.positioning = true;
  m.end = path.shape.Length();
  m.direction = path.shape.Target(path.axis) < 0 ? -1 : 1;
  BeginMove(axis, waitForSignal, nowNs);
}

}  // namespace

std::uint32_t StartPaths(SimBoard& board, int chipBase, std::uint32_t named, int addressed,
                         std::uint32_t startCode, std::int64_t nowNs) {
  const PathKind kind = KindOf(AxisAt(board, addressed).registers[reg::kMode]);
  if (kind == PathKind::kNone) return 0;
  std::uint32_t members = 0;  // board axis bits
  for (int i = 0; i < kChipAxes; ++i) {
    const int axis = chipBase + i;
    if ((named >> i & 1u) != 0 && KindOf(AxisAt(board, axis).registers[reg::kMode]) == kind)
      members |= 1u << axis;
  }
  if (kind == PathKind::kArc) members = LowestTwo(members);
  if (kind == PathKind::kHelix) members = HelicalStepAxes(board, named << chipBase);
  if (members == 0) return 0;
  const std::uint32_t dealtWith = members >> chipBase;
  bool allIdle = true;
  ForEachAxis(members, [&](int axis) {
    SettleAxis(AxisAt(board, axis), nowNs);
    allIdle = allIdle && AxisAt(board, axis).motion.phase == AxisMotion::Phase::kIdle;
  });
  if (!allIdle) return dealtWith;  // busy axes ignore a second start

  ForEachAxis(members, [&](int axis) { CopyPreRegisters(AxisAt(board, axis)); });
  const SimAxis& driver = AxisAt(board, addressed);
  PathFollow path;
  path.active = true;
  path.shape = ShapeOf(board, kind, members);
  path.drive = SpeedSettingsOf(driver, startCode);
  if (kind == PathKind::kHelix) ApplyStepCount(driver, path.drive);
  path.stepPps = StepPps(driver);
  const bool waitForSignal = (driver.registers[reg::kModeInForce] & kModeStartSignal) != 0;
  // An axis held by its alarm or an error holds the whole path: it records why, as a single
  // move would, and no axis moves.
  std::uint32_t held = 0;
  ForEachAxis(members, [&](int axis) {
    const SimAxis& a = AxisAt(board, axis);
    if ((a.motion.inputs >> QUORVA_SIM_INPUT_ALARM & 1u) != 0 || ErrorPending(a))
      held |= 1u << axis;
  });
  ForEachAxis(held != 0 ? held : members, [&](int axis) {
    path.axis = axis;
    Follow(AxisAt(board, axis), startCode, path, waitForSignal && held == 0, nowNs);
  });
  return dealtWith;
}

std::uint32_t WithPathPartners(const SimBoard& board, int chipBase, std::uint32_t named) {
  std::uint32_t all = named;
  for (int i = 0; i < kChipAxes; ++i) {
    if ((named >> i & 1u) == 0) continue;
    const AxisMotion& m = board.axes[static_cast<std::size_t>(chipBase + i)].motion;
    if (m.phase == AxisMotion::Phase::kIdle || !m.path.active) continue;
    for (int k = 0; k < kChipAxes; ++k) {
      if ((m.path.shape.Axes() >> (chipBase + k) & 1u) != 0 &&
          RunsSamePath(board.axes[static_cast<std::size_t>(chipBase + k)].motion, m.path)) {
        all |= 1u << k;
      }
    }
  }
  return all;
}

void StopPathPartners(SimBoard& board, int axis, std::int64_t nowNs) {
  const PathFollow& path = AxisAt(board, axis).motion.path;
  if (!path.active) return;
  ForEachAxis(path.shape.Axes() & ~(1u << axis), [&](int partner) {
    SimAxis& p = AxisAt(board, partner);
    SettleAxis(p, nowNs);
    if (RunsSamePath(p.motion, path)) StopAxisNow(p, 0, nowNs);
  });
}

void CompletePath(SimAxis& axis, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  if (m.phase != AxisMotion::Phase::kIdle || !m.path.active) return;
  const int number = m.path.axis;
  const double remaining = static_cast<double>(m.commandOrigin) + m.path.shape.Target(number) -
                           static_cast<double>(CommandPosition(axis));
  if (remaining == 0) return;
  std::array<double, kPathAxes> amounts{};
  amounts[static_cast<std::size_t>(number)] = remaining;
  PathFollow correction;
  correction.active = true;
  correction.axis = number;
  correction.shape = PathShape::Line(1u << number, amounts);
  const double steps = std::max<std::uint32_t>(1, axis.registers[reg::kCorrectionSpeed] & 0xFFFF);
  correction.drive.startSpeed = correction.drive.highSpeed = steps * StepPps(axis);
  correction.stepPps = StepPps(axis);
  Follow(axis, kStartWithoutRamps, correction, false, nowNs);
}

}  // namespace quorva::sim
