// The driver's measured-speed check: over each interval it takes the difference of an axis's
// actual counter and of the time, from which the library computes the speed.
#include <algorithm>
#include <cstdint>

#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

constexpr int kShortestInterval = 10;
constexpr int kLongestInterval = 5000;
// The time difference counts tenths of milliseconds; below this the check has nothing yet.
constexpr std::int32_t kLeastTimeDifference = 10;
constexpr double kTimeUnitsPerSecond = 10000.0;

}  // namespace

extern "C" {

void QUORVA_MC_EnableActSpdChk(QUORVA_HANDLE handle, int interval) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_EnableActSpdChk(0x%x, %d)", TraceWord(handle), interval);
  DriverCall(handle, cmd::kSpeedCheckStart,
             std::clamp(interval, kShortestInterval, kLongestInterval));
}

void QUORVA_MC_DisableActSpdChk(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_DisableActSpdChk(0x%x)", TraceWord(handle));
  DriverCall(handle, cmd::kSpeedCheckStop);
}

double QUORVA_MC_GetActualSpeed(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetActualSpeed(0x%x, %d)", TraceWord(handle), axis);
  const MotionContext* context = ContextOf(handle);
  if (context != nullptr && !AxisValid(context, axis)) return 0.0;
  std::int32_t counts = 0;
  std::int32_t time = 0;
  DriverCall(handle, cmd::kSpeedCheckRead, axis, &counts, &time);
  if (time < kLeastTimeDifference) return 0.0;
  const double speed = counts / (time / kTimeUnitsPerSecond);
  if (context == nullptr || context->unitSpeed[axis] == 0) return speed;
  return speed * context->inOutRatio[axis] / context->unitSpeed[axis];
}

}  // extern "C"
