// Comparators 4 and 5, the tables the driver feeds to comparator 5 and the indexed
// compare-trigger tables, evaluated on the motion an axis made, and the log of the events
// they raise (with the moves that stop at a soft limit). An interrupt model reads the log.
#pragma once

#include <cstdint>
#include <span>

#include "sim/sim_board.h"

namespace quorva::sim {

// Compares the motion the axis made since the last call with its comparators and tables and
// logs every event, at the instant it happened. The controller calls it whenever it brings a
// moving axis up to date.
void TrackComparators(SimAxis& axis);

// Takes over a table of 32-bit positions (and, for indexed tables, their data words), the
// axis brought up to date beforehand.
void LoadTriggerTable(SimAxis& axis, std::span<const std::int32_t> positions);
void StartTriggerTable(SimAxis& axis);
void StopTriggerTable(SimAxis& axis);
void StartIndexedTable(SimAxis& axis, int map, std::span<const std::int32_t> positions,
                       std::span<const std::int32_t> data);
// Stops the indexed table of `map` when it is the one following the axis.
void StopIndexedTable(SimAxis& axis, int map);
// Entries of the indexed table of `map` fired so far, and whether it still runs.
std::uint32_t IndexedFired(const SimAxis& axis, int map);
bool IndexedRunning(const SimAxis& axis, int map);

}  // namespace quorva::sim
