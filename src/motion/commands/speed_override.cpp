// Speed override: a running axis re-profiled with its present speed settings, and the speed
// it is commanded to run at now.
#include "device/commands.h"
#include "device/trace.h"
#include "motion/commands/axis_list.h"
#include "motion/commands/running_move.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"

using namespace quorva;

namespace {

constexpr std::uint32_t kPositioningCodes = 0x41;  // and above, in the low 7 bits

// The mode of the running move, as the controller holds it (not the cached next mode).
std::uint32_t ModeInForce(Handle handle, int axis) {
  return DriverRead(handle, cmd::kAxisRegRead, axis, reg::kModeInForce);
}

}  // namespace

extern "C" {

void QUORVA_MC_OverrideSpeedSet(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_OverrideSpeedSet(0x%x, %d)", TraceWord(handle), axis);
  MotionContext* context = ContextOf(handle);
  if (!AxisValid(context, axis)) return;
  int distance = 0;  // a continuous run keeps running
  if ((ModeInForce(handle, axis) & 0x7F) >= kPositioningCodes) {
    // While decelerating, only a steeper deceleration is taken: a gentler one would overshoot.
    if (OperationState(handle, axis) == kStateDecelerating &&
        !(context->decel[axis] > context->prevDecel[axis])) {
      return;
    }
    distance = static_cast<int>(AxisRegRead(handle, axis, reg::kRemainingPulses));
  }
  AxisProfilePrepare(handle, axis, *context, distance, true, true, false);
}

void QUORVA_MC_OverrideSpeedSetAll(QUORVA_HANDLE handle, int count, const int* axes) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_OverrideSpeedSetAll(0x%x, %d, %s)", TraceWord(handle),
               count, TraceList(PrintableCount(count, axes, axes), axes).c_str());
  if (ContextOf(handle) == nullptr || !ValidAxisList(count, axes, axes)) return;
  for (int i = 0; i < count; ++i)
    QUORVA_MC_OverrideSpeedSet(handle, axes[i]);
}

double QUORVA_MC_GetCurSpeed(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetCurSpeed(0x%x, %d)", TraceWord(handle), axis);
  const double magnification = AxisRegRead(handle, axis, reg::kMagnificationInForce);
  const double steps = AxisRegRead(handle, axis, reg::kPresentSpeed) & 0xFFFFu;
  const double pps = steps * ResolutionOfMagnification(magnification);
  const MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr || context->unitSpeed[axis] == 0) return pps;
  return pps / context->unitSpeed[axis];
}

}  // extern "C"
