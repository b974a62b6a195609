// The driver commands of the table-driven trigger (720, 730, 740) and of the indexed
// compare-trigger (1160-1168). Tables are copied out of the caller's memory within the
// request.
#include <span>

#include "device/commands.h"
#include "sim/motion/axis_controller.h"
#include "sim/motion/compare_outputs.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

constexpr std::int32_t kNoError = 0;

// Axis `number` brought up to the request's time; null for a number that is no axis.
SimAxis* SettledAxis(SimBoard& board, std::uint32_t number, std::int64_t nowNs) {
  if (number >= static_cast<std::uint32_t>(kAxes)) return nullptr;
  SimAxis& axis = board.axes[number];
  SettleAxis(axis, nowNs);
  return &axis;
}

// The table of `count` 32-bit words at the address in `slot`; empty and false for a count
// the driver does not take or a missing table.
bool TableAt(const SimRequest& request, int slot, std::int32_t count,
             std::span<const std::int32_t>& table) {
  const auto* words = static_cast<const std::int32_t*>(request.Address(slot));
  if (count < 0 || count > QUORVA_SIM_TABLE_CAPACITY || (count > 0 && words == nullptr)) {
    return false;
  }
  table = count > 0 ? std::span<const std::int32_t>(words, static_cast<std::size_t>(count))
                    : std::span<const std::int32_t>();
  return true;
}

int TableLoad(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = SettledAxis(board, request.U32(1), request.NowNs());
  std::span<const std::int32_t> table;
  if (axis == nullptr || !TableAt(request, 2, request.I32(3), table)) return 0;
  LoadTriggerTable(*axis, table);
  return 1;
}

int TableStart(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = SettledAxis(board, request.U32(1), request.NowNs());
  if (axis == nullptr) return 0;
  StartTriggerTable(*axis);
  return 1;
}

int TableStop(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = SettledAxis(board, request.U32(1), request.NowNs());
  if (axis == nullptr) return 0;
  StopTriggerTable(*axis);
  return 1;
}

// The map of the index in slot 1; null, with the index error stored through `errorSlot`, for
// an index the driver does not have.
TriggerMap* MapOf(SimBoard& board, const SimRequest& request, int errorSlot) {
  const std::uint32_t index = request.U32(1);
  if (index >= board.triggerMaps.size()) {
    request.Store(errorSlot, std::int32_t{QUORVA_SIM_TRIGGER_ERR_INDEX});
    return nullptr;
  }
  return &board.triggerMaps[index];
}

int MapSet(SimBoard& board, const SimRequest& request) {
  TriggerMap* map = MapOf(board, request, 5);
  if (map == nullptr) return 1;
  const int runningAxis = map->runningAxis;
  *map = {static_cast<std::uint16_t>(request.U32(2)), static_cast<std::uint16_t>(request.U32(3)),
          static_cast<std::uint16_t>(request.U32(4)), 1, runningAxis};
  request.Store(5, kNoError);
  return 1;
}

int MapGet(SimBoard& board, const SimRequest& request) {
  const TriggerMap* map = MapOf(board, request, 6);
  if (map == nullptr) return 1;
  request.Store(2, map->axisX);
  request.Store(3, map->axisY);
  request.Store(4, map->channel);
  request.Store(5, map->valid);
  request.Store(6, kNoError);
  return 1;
}

// The axis the index's last table followed, brought up to the request's time; null when none.
SimAxis* IndexedAxis(SimBoard& board, const TriggerMap& map, std::int64_t nowNs) {
  return map.runningAxis < 0
             ? nullptr
             : SettledAxis(board, static_cast<std::uint32_t>(map.runningAxis), nowNs);
}

int IndexedStart(SimBoard& board, const SimRequest& request) {
  TriggerMap* map = MapOf(board, request, 6);
  if (map == nullptr) return 1;
  if (map->valid == 0 || map->axisX >= kAxes) {
    request.Store(6, std::int32_t{QUORVA_SIM_TRIGGER_ERR_MAP});
    return 1;
  }
  std::span<const std::int32_t> positions;
  std::span<const std::int32_t> data;
  const std::int32_t count = request.I32(5);
  if (!TableAt(request, 3, count, positions) || !TableAt(request, 4, count, data)) {
    request.Store(6, std::int32_t{QUORVA_SIM_TRIGGER_ERR_TABLE});
    return 1;
  }
  const int index = static_cast<int>(request.U32(1));
  if (SimAxis* previous = IndexedAxis(board, *map, request.NowNs()))
    StopIndexedTable(*previous, index);
  SimAxis* axis = SettledAxis(board, map->axisX, request.NowNs());
  StartIndexedTable(*axis, index, positions, data);
  map->runningAxis = map->axisX;
  request.Store(6, kNoError);
  return 1;
}

int IndexedStop(SimBoard& board, const SimRequest& request) {
  TriggerMap* map = MapOf(board, request, 2);
  if (map == nullptr) return 1;
  if (SimAxis* axis = IndexedAxis(board, *map, request.NowNs())) {
    StopIndexedTable(*axis, static_cast<int>(request.U32(1)));
  }
  request.Store(2, kNoError);
  return 1;
}

int IndexedState(SimBoard& board, const SimRequest& request) {
  TriggerMap* map = MapOf(board, request, 4);
  if (map == nullptr) return 1;
  const int index = static_cast<int>(request.U32(1));
  const SimAxis* axis = IndexedAxis(board, *map, request.NowNs());
  request.Store(2, axis != nullptr ? IndexedFired(*axis, index) : 0u);
  request.Store(3, std::uint32_t{axis != nullptr && IndexedRunning(*axis, index) ? 1u : 0u});
  request.Store(4, kNoError);
  return 1;
}

}  // namespace

void AddCompareHandlers(HandlerTable& table) {
  table.Set(cmd::kCompareTableLoad, TableLoad);
  table.Set(cmd::kCompareTableStart, TableStart);
  table.Set(cmd::kCompareTableStop, TableStop);
  table.Set(cmd::kTriggerSetMap, MapSet);
  table.Set(cmd::kTriggerGetMap, MapGet);
  table.Set(cmd::kTriggerStart, IndexedStart);
  table.Set(cmd::kTriggerStop, IndexedStop);
  table.Set(cmd::kTriggerState, IndexedState);
}

}  // namespace quorva::sim
