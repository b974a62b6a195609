// Lines: the axes of a map move along a straight line, starting and arriving together. Axes
// of one four-axis chip are interpolated by the controller from one start command; a map with
// axes on both chips runs each axis as its own move (cross_group_line.cpp).
#include <bit>
#include <cmath>

#include "config/gantry_correct.h"
#include "device/trace.h"
#include "motion/commands/axis_list.h"
#include "motion/commands/interpolation.h"
#include "motion/commands/list_motion.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/map_axes.h"
#include "motion/io/counter_values.h"
#include "motion/io/position_counter.h"

namespace quorva {
namespace {

constexpr int kMoveAmountHigh = 8;
// Bit 31 of a map's mask runs a line as separate moves even within one chip.
constexpr std::uint32_t kForceSeparateMoves = 1u << 31;

// How many values the caller passed: one per axis of the map that the board has, none for a
// null array.
int CallerValueCount(const MotionContext& context, int map, const double* values) {
  return values != nullptr ? std::popcount(MapBoardAxes(context, MapClamp(map))) : 0;
}

bool SpansBothChips(std::uint32_t mask, std::uint32_t mapMask) {
  return ((mask & 0x0Fu) != 0 && (mask & 0xF0u) != 0) || (mapMask & kForceSeparateMoves) != 0;
}

// Moves to an absolute target on a line: the amount from the axis's present position (or, while
// recording, the recorded target) rounded to whole pulses. Returns the distance truncated
// toward zero.
double LineAbsSetup(Handle handle, MotionContext& context, int axis, double target) {
  const double start = MoveBase(handle, context, axis);
  context.moveStartPos[axis] = start;
  const double distance = target - start;
  const double rounded = std::round(distance);  // halves away from zero
  AxisRegWrite(handle, axis, reg::kMoveAmount, static_cast<std::uint32_t>(ClampToCounter(rounded)));
  context.moveTargetPos[axis] = start + rounded;
  AxisRegWrite(handle, axis, kMoveAmountHigh, 0);
  return std::trunc(distance);
}

// With the gantry mapping on and one gantry axis in the map, the map gains the other (for good)
// and the list an entry for it: no move for a relative line, its present position for an
// absolute one. Returns whether the line's gantry targets are to be corrected.
bool GantryPreStep(Handle handle, MotionContext& context, int map, DistanceList& list,
                   bool absolute) {
  if (context.gantryEnabled == 0) return false;
  const int x = context.gantryAxisX;
  const int y = context.gantryAxisY;
  const bool hasX = list.IndexOf(x) >= 0;
  const bool hasY = list.IndexOf(y) >= 0;
  if (!hasX && !hasY) return false;
  if (hasX != hasY) {
    const int other = hasX ? y : x;
    if (!AxisValid(&context, other)) return false;
    context.mapAxisMask[map] |= 1u << other;
    list.Insert(other, absolute ? QUORVA_MC_GetPosition_C(handle, other) : 0.0);
  }
  return true;
}

// Targets of the two gantry axes through the mapping table, still in user units.
void CorrectGantryTargets(Handle handle, const MotionContext& context, DistanceList& list,
                          bool absolute) {
  const int x = context.gantryAxisX;
  const int y = context.gantryAxisY;
  double& valueX = list.values[list.IndexOf(x)];
  double& valueY = list.values[list.IndexOf(y)];
  const double unitX = context.unitDistance[x];
  const double unitY = context.unitDistance[y];
  if (absolute) {
    const double tx = valueX * unitX;
    const double ty = valueY * unitY;
    const GantryPoint corrected = GantryCorrect(context, tx, ty);
    valueX += (corrected.x - tx) / unitX;
    valueY += (corrected.y - ty) / unitY;
    return;
  }
  const double tx = (QUORVA_MC_GetPosition_C(handle, x) + valueX) * unitX;
  const double ty = (QUORVA_MC_GetPosition_C(handle, y) + valueY) * unitY;
  const GantryPoint corrected = GantryCorrect(context, tx, ty);
  // The counters are 28-bit two's-complement values, as everywhere else: a stage below zero
  // moves from where it is, not from a count 2^28 away.
  valueX = (corrected.x - ReadCounter28(handle, x, reg::kCounterCommand)) / unitX;
  valueY = (corrected.y - ReadCounter28(handle, y, reg::kCounterCommand)) / unitY;
}

void StartLine(Handle handle, int map, const double* values, bool absolute, const char* name) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  const int m = MapClamp(map);
  const int given = CallerValueCount(*context, m, values);
  DistanceList list = DistanceList::Of(MapBoardAxes(*context, m), values);
  const bool corrected = values != nullptr && GantryPreStep(handle, *context, m, list, absolute);
  QUORVA_TRACE(kTraceCommand, "%s(0x%x, %d, %s)", name, TraceWord(handle), map,
               TraceList(given, values).c_str());
  if (values == nullptr || list.count == 0) return;
  if (corrected) CorrectGantryTargets(handle, *context, list, absolute);
  for (int i = 0; i < list.count; ++i)
    list.values[i] *= context->unitDistance[list.axes[i]];
  const std::uint32_t mask = MapBoardAxes(*context, m);
  WaitAxesIdle(handle, *context, mask);
  if (SpansBothChips(mask, context->mapAxisMask[m])) {
    LineStartCrossGroup(handle, *context, m, mask, list, absolute);
  } else {
    LineStartOneGroup(handle, *context, m, mask, list, absolute);
  }
}

// The blocking variants: their own trace line, the start variant silenced, then the wait for
// the map's lowest axis unless the line was recorded.
void LineAndWait(Handle handle, int map, const double* values, bool absolute, const char* name,
                 const char* startName) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  QUORVA_TRACE(kTraceCommand, "%s(0x%x, %d, %s)", name, TraceWord(handle), map,
               TraceList(CallerValueCount(*context, map, values), values).c_str());
  {
    TraceQuietScope quiet;
    StartLine(handle, map, values, absolute, startName);
  }
  if (values == nullptr) return;
  const std::uint32_t mask = MapBoardAxes(*context, MapClamp(map));
  if (mask == 0 || IsListMask(*context, mask)) return;
  WaitAxisDone(handle, std::countr_zero(mask));
}

}  // namespace

