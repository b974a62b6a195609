// Starting, stopping and planning the moves of one axis, and the registers they publish.
//
// Model: a start copies pre-registers 0-7 into the registers in force 16-23 and runs the
// operation code in the low byte of the mode in force (0x00/0x02 continuous positive, 0x08
// continuous negative, 0x41/0x56 relative, 0x42 absolute, the home searches of home_search.h;
// any other code starts nothing).
// Speeds are step counts of 19660800 / ((M + 1) × 65536) pulses per second; a ramp over n
// steps with rate value r lasts (r + 1) × n × 4 / 19660800 seconds, eight instead of four
// with the S-curve bit (mode bit 10). Start code 0x51 runs at the high speed without ramps,
// 0x52 starts at the high speed and decelerates before the end, 0x53 accelerates from the
// start speed and decelerates. The deceleration begins where the remaining pulses fall to
// register 22 (mode bit 13 set) or to the deceleration distance plus the signed offset in
// register 22 (bit 13 clear); it ends at the start speed, which is kept to the end. When the
// remaining distance leaves no room for both ramps the axis turns back down before reaching
// the high speed (a triangular profile).
//
// Choices where a real controller leaves room:
// - A start on a busy axis (running or waiting) is ignored; the axis keeps its move.
// - Command 0x4A decelerates from the present speed to the start speed and stops, whatever
//   the start code; 0x05 and 73 stop at once on the last whole pulse; 4 and 38 also clear
//   the stop causes.
// - Writing a register in force (16-23), the counters, register 28 or the soft-limit
//   registers while an axis runs re-plans the move from its present position and speed;
//   command 43 first copies pre-registers 1-6 to 17-22. An end that can no longer be reached
//   (behind the axis, or nearer than it needs to stop) makes the axis decelerate to a stop and
//   then travel back to it with the speed registers in force, as a second leg of the move (an
//   axis on an interpolated path stops where it is).
// - Comparator 3 set to start the next operation (register 31 bits 16-22: command counter,
//   reached counting down (4) or up (5), start (3)) ends the running move at the instant its
//   counter reaches register 41 and starts the operation in the pre-registers there. It acts
//   once, for the move during which it was set, and only when the counter was short of the
//   position then.
// - The start condition of the mode in force (bits 18-19) holds a started move: 1 until the
//   start signal, 2 and 3 until the signal or the stop of another axis (start_conditions.h).
//   Operation codes that follow the pulser input are modelled in pulser_input.h.
// - The acceleration rate in force is kept in register 19.
// - End limits and soft limits stop the axis exactly at their position (an end limit with
//   the EL flag, bit 3 of register 28, decelerates from there instead). A start towards an
//   active limit, or with the alarm on, starts nothing and records the cause.
#include "sim/motion/axis_controller.h"

#include <algorithm>
#include <cmath>

#include "sim/motion/compare_outputs.h"
#include "sim/motion/home_search.h"
#include "sim/motion/interrupts.h"
#include "sim/motion/pulser_input.h"
#include "sim/motion/start_conditions.h"

