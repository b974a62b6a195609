// Table-driven trigger output: the driver takes a table of positions and feeds them to
// comparator 5 one after the other, so that the compare output fires at each in turn.
#include <cstdint>
#include <new>
#include <vector>

#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/io/comparators.h"
#include "motion/io/counter_values.h"

using namespace quorva;

namespace {

// Builds the table of `count` counter values position(i) and hands it to the driver, which
// copies it within the request. 0, with nothing sent, when the axis is not one of the board's,
// the count is negative or the table cannot be allocated.
template <typename Position>
int TableSend(Handle handle, int axis, int count, Position position) {
  if (!AxisValid(handle, axis) || count < 0) return 0;
  std::vector<std::int32_t> table;
  try {
    table.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  for (int i = 0; i < count; ++i)
    table[static_cast<std::size_t>(i)] = ClampToCounter(position(i));
  DriverCall(handle, cmd::kCompareTableLoad, axis, table.data(), count);
  return 1;
}

}  // namespace

extern "C" {

int QUORVA_MC_RegTableCCMP(QUORVA_HANDLE handle, int axis, const double* positions, int count) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_RegTableCCMP(0x%x, %d, 0x%x, %d)", TraceWord(handle), axis,
               TraceWord(positions), count);
  if (positions == nullptr && count > 0) return 0;
  return TableSend(handle, axis, count, [&](int i) { return positions[i]; });
}

int QUORVA_MC_BuildTableCCMP(QUORVA_HANDLE handle, int axis, double start, double interval,
                             int count) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_BuildTableCCMP(0x%x, %d, %.3f, %.3f, %d)",
               TraceWord(handle), axis, start, interval, count);
  return TableSend(handle, axis, count, [&](int i) { return start + i * interval; });
}

int QUORVA_MC_StartCCMP(QUORVA_HANDLE handle, int axis, int f1, int f2) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartCCMP(0x%x, %d, %d, %d)", TraceWord(handle), axis, f1,
               f2);
  if (!AxisValid(handle, axis)) return 0;
  AxisRegUpdateBits(handle, axis, reg::kTriggerConfig, TriggerConfig(f1, f2), kTriggerConfigMask);
  AxisRegUpdateBits(handle, axis, reg::kTriggerFeed, kTriggerFeedBit, kTriggerFeedBit);
  DriverCall(handle, cmd::kCompareTableStart, axis, f2 == 1 ? 1 : 0);
  return 1;
}

int QUORVA_MC_StopCCMP(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StopCCMP(0x%x, %d)", TraceWord(handle), axis);
  if (!AxisValid(handle, axis)) return 0;
  AxisRegUpdateBits(handle, axis, reg::kTriggerConfig, 0, kTriggerConfigMask);
  DriverCall(handle, cmd::kCompareTableStop, axis);
  return 1;
}

}  // extern "C"