void LineStartOneGroup(Handle handle, MotionContext& context, int map, std::uint32_t mask,
                       DistanceList& pulses, bool absolute) {
  for (int i = 0; i < pulses.count; ++i) {
    const int axis = pulses.axes[i];
    if (absolute) {
      pulses.values[i] = LineAbsSetup(handle, context, axis, pulses.values[i]);
    } else {
      RelativeTargetSet(handle, context, axis, pulses.values[i]);
    }
    AxisModeUpdate(handle, axis, opcode::kLinearInterpolation, -1, 0);
  }
  PathSpeedSetup(handle, context, map, pulses);
  const std::uint32_t command = GroupField(mask) << 8 | MapStartCode(context, map);
  const int lowest = pulses.axes[0];
  if (IsListMask(context, mask)) {
    ListAppend(handle, context, mask, lowest, command, kListStartMaster);
  } else {
    AxisCommand(handle, lowest, 0, command);
  }
}

}  // namespace quorva

using namespace quorva;

extern "C" {

void QUORVA_MC_StartLine(QUORVA_HANDLE handle, int map, const double* distances) {
  StartLine(handle, map, distances, false, "QUORVA_MC_StartLine");
}

void QUORVA_MC_StartLineTo(QUORVA_HANDLE handle, int map, const double* positions) {
  StartLine(handle, map, positions, true, "QUORVA_MC_StartLineTo");
}

void QUORVA_MC_Line(QUORVA_HANDLE handle, int map, const double* distances) {
  LineAndWait(handle, map, distances, false, "QUORVA_MC_Line", "QUORVA_MC_StartLine");
}

void QUORVA_MC_LineTo(QUORVA_HANDLE handle, int map, const double* positions) {
  LineAndWait(handle, map, positions, true, "QUORVA_MC_LineTo", "QUORVA_MC_StartLineTo");
}

}  // extern "C"
