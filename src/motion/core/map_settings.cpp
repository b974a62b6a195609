// Interpolation maps: numbered axis sets with their own speed mode, working speed and rates.
// Map speeds are in pps, converted with the unit speed of the map's lowest axis.
#include "device/trace.h"
#include "motion/core/map_axes.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"

using namespace quorva;

namespace {

// Map 9 cannot be given an axis set.
constexpr int kReservedMap = 9;

// The unit speed of the lowest-numbered axis of the map, 1.0 for a map without axes.
double MapUnitSpeed(const MotionContext& context, int map) {
  for (int axis = 0; axis < kMaxAxes; ++axis) {
    if ((context.mapAxisMask[map] >> axis & 1u) != 0) return context.unitSpeed[axis];
  }
  return 1.0;
}

void MapSpeedStore(QUORVA_HANDLE handle, int map, double speed, double accel, double decel) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  map = MapClamp(map);
  const double unit = MapUnitSpeed(*context, map);
  if (!SpeedAccepted(speed * unit)) return;
  context->mapWorkSpeed[map] = speed * unit;
  context->mapAccel[map] = accel * unit;
  context->mapDecel[map] = decel * unit;
}

}  // namespace

extern "C" {

int QUORVA_MC_MapAxes(QUORVA_HANDLE handle, int map, int axisMask) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_MapAxes(0x%x, %d, 0x%x)", TraceWord(handle), map,
               axisMask);
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || map < 0 || map > kLastMap || map == kReservedMap) return 0;
  context->mapAxisMask[map] = static_cast<std::uint32_t>(axisMask);
  return 1;
}

void QUORVA_MC_SetSpeedModeMx(QUORVA_HANDLE handle, int map, int mode) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetSpeedModeMx(0x%x, %d, %d)", TraceWord(handle), map,
               mode);
  if (MotionContext* context = ContextOf(handle)) context->mapSpeedMode[MapClamp(map)] = mode;
}

void QUORVA_MC_SetSpeedMx(QUORVA_HANDLE handle, int map, double speed, double accel) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetSpeedMx(0x%x, %d, %.3f, %.3f)", TraceWord(handle), map,
               speed, accel);
  MapSpeedStore(handle, map, speed, accel, accel);
}

void QUORVA_MC_SetSpeedMx2(QUORVA_HANDLE handle, int map, double speed, double accel,
                           double decel) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetSpeedMx2(0x%x, %d, %.3f, %.3f, %.3f)",
               TraceWord(handle), map, speed, accel, decel);
  MapSpeedStore(handle, map, speed, accel, decel);
}

}  // extern "C"
