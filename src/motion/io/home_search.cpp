// Home searches. The library writes the search speed and the offset into the axis's registers,
// chooses the operation code from the home mode and the direction, and starts the axis; the
// controller runs the search. The automatic search first moves the axis off an end limit that
// would block it.
#include <cmath>
#include <optional>

#include "device/trace.h"
#include "motion/commands/axis_list.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"
#include "motion/core/speed_profile.h"
#include "motion/io/counter_values.h"

using namespace quorva;

namespace {

constexpr int kHomeOffsetRegister = 16;
constexpr std::uint32_t kHomeModeMask = 0xF;
// Register 30 bits 20-23, set before every search.
constexpr std::uint32_t kSearchBits = 0xFu << 20;

// Operation codes of the searches, for direction 1 and for any other direction.
struct SearchCodes {
  int positive;
  int negative;
  int For(int direction) const { return direction == 1 ? positive : negative; }
};
constexpr SearchCodes kSearch{16, 24};
constexpr SearchCodes kAutomaticSearch{21, 29};

// Bits of QUORVA_MC_GetMioStatus that block a search: the end limit ahead in direction 1 and in
// the other direction.
constexpr int kLimitPlusStatusBit = 2;
constexpr int kLimitMinusStatusBit = 3;

// Home modes whose search starts from a clear end limit.
bool BacksOffFirst(std::uint32_t homeMode) {
  return homeMode == 6 || homeMode == 7 || homeMode == 8 || homeMode == 12;
}

// Search speed register value: steps of the axis's resolution, truncated, limited into the
// register's range 1 .. 65535 (a larger count would wrap into an arbitrary speed).
std::uint32_t SearchSpeedSteps(const MotionContext& context, int axis, double speed) {
  const double pps = speed * context.unitSpeed[axis];
  return static_cast<std::uint32_t>(SpeedStepsLimit(Trunc32(pps / context.speedResolution[axis])));
}

// The register writes of every search once its operation code is chosen. The automatic search
// also hands the controller its offset (pulses, sign kept).
void SearchPrepare(Handle handle, const MotionContext& context, int axis, int code, double speed,
                   std::optional<double> offset) {
  AxisRegUpdateBits(handle, axis, reg::kEnvironment3, kSearchBits, kSearchBits);
  if (offset) {
    AxisRegWrite(handle, axis, kHomeOffsetRegister,
                 static_cast<std::uint32_t>(ClampToCounter(*offset * context.unitDistance[axis])));
  }
  AxisProfilePrepare(handle, axis, context, 0, false, false, false);
  AxisRegWrite(handle, axis, reg::kCorrectionSpeed, SearchSpeedSteps(context, axis, speed));
  AxisModeUpdate(handle, axis, code, -1, 0);
}

void SearchStart(Handle handle, const MotionContext& context, int axis) {
  AxisCommand(handle, axis, 0, ProfileStartCode(context, axis));
}

// Moves the axis by |offset| away from the end limit ahead of a search in `direction` until the
// limit clears, the start input switched off during each move. False when the limit is still
// active after QUORVA_HOME_BACKOFF_PASSES moves, or at once when a move would be shorter than
// half a pulse (it would not move the axis at all).
bool BackOffLimit(Handle handle, const MotionContext& context, int axis, int direction,
                  double offset) {
  const int blockingBit = direction == 1 ? kLimitPlusStatusBit : kLimitMinusStatusBit;
  const double step = direction == 1 ? -std::fabs(offset) : std::fabs(offset);
  const bool moves = std::fabs(step * context.unitDistance[axis]) >= 0.5;
  for (int pass = 0;; ++pass) {
    if ((QUORVA_MC_GetMioStatus(handle, axis) >> blockingBit & 1) == 0) return true;
    if (!moves || pass == QUORVA_HOME_BACKOFF_PASSES) return false;
    int staMode = 0;
    int staInputType = 0;
    QUORVA_MC_GetMioCfgSTA(handle, axis, &staMode, &staInputType);
    QUORVA_MC_SetMioCfgSTA(handle, axis, 0, staInputType);
    QUORVA_MC_Move(handle, axis, step);
    QUORVA_MC_SetMioCfgSTA(handle, axis, staMode, staInputType);
  }
}

// Everything of an automatic search but its start. False, with QUORVA_ERR_HOME_BACKOFF stored
// as the last error, when the axis could not be backed off its limit.
bool AutoHomePrepare(Handle handle, const MotionContext& context, int axis, int direction,
                     double speed, double offset) {
  QUORVA_MC_EmgStop(handle, axis);
  const std::uint32_t homeMode = AxisRegRead(handle, axis, reg::kEnvironment3) & kHomeModeMask;
  SearchCodes codes = kAutomaticSearch;
  if (BacksOffFirst(homeMode)) {
    if (!BackOffLimit(handle, context, axis, direction, offset)) {
      StoreLastError(QUORVA_ERR_HOME_BACKOFF);
      return false;
    }
    codes = kSearch;
  }
  SearchPrepare(handle, context, axis, codes.For(direction), speed, offset);
  return true;
}

// The lists of the multi-axis search: the trace prints at most eight items of each.
int PrintableCount(int count) {
  return count >= 0 && count <= 8 ? count : 0;
}

bool ValidSearchList(int count, const unsigned* axes, const unsigned* directions,
                     const double* speeds, const double* offsets) {
  return ValidAxisList(count, axes, directions) &&
         (count == 0 || (speeds != nullptr && offsets != nullptr));
}

}  // namespace

extern "C" {

void QUORVA_MC_HomeMove(QUORVA_HANDLE handle, int axis, int direction, double speed) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_HomeMove(0x%x, %d, %d, %.3f)", TraceWord(handle), axis,
               direction, speed);
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr || !InAxisRange(axis)) return;
  SearchPrepare(handle, *context, axis, kSearch.For(direction), speed, std::nullopt);
  SearchStart(handle, *context, axis);
}

void QUORVA_MC_HomeMoveAuto(QUORVA_HANDLE handle, int axis, int direction, double speed,
                            double offset) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_HomeMoveAuto(0x%x, %d, %d, %.3f, %.3f)", TraceWord(handle),
               axis, direction, speed, offset);
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr || !InAxisRange(axis)) return;
  if (AutoHomePrepare(handle, *context, axis, direction, speed, offset)) {
    SearchStart(handle, *context, axis);
  }
}

void QUORVA_MC_HomeMoveAutoAll(QUORVA_HANDLE handle, int count, const unsigned int* axes,
                               const unsigned int* directions, const double* speeds,
                               const double* offsets) {
  const int printable = PrintableCount(count);
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_HomeMoveAutoAll(0x%x, %d, %s, %s, %s, %s)",
               TraceWord(handle), count, TraceList(printable, axes).c_str(),
               TraceList(printable, directions).c_str(), TraceList(printable, speeds).c_str(),
               TraceList(printable, offsets).c_str());
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr || !ValidSearchList(count, axes, directions, speeds, offsets)) return;
  for (int i = 0; i < count; ++i) {
    const int axis = static_cast<int>(axes[i]);
    const int direction = static_cast<int>(directions[i]);
    if (!AutoHomePrepare(handle, *context, axis, direction, speeds[i], offsets[i])) return;
  }
  for (int i = 0; i < count; ++i)
    SearchStart(handle, *context, static_cast<int>(axes[i]));
}

}  // extern "C"
