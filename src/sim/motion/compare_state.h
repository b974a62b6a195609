// What the simulated driver keeps for the comparators of an axis (the tables it feeds them,
// the compare output, the event log, how far the motion has been compared) and for the maps
// of the indexed compare-trigger.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace quorva::sim {

struct CompareEvent {
  std::uint64_t serial = 0;  // 1 for the axis's first event, counting on over its life
  std::int64_t timeNs = 0;
  int source = 0;  // QUORVA_SIM_EVENT_*
  std::int32_t position = 0;
  std::int32_t entry = -1;
  std::int32_t data = 0;
};

// Positions fed to a comparator one after the other.
struct CompareTable {
  std::vector<std::int32_t> positions;
  std::vector<std::int32_t> data;  // one word per position (indexed tables)
  std::size_t next = 0;            // the entry waited for
  bool running = false;
  int map = -1;  // indexed tables: the map index
};

struct AxisCompare {
  CompareTable trigger;  // fed to comparator 5 (commands 720, 730, 740)
  CompareTable indexed;  // an indexed compare-trigger table following this axis

  std::uint32_t outputPulses = 0;
  std::int32_t lastOutputPosition = 0;
  std::int64_t lastOutputNs = 0;

  std::deque<CompareEvent> events;
  std::uint64_t eventSerial = 0;

  // The motion compared so far: the move (by its start time), its leg (by the counter it began
  // at: a move that travels back begins a second leg) and its distance.
  bool tracked = false;
  std::int64_t trackedMoveNs = 0;
  std::int64_t trackedOrigin = 0;
  double trackedDistance = 0;
  std::int64_t softLimitLoggedNs = -1;  // the move whose soft-limit stop was logged
};

struct TriggerMap {
  std::uint16_t axisX = 0;
  std::uint16_t axisY = 0;
  std::uint16_t channel = 0;
  std::uint32_t valid = 0;
  int runningAxis = -1;  // the axis its last table was attached to
};

}  // namespace quorva::sim
