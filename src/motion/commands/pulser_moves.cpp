// Moves driven by a manual pulse generator (a hand wheel) on the axis's pulser input instead of
// its own speed generator: continuously, up to a relative or absolute target, or towards home.
#include <cmath>

#include "device/trace.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"

using namespace quorva;

namespace {

// Operation codes of the pulser-driven operations.
namespace pulser {
inline constexpr int kContinuous = 0x01;
inline constexpr int kRelative = 0x51;
inline constexpr int kAbsolute = 0x52;
inline constexpr int kHomeNegative = 0x54;
inline constexpr int kHomePositive = 0x55;
}  // namespace pulser

// Register 29 bits 24-25: input mode; bit 26: input direction reversed.
constexpr int kModeShift = 24;
constexpr int kReverseShift = 26;
constexpr std::uint32_t kInputMask = 0x7u << kModeShift;

void StartPulserOperation(Handle handle, MotionContext& context, int axis, int operation) {
  AxisProfilePrepare(handle, axis, context, 0, true, false, false);
  AxisModeUpdate(handle, axis, operation, -1, 0);
  AxisCommand(handle, axis, 0, axiscmd::kStartConstant);
}

// Sets the target; starts the operation only when the axis is free. On a moving axis the new
// target is all that changes.
template <typename SetTarget>
void StartPulserPositioning(Handle handle, int axis, double value, int operation,
                            SetTarget setTarget) {
  MotionContext* context = ContextOf(handle);
  // A target that is not a finite number has no register value: nothing is set.
  if (!AxisValid(context, axis) || !std::isfinite(value * context->unitDistance[axis])) return;
  setTarget(*context, value * context->unitDistance[axis]);
  if (QUORVA_MC_Done(handle, axis) == 1) StartPulserOperation(handle, *context, axis, operation);
}

}  // namespace

extern "C" {

void QUORVA_MC_SetPulserInputMode(QUORVA_HANDLE handle, int axis, int mode, int reverse) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetPulserInputMode(0x%x, %d, %d, %d)", TraceWord(handle),
               axis, mode, reverse);
  const std::uint32_t input = static_cast<std::uint32_t>(mode & 3) << kModeShift |
                              static_cast<std::uint32_t>(reverse & 1) << kReverseShift;
  AxisRegUpdateBits(handle, axis, reg::kSignalConfig, input, kInputMask);
}

void QUORVA_MC_StartPulserVMove(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartPulserVMove(0x%x, %d)", TraceWord(handle), axis);
  MotionContext* context = ContextOf(handle);
  if (!AxisValid(context, axis)) return;
  StartPulserOperation(handle, *context, axis, pulser::kContinuous);
}

void QUORVA_MC_StartPulserMove(QUORVA_HANDLE handle, int axis, double distance) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartPulserMove(0x%x, %d, %.3f)", TraceWord(handle), axis,
               distance);
  StartPulserPositioning(handle, axis, distance, pulser::kRelative,
                         [&](MotionContext& context, double pulses) {
                           RelativeTargetSet(handle, context, axis, pulses);
                         });
}

void QUORVA_MC_StartPulserMoveTo(QUORVA_HANDLE handle, int axis, double position) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartPulserMoveTo(0x%x, %d, %.3f)", TraceWord(handle),
               axis, position);
  StartPulserPositioning(handle, axis, position, pulser::kAbsolute,
                         [&](MotionContext& context, double pulses) {
                           AbsoluteTargetSet(handle, context, axis, pulses);
                         });
}

void QUORVA_MC_PulserMove(QUORVA_HANDLE handle, int axis, double distance) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_PulserMove(0x%x, %d, %.3f)", TraceWord(handle), axis,
               distance);
  StartQuietly([&] { QUORVA_MC_StartPulserMove(handle, axis, distance); });
  WaitAxisDone(handle, axis);
}

void QUORVA_MC_PulserMoveTo(QUORVA_HANDLE handle, int axis, double position) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_PulserMoveTo(0x%x, %d, %.3f)", TraceWord(handle), axis,
               position);
  StartQuietly([&] { QUORVA_MC_StartPulserMoveTo(handle, axis, position); });
  WaitAxisDone(handle, axis);
}

void QUORVA_MC_PulserHomeMove(QUORVA_HANDLE handle, int axis, int direction) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_PulserHomeMove(0x%x, %d, %d)", TraceWord(handle), axis,
               direction);
  AxisModeUpdate(handle, axis, direction != 0 ? pulser::kHomePositive : pulser::kHomeNegative, -1,
                 0);
  AxisCommand(handle, axis, 0, axiscmd::kStartConstant);
}

}  // extern "C"
