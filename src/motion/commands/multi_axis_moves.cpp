// Starting, stopping and testing several axes of one board together. Axes of one four-axis
// chip start with one command word; axes on both chips wait for the shared start signal and
// are released together.
#include <bit>
#include <vector>

#include "device/trace.h"
#include "motion/commands/axis_list.h"
#include "motion/commands/list_motion.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"

using namespace quorva;

namespace {

// Bits 8-11 of a command word: the group's axes relative to its chip.
std::uint32_t GroupMask(std::uint32_t mask, int firstAxis) {
  return firstAxis < 4 ? mask : mask >> 4;
}

// The command word that starts a group: its axes in bits 8-11, the start code below.
std::uint32_t GroupWord(const MotionContext& context, std::uint32_t mask, int firstAxis) {
  return GroupMask(mask, firstAxis) << 8 | ProfileStartCode(context, firstAxis);
}

struct StartSignalConfig {
  int mode = 0;
  int inputType = 0;
};

// Makes every listed axis wait for the start signal; returns what each had before.
std::vector<StartSignalConfig> HoldForStartSignal(Handle handle, int count, const int* axes,
                                                  int inputType) {
  std::vector<StartSignalConfig> saved(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    QUORVA_MC_GetMioCfgSTA(handle, axes[i], &saved[i].mode, &saved[i].inputType);
    QUORVA_MC_SetMioCfgSTA(handle, axes[i], 1, inputType);
  }
  return saved;
}

void RestoreStartSignal(Handle handle, int count, const int* axes,
                        const std::vector<StartSignalConfig>& saved) {
  for (int i = 0; i < count; ++i) {
    QUORVA_MC_SetMioCfgSTA(handle, axes[i], saved[i].mode, saved[i].inputType);
  }
}

// Sends a group's command word to its first axis, or records it when every axis is recorded.
void LaunchGroup(Handle handle, MotionContext& context, const std::vector<int>& axes,
                 std::uint32_t word) {
  const std::uint32_t mask = AxisListMask(static_cast<int>(axes.size()), axes.data());
  if (AreListAxes(context, static_cast<int>(axes.size()), axes.data())) {
    ListAppend(handle, context, mask, axes.front(), word, kListStartMaster);
  } else {
    AxisCommand(handle, axes.front(), 0, word);
  }
}

void GroupVStart(Handle handle, MotionContext& context, const ChipGroup<int>& group) {
  const std::uint32_t mask = AxisListMask(group.Count(), group.axes.data());
  WaitAxesIdle(handle, context, mask);
  for (int i = 0; i < group.Count(); ++i) {
    const int axis = group.axes[i];
    AxisRegWrite(handle, axis, 8, 0);
    AxisProfilePrepare(handle, axis, context, 0, false, false, false);
    AxisModeUpdate(handle, axis,
                   group.values[i] <= 0 ? opcode::kContinuousNegative : opcode::kContinuousPositive,
                   -1, 0);
  }
  LaunchGroup(handle, context, group.axes, GroupWord(context, mask, group.First()));
}

// Sets up each axis's positioning move and starts the group (or, with `waitForSignal`, leaves
// the recording to the caller: the axes then wait for the start signal).
void GroupStart(Handle handle, MotionContext& context, ChipGroup<double>& group, bool absolute,
                bool waitForSignal) {
  const std::uint32_t mask = AxisListMask(group.Count(), group.axes.data());
  WaitAxesIdle(handle, context, mask);
  for (int i = 0; i < group.Count(); ++i) {
    const int axis = group.axes[i];
    double& value = group.values[i];
    if (absolute) {
      value = AbsoluteTargetSet(handle, context, axis, value);
    } else {
      RelativeTargetSet(handle, context, axis, value);
    }
    AxisModeUpdate(handle, axis, absolute ? opcode::kAbsolute : opcode::kRelative, -1, 0);
    AxisProfilePrepare(handle, axis, context, ProfileDistance(value), false, false, false);
  }
  if (waitForSignal && AreListAxes(context, group.Count(), group.axes.data())) return;
  LaunchGroup(handle, context, group.axes, GroupWord(context, mask, group.First()));
}

void CrossGroupStart(Handle handle, MotionContext& context, int count, const int* axes,
                     const double* pulses, bool absolute) {
  if (count > context.axisCount) return;
  ChipGroup<double> groups[2];
  SplitByChip(count, axes, pulses, groups);
  const auto saved = HoldForStartSignal(handle, count, axes, 0);
  for (ChipGroup<double>& group : groups) {
    if (!group.Empty()) GroupStart(handle, context, group, absolute, true);
  }
  if (AreListAxes(context, count, axes)) {
    ListAppend(handle, context, AxisListMask(count, axes), axes[0],
               ProfileStartCode(context, axes[0]), kListStartEach);
  } else {
    AxisCommand(handle, axes[0], 0, axiscmd::kStartSignal);
  }
  RestoreStartSignal(handle, count, axes, saved);
}

void StartPositioningAll(Handle handle, int count, const int* axes, const double* values,
                         bool absolute) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || !ValidAxisList(count, axes, values) || count == 0) return;
  std::vector<double> pulses(static_cast<std::size_t>(count));
  bool firstChip = false;
  bool secondChip = false;
  for (int i = 0; i < count; ++i) {
    pulses[i] = values[i] * context->unitDistance[axes[i]];
    (axes[i] < 4 ? firstChip : secondChip) = true;
  }
  if (firstChip && secondChip) {
    CrossGroupStart(handle, *context, count, axes, pulses.data(), absolute);
    return;
  }
  ChipGroup<double> all{std::vector<int>(axes, axes + count), pulses};
  GroupStart(handle, *context, all, absolute, false);
}

