#include "sim/sim_events.h"

#include <algorithm>
#include <cmath>

#include "sim/motion/axis_controller.h"
#include "sim/motion/latch.h"
#include "sim/motion/path_record.h"

namespace quorva::sim {
namespace {

// The instant a running axis's plan ends, rounded up so that the axis has finished by then;
// nothing for an idle or waiting axis and a move without end.
std::optional<std::int64_t> MoveEndNs(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  constexpr double kFarNs = 1e18;  // some 30 years: never reached, and far from overflow
  const double endNs = std::ceil(m.plan.EndTime() * 1e9);
  if (m.phase != AxisMotion::Phase::kRunning || !(endNs < kFarNs)) return std::nullopt;
  return m.planOriginNs + static_cast<std::int64_t>(endNs) + 1;
}

// The board holding the earliest latch pulse due by `nowNs`, or null.
SimBoard* EarliestPulse(std::span<SimBoard> boards, std::int64_t nowNs) {
  SimBoard* earliest = nullptr;
  for (SimBoard& board : boards) {
    if (board.latchPulses.empty() || board.latchPulses.front().atNs > nowNs) continue;
    if (earliest == nullptr ||
        board.latchPulses.front().atNs < earliest->latchPulses.front().atNs) {
      earliest = &board;
    }
  }
  return earliest;
}

void FirePulse(std::span<SimBoard> boards, SimBoard& board) {
  const LatchPulse pulse = board.latchPulses.front();
  board.latchPulses.erase(board.latchPulses.begin());
  CatchUpLists(boards, pulse.atNs);
  SimAxis& axis = board.axes[static_cast<std::size_t>(pulse.axis)];
  SettleAxis(axis, pulse.atNs);
  Latch(axis);
}

void SettleEndedMoves(std::span<SimBoard> boards, std::int64_t nowNs) {
  for (SimBoard& board : boards) {
    for (SimAxis& axis : board.axes) {
      const auto end = MoveEndNs(axis);
      if (end && *end <= nowNs) SettleAxis(axis, nowNs);
    }
  }
}

}  // namespace

void RunUntil(std::span<SimBoard> boards, std::int64_t nowNs) {
  while (SimBoard* board = EarliestPulse(boards, nowNs))
    FirePulse(boards, *board);
  CatchUpLists(boards, nowNs);
  for (SimBoard& board : boards)
    RecordPath(board, nowNs);
  SettleEndedMoves(boards, nowNs);
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
