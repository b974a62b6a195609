// Backlash correction: on each reversal the controller inserts a correction move of a fixed
// pulse count at the axis's correction speed.
#include <cmath>

#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"

using namespace quorva;

namespace {

constexpr std::int32_t kMaxCorrectionPulses = 4095;
// Environment 6: amount in bits 0-11, method code from bit 12 (not masked: the controller
// takes the code as given).
constexpr std::uint32_t kAmountAndMethodMask = 0xFFFF;
constexpr int kMethodShift = 12;
// Environment 3 bits 24-27: control code.
constexpr int kControlShift = 24;
constexpr std::uint32_t kControlMask = 0xFu << kControlShift;

}  // namespace

extern "C" {

int QUORVA_MC_SetCorrection(QUORVA_HANDLE handle, int axis, int mode, double amount, double speed,
                            int control) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetCorrection(0x%x, %d, %d, %.3f, %.3f, %x)",
               TraceWord(handle), axis, mode, amount, speed, static_cast<unsigned>(control));
  MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr) return 0;
  const double exactPulses = amount * context->unitDistance[axis];
  // An amount that is not a number has no pulse count and is refused like one out of range.
  if (std::isnan(exactPulses)) return 0;
  const std::int32_t pulses = Trunc32(exactPulses);
  const double correctionSpeed = speed * context->unitSpeed[axis];
  if (pulses < 0 || pulses > kMaxCorrectionPulses || !SpeedAccepted(correctionSpeed)) return 0;
  const std::uint32_t amountAndMethod =
      static_cast<std::uint32_t>(pulses) | static_cast<std::uint32_t>(mode) << kMethodShift;
  AxisRegUpdateBits(handle, axis, reg::kEnvironment6, amountAndMethod, kAmountAndMethodMask);
  context->correctionSpeed[axis] = correctionSpeed;
  AxisRegUpdateBits(handle, axis, reg::kEnvironment3,
                    (static_cast<std::uint32_t>(control) << kControlShift) & kControlMask,
                    kControlMask);
  return 1;
}

}  // extern "C"