namespace quorva::sim {
namespace {

constexpr double kReferenceRate = 19660800.0;
constexpr std::uint32_t kCounterMask = 0x0FFFFFFF;
constexpr std::uint32_t kStateMask = 0xF;
constexpr std::uint32_t kModeSCurve = 1u << 10;
constexpr std::uint32_t kModeManualRampDown = 1u << 13;
constexpr int kStartConditionShift = 18;
constexpr std::uint32_t kOnStartSignal = 1;
// Comparator 3 in register 31: counter (bits 16-17), method (18-20), action (21-22).
constexpr int kCompare3Shift = 16;
constexpr std::uint32_t kCompareCommandCounter = 0;
constexpr std::uint32_t kCompareReachedDown = 4;
constexpr std::uint32_t kCompareReachedUp = 5;
constexpr std::uint32_t kCompareStartsNext = 3;
// An end nearer than the stopping distance by more than this cannot be reached.
constexpr double kReachTolerance = 1.0;  // pulses
constexpr std::uint32_t kEnvironmentElDecelerates = 1u << 3;
constexpr std::uint32_t kStartWithoutRamps = 0x51;
constexpr std::uint32_t kStartWithRamps = 0x53;
// Comparator 1 (bits 0-6) or 2 (bits 8-14) of register 31 set as a soft limit: fields 0, 6, 1.
constexpr std::uint32_t kSoftLimitFields = 0x38;

enum class Operation { kNone, kContinuous, kRelative, kAbsolute, kHomeSearch, kPulser };

Operation OperationOf(std::uint32_t mode) {
  if (IsPulserOperation(mode & 0xFF)) return Operation::kPulser;
  switch (mode & 0xFF) {
    case 0x00:
    case 0x02:
    case 0x08:
      return Operation::kContinuous;
    case 0x41:
    case 0x56:
      return Operation::kRelative;
    case 0x42:
      return Operation::kAbsolute;
    default:
      return IsHomeSearch(mode) ? Operation::kHomeSearch : Operation::kNone;
  }
}

std::uint32_t Wrap28(std::int64_t value) {
  return static_cast<std::uint32_t>(value) & kCounterMask;
}

double Seconds(std::int64_t ns) {
  return static_cast<double>(ns) * 1e-9;
}

std::uint32_t Reg(const SimAxis& axis, std::uint32_t number) {
  return axis.registers[number];
}

double SpeedOf(const SimAxis& axis, std::uint32_t number) {
  return std::max<std::uint32_t>(1, Reg(axis, number) & 0xFFFF) * StepPps(axis);
}

// Mean rate of change of a ramp, pulses per second per second.
double RampRate(const SimAxis& axis, std::uint32_t number) {
  const double rate = Reg(axis, number) & 0xFFFF;
  const double divisor = (Reg(axis, reg::kModeInForce) & kModeSCurve) != 0 ? 8 : 4;
  return StepPps(axis) * kReferenceRate / (divisor * (rate + 1));
}

bool Beyond(std::int64_t position, std::int64_t limit, int direction) {
  return direction > 0 ? position >= limit : position <= limit;
}

// Where a positioning move ends: the amount in force from where the operation began, or the
// amount as a position.
std::int64_t TargetPosition(const SimAxis& axis) {
  const std::int64_t amount = static_cast<std::int32_t>(Reg(axis, reg::kAmountInForce));
  return OperationOf(Reg(axis, reg::kModeInForce)) == Operation::kAbsolute
             ? amount
             : axis.motion.operationOrigin + amount;
}

// End of a positioning move, in pulses from the start of its present leg along its direction.
double EndOf(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  return static_cast<double>((TargetPosition(axis) - m.commandOrigin) * m.direction);
}

// The nearest switch or soft limit ahead of a moving axis.
struct Limit {
  double distance = kEndless;
  bool decelerates = false;
  std::uint32_t cause = 0;
};

Limit LimitAhead(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  Limit nearest;
  const auto consider = [&](std::int64_t position, std::uint32_t cause, bool decelerates) {
    const double distance = static_cast<double>((position - m.commandOrigin) * m.direction);
    if (distance < nearest.distance) nearest = {distance, decelerates, cause};
  };
  const bool elDecelerates = (Reg(axis, reg::kEnvironment1) & kEnvironmentElDecelerates) != 0;
  if (m.direction > 0 ? m.hasPlusLimit : m.hasMinusLimit) {
    consider(m.direction > 0 ? m.plusLimit : m.minusLimit, kStatusStopEndLimit, elDecelerates);
  }
  if (SoftLimitEnabled(axis, m.direction)) {
    consider(SoftLimitPosition(axis, m.direction), kStatusStopSoftLimit, false);
  }
  // A search's origin comes first, also when it is the end limit itself.
  const double origin = HomeOriginDistance(axis);
  if (origin <= nearest.distance && origin < kEndless) nearest = {origin, false, kCauseHomeOrigin};
  return nearest;
}

// Why a move in the axis's direction cannot start now; 0 when it can. An axis on a path has
// no one direction: only its alarm holds it.
std::uint32_t BlockingCause(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  if ((m.inputs >> QUORVA_SIM_INPUT_ALARM & 1u) != 0) return kStatusStopAlarm;
  if (m.path.active) return 0;
  if (EndLimitActive(axis, m.direction)) return kStatusStopEndLimit;
  if (SoftLimitEnabled(axis, m.direction) &&
      Beyond(CommandPosition(axis), SoftLimitPosition(axis, m.direction), m.direction)) {
    return kStatusStopSoftLimit;
  }
  return 0;
}

// The speed settings the move runs with: the axis's own, or those of the axis driving its path.
ProfileInputs MoveSpeeds(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  return m.path.active ? m.path.drive : SpeedSettingsOf(axis, m.startCode);
}

// The speed a move starts with: the start speed with an acceleration ramp, else the high speed.
double InitialSpeed(const SimAxis& axis) {
  const ProfileInputs speeds = MoveSpeeds(axis);
  return speeds.rampUp ? speeds.startSpeed : speeds.highSpeed;
}

// Pulses the axis travels before it comes to rest, decelerating from its present speed.
double StoppingDistance(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  ProfileInputs in = MoveSpeeds(axis);
  in.distance = m.distance;
  in.speed = m.speed;
  in.stopping = true;
  return PlanProfile(in).plan.EndDistance() - m.distance;
}

// The new end of a running positioning move is still ahead, far enough to stop in time.
bool EndReachable(const SimAxis& axis) {
  const double ahead = EndOf(axis) - axis.motion.distance;
  return ahead >= 0 && StoppingDistance(axis) <= ahead + kReachTolerance;
}

// The distance into the present leg at which comparator 3's counter condition comes to hold,
// or infinity when the axis moves away from it.
double CompareDistance(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  const std::uint32_t method = Reg(axis, reg::kEnvironment4) >> (kCompare3Shift + 2) & 7;
  const int reachedFrom = method == kCompareReachedUp ? 1 : method == kCompareReachedDown ? -1 : 0;
  if (reachedFrom != m.direction) return kEndless;
  const std::int64_t position = SignExtend28(Reg(axis, reg::kComparePosition3));
  return static_cast<double>((position - m.commandOrigin) * m.direction);
}

// Comparator 3 is set to start the next operation of a single move and the counter has not
// reached it yet.
bool CompareStartSet(const SimAxis& axis) {
  const std::uint32_t field = Reg(axis, reg::kEnvironment4) >> kCompare3Shift;
  const double distance = CompareDistance(axis);
  return !axis.motion.path.active && (field & 3) == kCompareCommandCounter &&
         (field >> 5 & 3) == kCompareStartsNext && std::isfinite(distance) &&
         distance > std::floor(axis.motion.distance);
}

// Seconds after the plan's origin at which comparator 3 starts the next operation; infinity
// when it does not.
double CompareStartTime(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  return m.compareStartArmed ? m.plan.TimeToReach(CompareDistance(axis)) : kEndless;
}

}  // namespace

// Writes the counters, remaining pulses, speed and state of the present motion.
void Publish(SimAxis& axis) {
  AxisMotion& m = axis.motion;
  const bool running = m.phase == AxisMotion::Phase::kRunning;
  const auto pulses = static_cast<std::int64_t>(std::floor(m.distance));
  const std::int64_t travelled = TravelledAt(m, m.distance);
  axis.registers[reg::kCommandCounter] = Wrap28(m.commandOrigin + travelled);
  axis.registers[reg::kActualCounter] = Wrap28(m.actualOrigin + travelled);
  axis.registers[reg::kRemaining] = m.positioning
                                        ? static_cast<std::uint32_t>(std::max<std::int64_t>(
                                              0, static_cast<std::int64_t>(m.end) - pulses))
                                        : 0;
  const double step = m.path.active ? m.path.stepPps : StepPps(axis);
  axis.registers[reg::kSpeed] =
      running ? static_cast<std::uint32_t>(std::min(65535.0, std::round(m.speed / step))) : 0;
  std::uint32_t status = 0;
  if (running) status = kStatusRunning | m.state;
  if (m.phase == AxisMotion::Phase::kWaiting) status = kStatusWaiting;
  std::uint32_t& word = axis.registers[reg::kExtendedStatus];
  word = (word & ~(kStateMask | kStatusRunning | kStatusWaiting)) | status;
}

void Finish(SimAxis& axis, std::uint32_t cause, std::int64_t endNs) {
  AxisMotion& m = axis.motion;
  m.phase = AxisMotion::Phase::kIdle;
  m.speed = 0;
  m.state = kStateStopped;
  m.stopping = false;
  m.stopCauses |= cause;
  m.endNs = endNs;
  Publish(axis);
  MoveEndInterrupt(axis, cause);
}

namespace {

void Launch(SimAxis& axis, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  const std::uint32_t cause = BlockingCause(axis);
  if (cause != 0 || ErrorPending(axis)) {
    m.phase = AxisMotion::Phase::kIdle;
    m.stopCauses = cause;
    Publish(axis);
    MoveEndInterrupt(axis, cause);
    return;
  }
  m.phase = AxisMotion::Phase::kRunning;
  m.startNs = nowNs;
  m.speed = InitialSpeed(axis);
  if (axis.pulser.following) BeginPulserOperation(axis, nowNs);
  Replan(axis, nowNs);
  SettleAxis(axis, nowNs);
}

// Comparator 3 reached at `atNs`: the move ends there and the prepared operation starts.
void StartPreparedOperation(SimAxis& axis, std::int64_t atNs) {
  AxisMotion& m = axis.motion;
  m.distance = CompareDistance(axis);
  TrackComparators(axis);
  Finish(axis, 0, atNs);
  StartAxis(axis, m.startCode, atNs);
}

// The stop of an overshooting leg at `atNs`: the axis travels back to the end in force.
void TravelBack(SimAxis& axis, std::int64_t atNs) {
  TrackComparators(axis);
  AxisMotion& m = axis.motion;
  const std::int64_t travelled = TravelledAt(m, m.distance);
  m.commandOrigin += travelled;
  m.actualOrigin += travelled;
  m.distance = 0;
  m.overshooting = false;
  m.compareStartArmed = false;
  const std::int64_t target = TargetPosition(axis);
  if (target == m.commandOrigin) {
    Finish(axis, 0, atNs);
    return;
  }
  m.direction = target > m.commandOrigin ? 1 : -1;
  m.speed = InitialSpeed(axis);
  Replan(axis, atNs);
}

}  // namespace

std::int64_t SignExtend28(std::uint32_t value) {
  const std::int64_t field = value & kCounterMask;
  return (field & 0x08000000) != 0 ? field - 0x10000000 : field;
}

bool SoftLimitEnabled(const SimAxis& axis, int direction) {
  const int shift = direction > 0 ? 8 : 0;
  return (Reg(axis, reg::kEnvironment4) >> shift & 0x7F) == kSoftLimitFields;
}

std::int64_t SoftLimitPosition(const SimAxis& axis, int direction) {
  return SignExtend28(Reg(axis, direction > 0 ? reg::kSoftLimitPlus : reg::kSoftLimitMinus));
}

bool EndLimitActive(const SimAxis& axis, int direction) {
  const AxisMotion& m = axis.motion;
  const int signal = direction > 0 ? QUORVA_SIM_INPUT_EL_PLUS : QUORVA_SIM_INPUT_EL_MINUS;
  if ((m.inputs >> signal & 1u) != 0) return true;
  const bool has = direction > 0 ? m.hasPlusLimit : m.hasMinusLimit;
  return has &&
         Beyond(CommandPosition(axis), direction > 0 ? m.plusLimit : m.minusLimit, direction);
}

std::int64_t CommandPosition(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  if (m.phase == AxisMotion::Phase::kIdle) return SignExtend28(Reg(axis, reg::kCommandCounter));
  return m.commandOrigin + TravelledAt(m, m.distance);
}

double ExactPosition(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  if (m.phase == AxisMotion::Phase::kIdle) return static_cast<double>(CommandPosition(axis));
  if (m.path.active) {
    return static_cast<double>(m.commandOrigin) + m.path.shape.Offset(m.path.axis, m.distance);
  }
  return static_cast<double>(CommandPosition(axis)) +
         m.direction * (m.distance - std::floor(m.distance));
}

// An axis on a path counts its nearest pulse, so that it never strays from the path by more
// than half a pulse; a single move counts the pulses it has output.
std::int64_t TravelledAt(const AxisMotion& m, double distance) {
  if (m.path.active) return std::llround(m.path.shape.Offset(m.path.axis, distance));
  return m.direction * static_cast<std::int64_t>(std::floor(distance));
}

double SpeedPps(const SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  if (m.phase != AxisMotion::Phase::kRunning) return 0.0;
  return m.path.active ? m.speed * m.path.shape.SpeedShare(m.path.axis, m.distance) : m.speed;
}

bool ErrorPending(const SimAxis& axis) {
  return (Reg(axis, reg::kErrorStatus) & kErrorBits) != 0;
}

double StepPps(const SimAxis& axis) {
  const double m = Reg(axis, reg::kMagnification) & 0xFFF;
  return kReferenceRate / ((m + 1) * 65536);
}

ProfileInputs SpeedSettingsOf(const SimAxis& axis, std::uint32_t startCode) {
  const std::uint32_t mode = Reg(axis, reg::kModeInForce);
  ProfileInputs in;
  in.startSpeed = SpeedOf(axis, reg::kStartSpeed);
  in.highSpeed = SpeedOf(axis, HighSpeedRegister(axis));
  in.accelRate = RampRate(axis, reg::kAccelRate);
  in.decelRate = RampRate(axis, reg::kDecelRate);
  in.smooth = (mode & kModeSCurve) != 0;
  in.rampUp = startCode == kStartWithRamps;
  in.rampDown = startCode != kStartWithoutRamps;
  in.rampDownMode =
      (mode & kModeManualRampDown) != 0 ? RampDownMode::kManual : RampDownMode::kAutomatic;
  in.rampDownPulses = static_cast<std::int32_t>(Reg(axis, reg::kRampDown));
  return in;
}

void SettleAxis(SimAxis& axis, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  // Comparators are tracked over what ran while the axis was running.
  if (m.phase != AxisMotion::Phase::kRunning) return;
  while (m.phase == AxisMotion::Phase::kRunning) {
    if (FollowsPulser(axis)) {
      SettlePulserOperation(axis, nowNs);
      return;
    }
    const double elapsed = Seconds(nowNs - m.planOriginNs);
    if (const double at = CompareStartTime(axis); at <= elapsed) {
      StartPreparedOperation(axis, m.planOriginNs + std::llround(at * 1e9));
      continue;
    }
    const MotionSample sample = m.plan.At(elapsed);
    m.distance = std::max(m.distance, sample.distance);  // sampling never runs backwards
    m.speed = sample.speed;
    m.state = sample.state;
    if (!sample.finished) {
      Publish(axis);
      TrackComparators(axis);
      return;
    }
    m.distance = sample.distance;
    const std::int64_t endNs = m.planOriginNs + std::llround(m.plan.EndTime() * 1e9);
    if (ContinueHomeSearch(axis, endNs)) continue;
    if (m.overshooting && !m.stopping && m.causeAtEnd == 0) {
      TravelBack(axis, endNs);
    } else {
      Finish(axis, m.causeAtEnd, endNs);
    }
  }
  TrackComparators(axis);
}

void Replan(SimAxis& axis, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  if (m.phase != AxisMotion::Phase::kRunning || FollowsPulser(axis)) return;
  ProfileInputs in = MoveSpeeds(axis);
  in.distance = m.distance;
  in.speed = m.speed;
  in.stopping = m.stopping;
  if (m.positioning) {
    m.end = m.path.active ? m.path.shape.Length() : EndOf(axis);
    // An end behind the axis: stop as soon as possible; a single move then travels back to it.
    const bool behind = m.end < m.distance;
    if (behind && !m.path.active) m.overshooting = true;
    if (behind || m.overshooting) {
      in.stopping = true;
    } else {
      in.end = m.end;
    }
  }
  // Limit positions lie along one direction; a path has none, so they are not watched.
  const Limit limit = m.path.active ? Limit{} : LimitAhead(axis);
  in.limit = limit.distance;
  in.limitDecelerates = limit.decelerates;
  const PlannedMove planned = PlanProfile(in);
  m.plan = planned.plan;
  m.planOriginNs = nowNs;
  m.causeAtEnd = planned.endsAtLimit ? limit.cause : (m.stopping ? m.stoppingCause : 0);
}

void CopyPreRegisters(SimAxis& axis) {
  // A home search keeps register 16: it holds the search's offset.
  const std::uint32_t first =
      IsHomeSearch(axis.registers[reg::kMode]) ? reg::kAmount + 1 : reg::kAmount;
  for (std::uint32_t r = first; r <= reg::kMode; ++r)
    axis.registers[reg::kAmountInForce + r] = axis.registers[r];
}

void PrepareMove(SimAxis& axis, std::uint32_t startCode) {
  AxisMotion& m = axis.motion;
  m.startCode = startCode;
  m.path.active = false;
  m.stopping = false;
  m.stoppingCause = 0;
  m.causeAtEnd = 0;
  m.stopCauses = 0;
  m.overshooting = false;
  m.compareStartArmed = false;
  m.overrideRefused = false;
  axis.pulser.following = false;
  m.startCondition = Reg(axis, reg::kModeInForce) >> kStartConditionShift & 3;
  m.commandOrigin = SignExtend28(Reg(axis, reg::kCommandCounter));
  m.actualOrigin = SignExtend28(Reg(axis, reg::kActualCounter));
  m.operationOrigin = m.commandOrigin;
  m.distance = 0;
  m.speed = 0;
  m.state = kStateStopped;
  BeginHomeSearch(axis);
}

void BeginMove(SimAxis& axis, bool waitForSignal, std::int64_t nowNs) {
  if (waitForSignal) {
    AxisMotion& m = axis.motion;
    if (m.startCondition == 0) m.startCondition = kOnStartSignal;
    HoldForStartCondition(axis, nowNs);
    Publish(axis);
    return;
  }
  Launch(axis, nowNs);
}

void StartAxis(SimAxis& axis, std::uint32_t startCode, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  if (m.phase != AxisMotion::Phase::kIdle) return;  // a busy axis ignores a second start
  CopyPreRegisters(axis);
  const std::uint32_t mode = Reg(axis, reg::kModeInForce);
  const Operation operation = OperationOf(mode);
  if (operation == Operation::kNone) return;
  PrepareMove(axis, startCode);
  m.positioning = operation == Operation::kRelative || operation == Operation::kAbsolute;
  axis.pulser.following = operation == Operation::kPulser;
  const std::int64_t amount = static_cast<std::int32_t>(Reg(axis, reg::kAmountInForce));
  switch (operation) {
    case Operation::kContinuous:
      m.direction = (mode & 0xFF) == 0x08 ? -1 : 1;
      break;
    case Operation::kRelative:
      m.direction = amount < 0 ? -1 : 1;
      break;
    case Operation::kHomeSearch:
      m.direction = HomeSearchDirection(mode);
      break;
    case Operation::kAbsolute:
      m.direction = amount < m.commandOrigin ? -1 : 1;
      break;
    default:
      m.direction = 1;  // a pulser operation takes its direction when it begins to follow
      break;
  }
  m.end = m.positioning ? EndOf(axis) : kEndless;
  BeginMove(axis, m.startCondition != 0, nowNs);
}

void ReleaseAxis(SimAxis& axis, std::int64_t nowNs) {
  if (axis.motion.startCondition == kOnStartSignal) StartWaitingAxis(axis, nowNs);
}

void StartWaitingAxis(SimAxis& axis, std::int64_t atNs) {
  if (axis.motion.phase == AxisMotion::Phase::kWaiting) Launch(axis, atNs);
}

void StopAxisNow(SimAxis& axis, std::uint32_t cause, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  if (m.phase == AxisMotion::Phase::kIdle) return;
  m.distance = std::floor(m.distance);
  Finish(axis, cause, nowNs);
}

void DecelerateAxis(SimAxis& axis, std::uint32_t cause, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  if (m.phase == AxisMotion::Phase::kWaiting || FollowsPulser(axis))
    StopAxisNow(axis, cause, nowNs);
  if (m.phase != AxisMotion::Phase::kRunning || m.stopping) return;
  m.stopping = true;
  m.stoppingCause = cause;
  Replan(axis, nowNs);
  SettleAxis(axis, nowNs);
}

void ApplyPreRegisters(SimAxis& axis, std::int64_t nowNs) {
  if (axis.motion.phase == AxisMotion::Phase::kIdle) return;
  for (std::uint32_t r = reg::kStartSpeed; r <= reg::kRampDown; ++r)
    axis.registers[r] = axis.registers[r - reg::kAmountInForce];
  Replan(axis, nowNs);
  SettleAxis(axis, nowNs);
}

void ResetAxis(SimAxis& axis, std::int64_t nowNs) {
  StopAxisNow(axis, 0, nowNs);
  axis.motion.stopCauses = 0;
  axis.registers[reg::kErrorStatus] = 0;
}

void AfterRegisterWrite(SimAxis& axis, std::uint32_t number, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  const bool positioning = m.phase != AxisMotion::Phase::kIdle && m.positioning;
  if (number == reg::kAmountInForce) m.overrideRefused = !positioning;
  if (m.phase == AxisMotion::Phase::kIdle) return;
  if (FollowsPulser(axis)) {
    PulserRegisterWritten(axis, number, nowNs);
    return;
  }
  const std::int64_t travelled = TravelledAt(m, m.distance);
  if (number == reg::kCommandCounter) {
    const std::int64_t origin = SignExtend28(Reg(axis, number)) - travelled;
    m.operationOrigin += origin - m.commandOrigin;  // the whole operation moves with the counter
    m.commandOrigin = origin;
  } else if (number == reg::kActualCounter) {
    m.actualOrigin = SignExtend28(Reg(axis, number)) - travelled;
  }
  const bool shapesTheMove = (number >= reg::kAmountInForce && number <= reg::kModeInForce) ||
                             number == reg::kCommandCounter || number == reg::kEnvironment1 ||
                             number == reg::kEnvironment4 || number == reg::kSoftLimitMinus ||
                             number == reg::kSoftLimitPlus;
  if (number == reg::kEnvironment4 || number == reg::kComparePosition3)
    m.compareStartArmed = CompareStartSet(axis);
  if (!shapesTheMove) return;
  if (number == reg::kAmountInForce && positioning && !m.path.active &&
      m.phase == AxisMotion::Phase::kRunning) {
    m.overshooting = !EndReachable(axis);
  }
  Replan(axis, nowNs);
  SettleAxis(axis, nowNs);
}

void SetInputSignal(SimAxis& axis, int signal, bool active, std::int64_t nowNs) {
  AxisMotion& m = axis.motion;
  if (active) {
    m.inputs |= 1u << signal;
  } else {
    m.inputs &= ~(1u << signal);
  }
  if (!active || m.phase != AxisMotion::Phase::kRunning) return;
  if (signal == QUORVA_SIM_INPUT_ALARM) {
    StopAxisNow(axis, kStatusStopAlarm, nowNs);
    return;
  }
  if (m.path.active) return;  // end limits lie along one direction; a path has none
  const bool ahead = (signal == QUORVA_SIM_INPUT_EL_PLUS && m.direction > 0) ||
                     (signal == QUORVA_SIM_INPUT_EL_MINUS && m.direction < 0);
  if (!ahead) return;
  if ((Reg(axis, reg::kEnvironment1) & kEnvironmentElDecelerates) != 0) {
    DecelerateAxis(axis, kStatusStopEndLimit, nowNs);
  } else {
    StopAxisNow(axis, kStatusStopEndLimit, nowNs);
  }
}

}  // namespace quorva::sim
