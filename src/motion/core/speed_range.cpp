// The speed range of an axis: the magnification that fixes its speed resolution (pps per step
// of the 16-bit speed registers), and the range reported back from that resolution.
#include <algorithm>
#include <cmath>

#include "device/trace.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"
#include "motion/core/speed_profile.h"

using namespace quorva;

namespace {

constexpr double kReferenceRate = 19660800.0;

// The magnification whose range is nearest to `maxPps`, limited to the magnifications the
// controller has (a range beyond them gets the nearest one it has).
std::uint32_t MagnificationForRange(double maxPps) {
  const double nearest = kReferenceRate / maxPps - 1.0 + 0.5;
  return static_cast<std::uint32_t>(std::clamp(Trunc32(nearest),
                                               static_cast<std::int32_t>(kMinMagnification),
                                               static_cast<std::int32_t>(kMaxMagnification)));
}

}  // namespace

extern "C" {

void QUORVA_MC_SetSpeedRange(QUORVA_HANDLE handle, int axis, double maxSpeed) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetSpeedRange(0x%x, %d, %.3f)", TraceWord(handle), axis,
               maxSpeed);
  MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr) return;
  const double maxPps = maxSpeed * context->unitSpeed[axis];
  // A range that is not a positive speed selects no resolution: the previous one stays.
  if (!std::isfinite(maxPps) || maxPps <= 0) return;
  context->maxSpeed[axis] = maxPps;
  context->speedResolution[axis] = ResolutionOfMagnification(MagnificationForRange(maxPps));
  ResolutionRegistersWrite(handle, axis, *context);
}

void QUORVA_MC_GetSpeedRange(QUORVA_HANDLE handle, int axis, double* minSpeed, double* maxSpeed) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetSpeedRange(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(minSpeed), TraceWord(maxSpeed));
  const MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr) return;
  const double unit = context->unitSpeed[axis];
  const double divisor = unit != 0 ? unit : 1.0;
  const double resolution = context->speedResolution[axis];
  if (minSpeed != nullptr) *minSpeed = kMinSpeedSteps * resolution / divisor;
  if (maxSpeed != nullptr) *maxSpeed = kMaxSpeedSteps * resolution / divisor;
}

}  // extern "C"