// Runs a start silently, then waits for every listed axis unless the start was recorded.
template <typename Start>
void StartAllAndWait(Handle handle, int count, const int* axes, const double* values, Start start) {
  {
    TraceQuietScope quiet;
    start();
  }
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr || !ValidAxisList(count, axes, values)) return;
  if (AreListAxes(*context, count, axes)) return;
  for (int i = 0; i < count; ++i)
    WaitAxisDone(handle, axes[i]);
}

void StopAll(Handle handle, int count, const int* axes, std::uint32_t code) {
  if (ContextOf(handle) == nullptr || !ValidAxisList(count, axes, axes)) return;
  const std::uint32_t mask = AxisListMask(count, axes);
  const std::uint32_t chips[2] = {mask & 0xF, mask >> 4 & 0xF};
  for (int chip = 0; chip < 2; ++chip) {
    if (chips[chip] == 0) continue;
    const int lowest = std::countr_zero(chips[chip]);
    AxisCommand(handle, 4 * chip + lowest, 0, chips[chip] << 8 | code);
  }
  for (int i = 0; i < count; ++i)
    ReleaseInPosition(handle, axes[i]);
}

}  // namespace

#define QUORVA_TRACE_LISTS(name, handle, count, axes, values)                         \
  QUORVA_TRACE(kTraceCommand, "%s(0x%x, %d, %s, %s)", name, TraceWord(handle), count, \
               TraceList(PrintableCount(count, axes, values), axes).c_str(),          \
               TraceList(PrintableCount(count, axes, values), values).c_str())

extern "C" {

void QUORVA_MC_StartVMoveAll(QUORVA_HANDLE handle, int count, const int* axes,
                             const int* directions) {
  QUORVA_TRACE_LISTS("QUORVA_MC_StartVMoveAll", handle, count, axes, directions);
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || !ValidAxisList(count, axes, directions) || count == 0 ||
      count > context->axisCount) {
    return;
  }
  ChipGroup<int> groups[2];
  SplitByChip(count, axes, directions, groups);
  const bool bothChips = !groups[0].Empty() && !groups[1].Empty();
  std::vector<StartSignalConfig> saved;
  if (bothChips) saved = HoldForStartSignal(handle, count, axes, 1);
  for (const ChipGroup<int>& group : groups) {
    if (!group.Empty()) GroupVStart(handle, *context, group);
  }
  if (bothChips) {
    AxisCommand(handle, axes[0], 0, axiscmd::kStartSignal);
    RestoreStartSignal(handle, count, axes, saved);
  }
}

void QUORVA_MC_StartMoveAll(QUORVA_HANDLE handle, int count, const int* axes,
                            const double* distances) {
  QUORVA_TRACE_LISTS("QUORVA_MC_StartMoveAll", handle, count, axes, distances);
  StartPositioningAll(handle, count, axes, distances, false);
}

void QUORVA_MC_StartMoveToAll(QUORVA_HANDLE handle, int count, const int* axes,
                              const double* positions) {
  QUORVA_TRACE_LISTS("QUORVA_MC_StartMoveToAll", handle, count, axes, positions);
  StartPositioningAll(handle, count, axes, positions, true);
}

void QUORVA_MC_MoveAll(QUORVA_HANDLE handle, int count, const int* axes, const double* distances) {
  QUORVA_TRACE_LISTS("QUORVA_MC_MoveAll", handle, count, axes, distances);
  StartAllAndWait(handle, count, axes, distances,
                  [&] { QUORVA_MC_StartMoveAll(handle, count, axes, distances); });
}

void QUORVA_MC_MoveToAll(QUORVA_HANDLE handle, int count, const int* axes,
                         const double* positions) {
  QUORVA_TRACE_LISTS("QUORVA_MC_MoveToAll", handle, count, axes, positions);
  StartAllAndWait(handle, count, axes, positions,
                  [&] { QUORVA_MC_StartMoveToAll(handle, count, axes, positions); });
}

void QUORVA_MC_StopAll(QUORVA_HANDLE handle, int count, const int* axes) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StopAll(0x%x, %d, %s)", TraceWord(handle), count,
               TraceList(PrintableCount(count, axes, axes), axes).c_str());
  StopAll(handle, count, axes, axiscmd::kDecelStop);
}

void QUORVA_MC_EmgStopAll(QUORVA_HANDLE handle, int count, const int* axes) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_EmgStopAll(0x%x, %d, %s)", TraceWord(handle), count,
               TraceList(PrintableCount(count, axes, axes), axes).c_str());
  StopAll(handle, count, axes, axiscmd::kEmergencyStop);
}

int QUORVA_MC_AllDone(QUORVA_HANDLE handle, int count, const int* axes) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_AllDone(0x%x, %d, %s)", TraceWord(handle), count,
               TraceList(PrintableCount(count, axes, axes), axes).c_str());
  if (!ValidAxisList(count, axes, axes)) return 1;
  for (int i = 0; i < count; ++i) {
    if (QUORVA_MC_Done(handle, axes[i]) == 0) return 0;
  }
  return 1;
}

}  // extern "C"
