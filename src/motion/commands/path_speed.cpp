// The pieces of a path that lines and arcs share: the distance list, the group field, the
// start code and the path speed of the master axis.
#include <cmath>

#include "motion/commands/interpolation.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/speed_profile.h"

namespace quorva {
namespace {

// Bit 7 of a map's speed mode: its speeds are already master-axis speeds.
constexpr std::int32_t kMapSpeedsOfMaster = 0x80;
// Mode bits every axis of a line takes from the master: speed lowered, manual ramp-down point,
// S-curve.
constexpr std::uint32_t kMasterProfileBits =
    kModeSpeedLowered | kModeManualRampDown | kModeScurveAccel;
// Registers copied from the master to the lowest axis, in this order.
constexpr int kCopiedToLowest[] = {
    reg::kHighSpeed, reg::kStartSpeed, reg::kMagnification,      reg::kRampDownPoint,
    reg::kAccelRate, reg::kDecelRate,  reg::kScurveAccelSection, reg::kScurveDecelSection};

}  // namespace

DistanceList DistanceList::Of(std::uint32_t mask, const double* values) {
  DistanceList list;
  for (int axis = 0; axis < kMaxAxes; ++axis) {
    if ((mask >> axis & 1u) == 0) continue;
    list.axes[list.count] = axis;
    list.values[list.count] = values != nullptr ? values[list.count] : 0.0;
    ++list.count;
  }
  return list;
}

void DistanceList::Insert(int axis, double value) {
  int at = count;
  while (at > 0 && axes[at - 1] > axis) {
    axes[at] = axes[at - 1];
    values[at] = values[at - 1];
    --at;
  }
  axes[at] = axis;
  values[at] = value;
  ++count;
}

int DistanceList::IndexOf(int axis) const {
  for (int i = 0; i < count; ++i) {
    if (axes[i] == axis) return i;
  }
  return -1;
}

int DistanceList::MasterIndex() const {
  int master = 0;
  for (int i = 1; i < count; ++i) {
    if (std::fabs(values[i]) > std::fabs(values[master])) master = i;
  }
  return master;
}

std::uint32_t GroupField(std::uint32_t mask) {
  const std::uint32_t g = mask & 0xFFu;
  return g > 15 ? g >> 4 : g;
}

std::uint32_t MapStartCode(const MotionContext& context, int map) {
  if ((context.mapSpeedMode[map] & 0xF) == kSpeedModeConstant) return axiscmd::kStartConstant;
  return context.mapAccel[map] == 0 ? axiscmd::kStartDecelerate : axiscmd::kStartRamped;
}

MasterSpeeds PathMasterSpeeds(const MotionContext& context, int map, const DistanceList& pulses) {
  const int master = pulses.MasterIndex();
  MasterSpeeds speeds{pulses.axes[master], context.mapWorkSpeed[map], context.mapAccel[map],
                      context.mapDecel[map]};
  if ((context.mapSpeedMode[map] & kMapSpeedsOfMaster) != 0) return speeds;
  double squares = 0;
  for (int i = 0; i < pulses.count; ++i)
    squares += pulses.values[i] * pulses.values[i];
  const double length = std::sqrt(squares);
  // A path shorter than a pulse (or not a number) keeps the map's speeds.
  if (!(length >= 1)) return speeds;
  const double share = std::fabs(pulses.values[master]) / length;
  speeds.speed *= share;
  speeds.accel *= share;
  speeds.decel *= share;
  return speeds;
}

void PathSpeedSetup(Handle handle, MotionContext& context, int map, const DistanceList& pulses) {
  const MasterSpeeds speeds = PathMasterSpeeds(context, map, pulses);
  const int master = speeds.master;
  const int pathMode = context.mapSpeedMode[map] & 0xF;
  ResolutionRegistersWrite(handle, master, context);
  ScurveBitUpdate(handle, master, pathMode);
  PreliminarySpeedsWrite(handle, master, context.startSpeed[master], speeds.speed,
                         context.speedResolution[master]);
  {
    const SavedSpeedSettings saved(context, master);
    context.speedMode[master] = pathMode;
    SpeedProfileCompute(handle, master, context, context.startSpeed[master], speeds.speed,
                        speeds.accel, speeds.decel, 0, false, false);
  }
  const int lowest = pulses.axes[0];
  if (master != lowest) {
    for (int r : kCopiedToLowest)
      AxisRegWrite(handle, lowest, r, AxisRegRead(handle, master, r));
  }
  const std::uint32_t bits = AxisRegRead(handle, master, reg::kMode) & kMasterProfileBits;
  for (int i = 0; i < pulses.count; ++i) {
    AxisModeUpdate(handle, pulses.axes[i], -1, static_cast<int>(bits), kMasterProfileBits);
  }
}

SavedSpeedSettings::SavedSpeedSettings(MotionContext& context, int axis)
    : context_(context),
      axis_(axis),
      speedMode_(context.speedMode[axis]),
      startSpeed_(context.startSpeed[axis]),
      workSpeed_(context.workSpeed[axis]),
      accel_(context.accel[axis]),
      decel_(context.decel[axis]) {}

SavedSpeedSettings::~SavedSpeedSettings() {
  context_.speedMode[axis_] = speedMode_;
  context_.startSpeed[axis_] = startSpeed_;
  context_.workSpeed[axis_] = workSpeed_;
  context_.accel[axis_] = accel_;
  context_.decel[axis_] = decel_;
}

}  // namespace quorva
