// A line whose axes lie on both four-axis chips: no controller interpolates it, so every axis
// runs its own positioning move. The master (longest distance) gets the path speed as a
// positioning profile; every other axis gets a high speed, rates and a ramp-down point in
// proportion to its share of the path, so that all take the same time. The axes are started
// one after another and all stopped at once when one of them reports an error.
#include <algorithm>
#include <cmath>

#include "motion/commands/interpolation.h"
#include "motion/commands/list_motion.h"
#include "motion/commands/move_setup.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/register_conversion.h"
#include "motion/core/speed_profile.h"

namespace quorva {
namespace {

// Least high-speed steps of a follower before its resolution is refined.
constexpr double kLeastFollowerSteps = 5000.0;
// A follower with fewer steps between its start and high speed runs without ramps.
constexpr double kLeastRampSteps = 20.0;
// The finest resolution: magnification 4095.
constexpr double kFinestStep = 0.0732421875;
constexpr double kMaxRate = 65535.0;

constexpr int kErrorStatusRegister = 50;
constexpr int kEnvironment1 = 28;
constexpr std::uint32_t kEnvironmentBit19 = 1u << 19;
// Auxiliary value of a cross-group move: the map's mask with this bit.
constexpr std::uint32_t kCrossGroupMark = 1u << 27;
constexpr int kAuxiliaryRegister = 8;
// Mode-register bits of a cross-group move: 18-19 cleared, 24-25 set.
constexpr std::uint32_t kModeClearedBits = 3u << 18;
constexpr std::uint32_t kModeSetBits = 3u << 24;
constexpr std::uint32_t kProfileBits = kModeSpeedLowered | kModeManualRampDown | kModeScurveAccel;

// ⌊x⌋ kept finite: the step and rate arithmetic below never hands a non-number on.
double Floor(double x) {
  return std::isnan(x) ? 0.0 : std::floor(x);
}

// Ramp time per step of speed and unit of rate: 4 reference periods, 8 with the S-curve.
double RampDivisor(int mode) {
  return mode == kSpeedModeTrapezoid ? 4.0 : 8.0;
}

// The master's profile as the controller received it, and the times its phases take.
struct MasterRamp {
  int mode = 0;  // profile code S
  double magnification = 0;
  double step = 0;  // pps per speed step
  double startSteps = 0;
  double highSteps = 0;
  double lowPps = 0;
  double highPps = 0;
  double distance = 0;  // D, pulses
  double cruiseTime = 0;
  double accelTime = 0;
  double decelTime = 0;
  std::uint32_t mode7 = 0;  // the master's mode register
};

// Registers 5, 2, 1, 3, 4 and 6 of the master, read back after its profile.
MasterRamp ReadMasterRamp(Handle handle, const MotionContext& context, int master, double distance,
                          std::uint32_t masterMode) {
  MasterRamp r;
  r.mode = context.speedMode[master] & 0xF;
  r.magnification = AxisRegRead(handle, master, reg::kMagnification) & 0xFFFu;
  r.highSteps = AxisRegRead(handle, master, reg::kHighSpeed) & 0xFFFFu;
  r.startSteps = AxisRegRead(handle, master, reg::kStartSpeed) & 0xFFFFu;
  const double accelRate = AxisRegRead(handle, master, reg::kAccelRate) & 0xFFFFu;
  const double decelRate = AxisRegRead(handle, master, reg::kDecelRate) & 0xFFFFu;
  const double rampDown = AxisRegRead(handle, master, reg::kRampDownPoint) & 0xFFFFu;
  r.step = ResolutionOfMagnification(r.magnification);
  r.lowPps = r.startSteps * r.step;
  r.highPps = r.highSteps * r.step;
  r.distance = distance;
  const double accelPulses =
      RampPulses(r.mode, r.highSteps, r.startSteps, accelRate, r.magnification);
  const double cruisePulses = Trunc32(distance - (rampDown + accelPulses));
  r.cruiseTime = cruisePulses / r.highPps;
  const auto rampTime = [&](double rate, double setting) {
    if (r.mode == kSpeedModeConstant || setting == 0) return 0.0;
    return (r.highSteps - r.startSteps) * (rate + 1.0) * RampDivisor(r.mode) / kReferenceRate;
  };
  r.accelTime = rampTime(accelRate, context.accel[master]);
  r.decelTime = rampTime(decelRate, context.decel[master]);
  r.mode7 = masterMode;
  return r;
}

// The registers of an axis that follows the master.
struct FollowerRegisters {
  double magnification = 0;
  double startSteps = 1;
  double highSteps = 1;
  double accelRate = 1;
  double decelRate = 1;
  double rampDown = 0;
  std::uint32_t mode7 = 0;
};

// Halves the step (and with it the resolution) once; false, with the finest resolution set,
// when the magnification would pass its largest value.
bool RefineStep(double& step, double& magnification) {
  step /= 2;
  // A whole number (2M + 1); rounded so that the division's last bit cannot lower it.
  magnification = std::round(kReferenceRate / (step * 65536.0) - 1.0);
  if (magnification <= kMaxMagnification) return true;
  magnification = kMaxMagnification;
  step = kFinestStep;
  return false;
}

// The rate value that makes the follower's ramp last `seconds`, within 1 .. 65535.
double RateFor(const MasterRamp& r, double seconds, const FollowerRegisters& f) {
  if (r.mode == kSpeedModeConstant) return 1;
  const double rate = Floor(
      seconds * kReferenceRate / ((f.highSteps - f.startSteps) * RampDivisor(r.mode)) - 1.0 + 0.5);
  if (!(rate > 0)) return 1;  // also a ramp over no steps at all
  return std::min(rate, kMaxRate);
}

// The follower's speeds for the distance `entry`: the master's high speed in proportion, with
// a resolution fine enough for it, and ramps lasting as long as the master's.
FollowerRegisters FollowerFor(const MasterRamp& r, double entry, std::uint32_t mode7) {
  FollowerRegisters f;
  const double share = std::fabs(entry) / r.distance;
  const double high = r.highPps * share;
  double step = r.step;
  f.magnification = r.magnification;
  f.highSteps = Floor(high / step + 0.5);
  while (entry != 0 && f.highSteps < kLeastFollowerSteps) {
    const bool finer = RefineStep(step, f.magnification);
    f.highSteps = Floor(high / step + 0.5);
    if (!finer) break;
  }
  f.startSteps = SpeedStepsLimit(Floor(r.lowPps / step));
  f.highSteps = SpeedStepsLimit(f.highSteps);
  f.mode7 = mode7;
  if (f.highSteps - f.startSteps < kLeastRampSteps) {
    // Too little room for ramps: constant speed for the whole time of the master's move.
    f.accelRate = f.decelRate = 1;
    f.rampDown = 0;
    const double time = r.cruiseTime + r.accelTime + r.decelTime;
    const double speed = time == 0 ? (entry > 0 ? 1.0 : 0.0) : std::fabs(entry) / time;
    f.highSteps = SpeedStepsLimit(Floor(speed / step + 0.5));
    f.mode7 = (f.mode7 & ~(kModeSpeedLowered | kModeScurveAccel)) | kModeManualRampDown;
    return f;
  }
  for (;;) {
    f.accelRate = RateFor(r, r.accelTime, f);
    f.decelRate = RateFor(r, r.decelTime, f);
    if (std::fabs(entry) <= 1 || (f.accelRate != kMaxRate && f.decelRate != kMaxRate)) break;
    const bool finer = RefineStep(step, f.magnification);
    f.highSteps = SpeedStepsLimit(Floor(high / step + 0.5));
    f.startSteps = SpeedStepsLimit(Floor(r.lowPps / step));
    if (!finer) break;
  }
  const double ramp = RampPulses(r.mode, f.highSteps, f.startSteps, f.decelRate, f.magnification);
  f.rampDown = (r.mode7 & kModeManualRampDown) != 0 ? std::max(ramp - 2.0, 0.0) : 0.0;
  f.mode7 = (f.mode7 & ~kProfileBits) | (r.mode7 & kProfileBits);
  return f;
}

std::uint32_t CrossGroupMode(std::uint32_t mode7) {
  return (mode7 & ~kModeClearedBits) | kModeSetBits;
}

void WriteFollower(Handle handle, int axis, const FollowerRegisters& f) {
  AxisRegWrite(handle, axis, reg::kRampDownPoint, static_cast<std::uint32_t>(f.rampDown));
  AxisRegWrite(handle, axis, reg::kMode, CrossGroupMode(f.mode7));
  AxisRegWrite(handle, axis, reg::kMagnification, static_cast<std::uint32_t>(f.magnification));
  AxisRegWrite(handle, axis, reg::kStartSpeed, static_cast<std::uint32_t>(f.startSteps));
  AxisRegWrite(handle, axis, reg::kHighSpeed, static_cast<std::uint32_t>(f.highSteps));
  AxisRegWrite(handle, axis, reg::kAccelRate, static_cast<std::uint32_t>(f.accelRate));
  AxisRegWrite(handle, axis, reg::kDecelRate, static_cast<std::uint32_t>(f.decelRate));
}

// The error status of an axis after its start: register 50, else the driver's error word.
bool AxisReportsError(Handle handle, int axis) {
  int status = static_cast<int>(AxisRegRead(handle, axis, kErrorStatusRegister));
  if ((status & 0xFF) == 0) {
    int events = 0;
    QUORVA_MC_GetIntStatus(handle, axis, &status, &events);
  }
  return (status & 0xFF) != 0;
}

// Starts every axis with the start code, one after another; stops them all at once when one
// reports an error.
void StartEachAxis(Handle handle, const DistanceList& list, std::uint32_t code) {
  for (int i = 0; i < list.count; ++i) {
    int errors = 0;
    int events = 0;
    QUORVA_MC_GetIntStatus(handle, list.axes[i], &errors, &events);
  }
  for (int i = 0; i < list.count; ++i)
    AxisCommand(handle, list.axes[i], 0, code);
  for (int i = 0; i < list.count; ++i) {
    if (AxisReportsError(handle, list.axes[i])) {
      QUORVA_MC_EmgStopAll(handle, list.count, list.axes.data());
      return;
    }
  }
}

}  // namespace

void LineStartCrossGroup(Handle handle, MotionContext& context, int map, std::uint32_t mask,
                         DistanceList& pulses, bool absolute) {
  for (int i = 0; i < pulses.count; ++i) {
    const int axis = pulses.axes[i];
    if (absolute) {
      pulses.values[i] = AbsoluteTargetSet(handle, context, axis, pulses.values[i]);
    } else {
      RelativeTargetSet(handle, context, axis, pulses.values[i]);
    }
    AxisModeUpdate(handle, axis, absolute ? opcode::kAbsolute : opcode::kRelative, -1, 0);
  }
  const int masterIndex = pulses.MasterIndex();
  const int master = pulses.axes[masterIndex];
  const double distance = std::fabs(pulses.values[masterIndex]);
  if (!(distance >= 1)) return;  // nothing to start for a line shorter than a pulse

  const MasterSpeeds speeds = PathMasterSpeeds(context, map, pulses);
  const SavedSpeedSettings saved(context, master);
  context.speedMode[master] = context.mapSpeedMode[map] & 0xF;
  context.workSpeed[master] = speeds.speed;
  context.accel[master] = speeds.accel;
  context.decel[master] = speeds.decel;
  AxisProfilePrepare(handle, master, context, ProfileDistance(distance), false, false, true);

  std::array<std::uint32_t, kMaxAxes> originalModes{};
  for (int i = 0; i < pulses.count; ++i)
    originalModes[i] = AxisRegRead(handle, pulses.axes[i], reg::kMode);
  const MasterRamp ramp =
      ReadMasterRamp(handle, context, master, distance, originalModes[masterIndex]);
  for (int i = 0; i < pulses.count; ++i) {
    const int axis = pulses.axes[i];
    if (axis == master) {
      AxisRegWrite(handle, axis, reg::kMode, CrossGroupMode(originalModes[i]));
    } else {
      WriteFollower(handle, axis, FollowerFor(ramp, pulses.values[i], originalModes[i]));
    }
    AxisRegUpdateBits(handle, axis, kEnvironment1, 0, kEnvironmentBit19);
    AxisRegWrite(handle, axis, kAuxiliaryRegister, context.mapAxisMask[map] | kCrossGroupMark);
  }

  const std::uint32_t code = MapStartCode(context, map);
  if (IsListMask(context, mask)) {
    ListAppend(handle, context, mask, master, code, kListStartEach);
  } else {
    StartEachAxis(handle, pulses, code);
  }
  for (int i = 0; i < pulses.count; ++i)
    AxisRegWrite(handle, pulses.axes[i], reg::kMode, originalModes[i]);
}

}  // namespace quorva
