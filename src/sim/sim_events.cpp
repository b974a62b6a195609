#include "sim/sim_events.h"

#include <algorithm>

#include "sim/motion/axis_controller.h"
#include "sim/motion/latch.h"
#include "sim/motion/path_record.h"
#include "sim/motion/speed_check.h"
#include "sim/motion/start_conditions.h"
#include "sim/next_event.h"

namespace quorva::sim {
namespace {

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

// The moves that start without a request by `nowNs`: list entries and held starts.
void StartDueMoves(std::span<SimBoard> boards, std::int64_t nowNs) {
  CatchUpLists(boards, nowNs);
  CatchUpStartConditions(boards, nowNs);
}

void FirePulse(std::span<SimBoard> boards, SimBoard& board) {
  const LatchPulse pulse = board.latchPulses.front();
  board.latchPulses.erase(board.latchPulses.begin());
  StartDueMoves(boards, pulse.atNs);
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
  StartDueMoves(boards, nowNs);
  CatchUpSpeedChecks(boards, nowNs);
  for (SimBoard& board : boards)
    RecordPath(board, nowNs);
  SettleEndedMoves(boards, nowNs);
}

}  // namespace quorva::sim
