// A new end for a running positioning move: QUORVA_MC_OverrideMove changes a move started by
// a distance, QUORVA_MC_OverrideMoveTo one started towards a position. The move is lengthened
// or shortened as it runs; when the new end can no longer be reached without overshooting, the
// axis stops and travels back to it.
//
// Two variants, by `mioProperty` bit 0. With automatic ramp-down the controller places the
// deceleration itself: the new end goes into register 16, and the speed registers are
// re-profiled only where the move's remaining course changes (decelerating, or reversing).
// With manual ramp-down the library places it: it estimates the stopping distance from the
// profile it last wrote, re-profiles a move that goes on, and prepares the way back as the next
// operation, which comparator 3 starts shortly before the axis comes to rest.
#include <algorithm>
#include <cmath>
#include <optional>

#include "device/commands.h"
#include "device/trace.h"
#include "motion/commands/running_move.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/last_profile.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"
#include "motion/core/speed_profile.h"
#include "motion/io/counter_values.h"
#include "motion/io/position_counter.h"
#include "platform/platform.h"

using namespace quorva;

namespace {

// Status word 0: the controller refused the change.
constexpr std::uint32_t kMainStatusRefused = 1u << 13;
// A move whose working speed differs more than this from its profile is re-profiled.
constexpr double kWorkSpeedTolerance = 200.0;  // pps
// Comparator 3 in register 31: the command counter (bits 16-17 clear) compared by the method
// in bits 18-20 (reached counting down, or up), starting the prepared operation (bits 21-22).
constexpr std::uint32_t kCompare3Counter = 0xFFFCFFFF;
constexpr std::uint32_t kCompare3StartsNext = 0x600000;
constexpr std::uint32_t kCompare3Method = 0xFFE3FFFF;
constexpr std::uint32_t kCompare3ReachedDown = 0x100000;
constexpr std::uint32_t kCompare3ReachedUp = 0x140000;
// The comparator fires this many pulses before the predicted stop.
constexpr double kCompareLead = 2.0;
// Divisor of the ramp distances.
constexpr double kRampDistanceDivisor = 32768.0;
// The wait for the end of an acceleration gives up this long after the profile's whole ramp.
constexpr double kAccelerationWaitMargin = 0.5;  // seconds

enum class EndKind { kRelative, kAbsolute };

// The end an override asks for.
struct NewEnd {
  EndKind kind;
  double position;      // newEnd, pulses
  std::int32_t amount;  // for register 16: the amount from the move's start, or the end itself
};

// The running move as the override finds it, and the decision taken about it.
struct Course {
  double origEnd = 0;
  int direction = 1;
  double cnt = 0;  // present position
  std::uint32_t state = kStateStopped;
  double stopPoint = 0;
  double nDrem = 0;    // distance handed to the profile
  bool apply = false;  // re-profile
  bool before = true;  // ... while the move goes on, rather than for the way back after a stop
};

bool IsAutomaticRampDown(const MotionContext& context, int axis) {
  return (context.mioProperty[axis] & 1u) != 0;
}

// Reads the running move's end, its state and the pulses it has left (read with the state,
// though neither variant decides by them).
Course CourseInForce(Handle handle, const MotionContext& context, int axis, const NewEnd& end) {
  Course c;
  const auto amountInForce =
      static_cast<std::int32_t>(AxisRegRead(handle, axis, reg::kAmountInForce));
  c.state = OperationState(handle, axis);
  AxisRegRead(handle, axis, reg::kRemainingPulses);
  const double start = context.moveStartPos[axis];
  c.origEnd = end.kind == EndKind::kRelative ? start + amountInForce : amountInForce;
  c.direction = start <= c.origEnd ? 1 : -1;
  c.stopPoint = c.origEnd;
  return c;
}

// Reads where the axis is now; the distance to the new end follows.
void ReadPosition(Handle handle, int axis, const NewEnd& end, Course& c) {
  c.cnt = ReadCounter28(handle, axis, reg::kCounterCommand);
  c.nDrem = std::fabs(end.position - c.cnt);
}

// The new end lies behind the axis in its direction of travel.
bool Passed(const Course& c, const NewEnd& end) {
  return c.direction > 0 ? end.position < c.cnt : c.cnt < end.position;
}

// The new end lies within `s` pulses ahead of the axis (or behind it).
bool WithinStoppingDistance(const Course& c, const NewEnd& end, double s) {
  return c.direction > 0 ? end.position < c.cnt + s : end.position > c.cnt - s;
}

bool ShortOfOriginalEnd(const Course& c, const NewEnd& end) {
  return c.direction > 0 ? end.position < c.origEnd : end.position > c.origEnd;
}

// The axis stops `s` pulses ahead and travels back to the new end from there.
void StopAhead(Course& c, const NewEnd& end, double s) {
  c.stopPoint = c.cnt + c.direction * s;
  c.nDrem = std::fabs(end.position - c.stopPoint);
  c.before = false;
  c.apply = true;
}

// The axis's stored speeds profiled for `distance` pulses, then applied to the running move.
void Reprofile(Handle handle, int axis, const MotionContext& context, double distance,
               bool fromPresentSpeed) {
  SpeedProfileCompute(handle, axis, context, context.startSpeed[axis], context.workSpeed[axis],
                      context.accel[axis], context.decel[axis], ClampToCounter(distance),
                      fromPresentSpeed, false);
  AxisCommand(handle, axis, 0, axiscmd::kApplyProfile);
}

// 1 with the new target recorded, or 0 when the controller refused the change.
int Outcome(Handle handle, MotionContext& context, int axis, double target) {
  if ((AxisStatusRead(handle, axis, 0) & kMainStatusRefused) != 0) return 0;
  context.moveTargetPos[axis] = target;
  return 1;
}

int AutomaticOverride(Handle handle, MotionContext& context, int axis, const NewEnd& end) {
  Course c = CourseInForce(handle, context, axis, end);
  ReadPosition(handle, axis, end, c);
  if (Passed(c, end)) {
    if (c.state == kStateDecelerating) {
      c.nDrem = std::fabs(end.position - c.origEnd);  // it stops at the old end
    } else {
      // It stops after the deceleration of the profile in force and comes back.
      const double high = AxisRegRead(handle, axis, reg::kHighSpeedInForce);
      const double low = AxisRegRead(handle, axis, reg::kStartSpeedInForce);
      const double rate = AxisRegRead(handle, axis, reg::kDecelRateInForce);
      const double m = AxisRegRead(handle, axis, reg::kMagnificationInForce);
      c.nDrem =
          std::fabs(end.position - c.cnt) + RampPulses(context.speedMode[axis], high, low, rate, m);
    }
    c.before = false;
    c.apply = true;
  } else if (c.state == kStateDecelerating) {
    c.apply = true;
  }
  if (c.apply && c.before) Reprofile(handle, axis, context, c.nDrem, true);
  AxisRegWrite(handle, axis, reg::kAmountInForce, static_cast<std::uint32_t>(end.amount));
  if (c.apply && !c.before) Reprofile(handle, axis, context, c.nDrem, false);
  return Outcome(handle, context, axis, end.position);
}

// The profile's values the manual variant estimates with, as whole numbers.
struct StoredProfile {
  double high;
  double start;
  double decelRate;
  double magnification;
};

StoredProfile StoredProfileOf(int axis) {
  const ProfileRecord& p = lastProfile[axis];
  return {std::trunc(p.highSteps), std::trunc(p.startSteps), std::trunc(p.decelRate),
          std::trunc(p.magnification)};
}

double StoppingPulses(const MotionContext& context, int axis, const StoredProfile& p,
                      double fromSteps) {
  return RampPulses(context.speedMode[axis], fromSteps, p.start, p.decelRate, p.magnification);
}

// How long the profile last written for the axis takes to accelerate from its start speed to
// its high speed, in seconds.
double WholeAccelerationSeconds(const MotionContext& context, int axis) {
  const ProfileRecord& p = lastProfile[axis];
  const double divisor = (context.speedMode[axis] & 0xF) == kSpeedModeScurve ? 8.0 : 4.0;
  return (p.accelRate + 1.0) * std::fabs(p.highSteps - p.startSteps) * divisor / kReferenceRate;
}

// Polls the operation state until the axis no longer accelerates, dispatching the thread's
// window messages in blocking mode. Nothing when a read fails or when the axis still
// accelerates after the profile's whole ramp and a margin, in the driver's time: the controller
// does not answer as it should.
std::optional<std::uint32_t> StateAfterAcceleration(Handle handle, const MotionContext& context,
                                                    int axis) {
  const double limitNs =
      std::min((WholeAccelerationSeconds(context, axis) + kAccelerationWaitMargin) * 1e9, 1e15);
  const std::int64_t deadlineNs = DriverClockNs() + static_cast<std::int64_t>(limitNs);
  for (;;) {
    std::uint32_t status = 0;
    if (DriverCall(handle, cmd::kAxisRegRead, axis, reg::kExtendedStatus, &status) == 0) {
      return std::nullopt;
    }
    if ((status & 0xF) != kStateAccelerating) return status & 0xF;
    if (DriverClockNs() >= deadlineNs) return std::nullopt;
    platform::WaitPass(context.pumpMessagesWhileWaiting != 0);
  }
}

// The move goes on and is re-profiled from its present speed for the new remaining distance,
// with the ramp-down point placed by the library.
void ReprofileMovingOn(Handle handle, int axis, const MotionContext& context, const Course& c,
                       const NewEnd& end) {
  ProfileRecord& p = lastProfile[axis];
  p.holdRampDown = 1;
  AxisRegWrite(handle, axis, reg::kRampDownInForce, 0);
  SpeedProfileCompute(handle, axis, context, context.startSpeed[axis], context.workSpeed[axis],
                      context.accel[axis], context.decel[axis], ClampToCounter(c.nDrem), true,
                      false);
  p.holdRampDown = 0;
  AxisCommand(handle, axis, 0, axiscmd::kApplyProfile);
  if (OperationState(handle, axis) == kStateDecelerating)
    p.curSpeedSteps = AxisRegRead(handle, axis, reg::kPresentSpeed) & 0xFFFFu;
  const double total =
      AxisRegRead(handle, axis, reg::kRemainingPulses) + std::fabs(end.position - c.stopPoint);
  double high = static_cast<double>(TopSpeedLimit(context.speedMode[axis], p.curSpeedSteps,
                                                  p.startSteps, p.highSteps, p.accelRate,
                                                  p.decelRate, p.magnification, total));
  if (high == 0) {
    high = p.highSteps;
  } else {
    AxisRegWrite(handle, axis, reg::kHighSpeed, static_cast<std::uint32_t>(high));
  }
  const double squares = std::fabs(high * high - p.startSteps * p.startSteps);
  std::int32_t point =
      Trunc32(squares * ((p.decelRate + 1.0) / ((p.magnification + 1.0) * kRampDistanceDivisor)));
  if (context.speedMode[axis] == kSpeedModeScurve) point *= 2;
  if (point > 2) point -= 2;
  AxisRegWrite(handle, axis, reg::kRampDownPoint, static_cast<std::uint32_t>(point));
  AxisCommand(handle, axis, 0, axiscmd::kApplyProfile);
}

// Prepares the way back as the next operation and sets comparator 3 to start it just before
// the predicted stop. A move to a position goes back to it; a move by a distance goes by the
// amount from the comparison position, where the way back begins.
void PrepareWayBack(Handle handle, int axis, const MotionContext& context, const Course& c,
                    const NewEnd& end) {
  std::uint32_t config = AxisRegRead(handle, axis, reg::kComparatorConfig);
  config = (config & kCompare3Counter) | kCompare3StartsNext;
  const double comparePosition = c.stopPoint - c.direction * kCompareLead;
  config =
      (config & kCompare3Method) | (c.direction < 0 ? kCompare3ReachedDown : kCompare3ReachedUp);
  AxisRegWrite(handle, axis, reg::kComparePosition3,
               static_cast<std::uint32_t>(ClampToCounter(comparePosition)));
  AxisRegWrite(handle, axis, reg::kComparatorConfig, config);
  const double amount =
      end.kind == EndKind::kAbsolute ? end.position : end.position - comparePosition;
  const double distance = end.kind == EndKind::kAbsolute ? c.nDrem : std::fabs(amount);
  AxisRegWrite(handle, axis, reg::kMoveAmount, static_cast<std::uint32_t>(ClampToCounter(amount)));
  SpeedProfileCompute(handle, axis, context, context.startSpeed[axis], context.workSpeed[axis],
                      context.accel[axis], context.decel[axis], ClampToCounter(distance), false,
                      false);
}

int ManualOverride(Handle handle, MotionContext& context, int axis, const NewEnd& end) {
  const StoredProfile profile = StoredProfileOf(axis);
  double s = StoppingPulses(context, axis, profile, profile.high);
  Course c = CourseInForce(handle, context, axis, end);
  if (c.state == kStateStopped) return 0;
  ReadPosition(handle, axis, end, c);
  if (c.state == kStateAccelerating) {
    s = StoppingPulses(context, axis, profile,
                       AxisRegRead(handle, axis, reg::kPresentSpeed) & 0xFFFFu);
    if (WithinStoppingDistance(c, end, s)) {
      StopAhead(c, end, s);
      AxisRegWrite(handle, axis, reg::kRampDownInForce,
                   static_cast<std::uint32_t>(static_cast<std::int32_t>(s)));  // decelerate now
    } else if (ShortOfOriginalEnd(c, end)) {
      // The stopping distance grows until the high speed is reached: decide from there.
      const std::optional<std::uint32_t> state = StateAfterAcceleration(handle, context, axis);
      if (!state || *state == kStateStopped) return 0;
      c.state = *state;
      ReadPosition(handle, axis, end, c);
      s = StoppingPulses(context, axis, profile, profile.high);
    }
  }
  if (c.state == kStateHighSpeed && WithinStoppingDistance(c, end, s)) StopAhead(c, end, s);
  if (c.state == kStateDecelerating) {
    if (ShortOfOriginalEnd(c, end)) {
      c.nDrem = std::fabs(end.position - c.origEnd);  // it stops at the old end
      c.before = false;
    }
    c.apply = true;
  }
  if (!c.apply) {
    // The working speed was changed since the move began: the move takes it on.
    const double resolution = ResolutionOfMagnification(profile.magnification);
    c.apply = std::fabs(profile.high * resolution - context.workSpeed[axis]) > kWorkSpeedTolerance;
  }
  if (c.apply && c.before) ReprofileMovingOn(handle, axis, context, c, end);
  AxisRegWrite(handle, axis, reg::kAmountInForce, static_cast<std::uint32_t>(end.amount));
  if (c.apply && !c.before) PrepareWayBack(handle, axis, context, c, end);
  const double target =
      end.kind == EndKind::kRelative ? context.moveStartPos[axis] + end.amount : end.position;
  return Outcome(handle, context, axis, target);
}

int EndOverride(Handle handle, MotionContext& context, int axis, const NewEnd& end) {
  return IsAutomaticRampDown(context, axis) ? AutomaticOverride(handle, context, axis, end)
                                            : ManualOverride(handle, context, axis, end);
}

// The override of `value` (a distance or a position) on the axis. A value that is not a finite
// number is refused: a NaN or an infinite end would turn into a register value that sends the
// axis somewhere else.
int OverrideTo(Handle handle, int axis, double value, EndKind kind) {
  MotionContext* context = ContextOf(handle);
  if (!AxisValid(context, axis)) return 0;
  const double pulses = std::trunc(value * context->unitDistance[axis]);
  if (!std::isfinite(pulses)) return 0;
  const double position =
      kind == EndKind::kRelative ? pulses + context->moveStartPos[axis] : pulses;
  return EndOverride(handle, *context, axis, {kind, position, ClampToCounter(pulses)});
}

}  // namespace

extern "C" {

int QUORVA_MC_OverrideMove(QUORVA_HANDLE handle, int axis, double distance) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_OverrideMove(0x%x, %d, %.3f)", TraceWord(handle), axis,
               distance);
  return OverrideTo(handle, axis, distance, EndKind::kRelative);
}

int QUORVA_MC_OverrideMoveTo(QUORVA_HANDLE handle, int axis, double position) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_OverrideMoveTo(0x%x, %d, %.3f)", TraceWord(handle), axis,
               position);
  return OverrideTo(handle, axis, position, EndKind::kAbsolute);
}

}  // extern "C"
