#include "motion/core/speed_profile.h"

#include <algorithm>
#include <cmath>

#include "motion/core/axis_primitives.h"
#include "motion/core/last_profile.h"
#include "motion/core/register_conversion.h"

namespace quorva {
namespace {

// Least high-speed steps: a positioning move is given enough steps for a smooth ramp.
constexpr double kLeastStepsConstant = 1.0;
constexpr double kLeastStepsPositioning = 2000.0;
constexpr double kLeastStepsFineStart = 5000.0;
// Ramp time per rate unit and step is 4 (trapezoid) or 8 (S-curve) reference periods.
constexpr double kTrapezoidRateDivisor = 4.0;
constexpr double kScurveRateDivisor = 8.0;
constexpr double kRampDistanceDivisor = 32768.0;
constexpr double kDistanceMargin = 1.08;
constexpr double kSpeedMargin = 0.92;

// Speed state of one pass of the computation.
struct PassSpeeds {
  std::uint32_t magnification;
  double resolution;
  double low;
  double high;
};

struct Rates {
  double accel;  // urr
  double decel;  // drr
};

// A rate register value for a ramp of `diff` steps lasting `seconds`.
double RateValue(double seconds, double diff, double divisor) {
  const double rate = TruncLow32(seconds * kReferenceRate / (diff * divisor) - 1.0);
  return std::clamp(rate, 1.0, 65535.0);
}

// Refines the resolution until the working speed has at least `leastHigh` steps (or the
// magnification is at its largest), then writes the start and high speeds. Each refinement
// writes register 5.
PassSpeeds PassSpeedsWrite(Handle handle, int axis, double resolution, double startSpeed,
                           double workSpeed, double leastHigh, bool fineStart) {
  PassSpeeds s{};
  for (;;) {
    s.magnification = SpeedMagnificationSet(handle, axis, resolution);
    resolution = ResolutionOfMagnification(s.magnification);
    s.high = SpeedStepsLimit(TruncLow32(workSpeed / resolution));
    if (s.magnification >= kMaxMagnification || s.high >= leastHigh) break;
    resolution /= 2.0;
  }
  s.resolution = resolution;
  s.low = fineStart ? 1.0 : static_cast<double>(TruncLow32(startSpeed / resolution));
  if (s.low >= s.high) s.low = std::max(s.high - 1.0, 1.0);
  s.low = SpeedStepsLimit(s.low);
  AxisRegWrite(handle, axis, reg::kStartSpeed, static_cast<std::uint32_t>(s.low));
  AxisRegWrite(handle, axis, reg::kHighSpeed, static_cast<std::uint32_t>(s.high));
  return s;
}

// Rate registers of a trapezoidal or S-curve ramp; a zero rate means an instantaneous change.
Rates RatesWrite(Handle handle, int axis, int mode, double accel, double decel, double diff,
                 double resolution) {
  const double span = std::fabs(diff * resolution);  // pps to gain or lose
  const double divisor = mode == kSpeedModeScurve ? kScurveRateDivisor : kTrapezoidRateDivisor;
  const Rates rates{accel == 0 ? 0.0 : RateValue(span / accel, diff, divisor),
                    decel == 0 ? 1.0 : RateValue(span / decel, diff, divisor)};
  if (mode == kSpeedModeScurve) AxisRegWrite(handle, axis, reg::kScurveAccelSection, 0);
  AxisRegWrite(handle, axis, reg::kAccelRate, static_cast<std::uint32_t>(rates.accel));
  if (mode == kSpeedModeScurve) AxisRegWrite(handle, axis, reg::kScurveDecelSection, 0);
  AxisRegWrite(handle, axis, reg::kDecelRate, static_cast<std::uint32_t>(rates.decel));
  return rates;
}

// Pulses before the target at which deceleration starts, for a manual ramp-down point.
std::int64_t ManualRampDownPoint(int mode, const PassSpeeds& s, double decelRate,
                                 std::int32_t offset) {
  const double squares = std::fabs(s.high * s.high - s.low * s.low);
  const double scale = (s.magnification + 1.0) * kRampDistanceDivisor;
  const std::int32_t ramp = mode == kSpeedModeScurve
                                ? Trunc32(2.0 * squares * (decelRate + 1.0) / scale)
                                : Trunc32(squares * ((decelRate + 1.0) / scale));
  std::int64_t point = static_cast<std::int64_t>(ramp) + offset;
  if (point > 1) point -= 2;
  return std::max<std::int64_t>(point, 0);
}

// Chooses between a manual ramp-down point (register 6 holds it) and the controller's own
// (register 6 holds only the offset). Returns the mode value with bit 13 set accordingly.
std::uint32_t RampDownWrite(Handle handle, int axis, const MotionContext& context, int mode,
                            const PassSpeeds& s, const Rates& rates, double decel,
                            std::int32_t offset, std::uint32_t rmd) {
  if (s.high <= s.low || decel == 0) {
    AxisRegWrite(handle, axis, reg::kRampDownPoint, 0);
    return rmd | kModeManualRampDown;
  }
  const bool automaticAllowed = (context.mioProperty[axis] & 1u) != 0;
  if (!automaticAllowed || rates.decel + 1.0 >= (rates.accel + 1.0) * 2.0) {
    const std::int64_t point = ManualRampDownPoint(mode, s, rates.decel, offset);
    if (lastProfile[axis].holdRampDown == 0)
      AxisRegWrite(handle, axis, reg::kRampDownPoint, static_cast<std::uint32_t>(point));
    return rmd | kModeManualRampDown;
  }
  AxisRegWrite(handle, axis, reg::kRampDownPoint, static_cast<std::uint32_t>(offset));
  return rmd & ~kModeManualRampDown;
}

void ProfileFinish(Handle handle, int axis, std::uint32_t rmd, double cur, const PassSpeeds& s,
                   const Rates& rates) {
  AxisRegWrite(handle, axis, reg::kMode, rmd);
  ProfileRecord& record = lastProfile[axis];
  record.curSpeedSteps = cur;
  record.startSteps = s.low;
  record.highSteps = s.high;
  record.accelRate = rates.accel;
  record.decelRate = rates.decel;
  record.magnification = s.magnification;
}

}  // namespace

double ResolutionOfMagnification(double magnification) {
  return kReferenceRate / ((magnification + 1.0) * 65536.0);
}

void ResolutionRegistersWrite(Handle handle, int axis, const MotionContext& context) {
  if (!AxisInTables(axis)) return;
  const double resolution = context.speedResolution[axis];
  AxisRegWrite(handle, axis, reg::kMagnification,
               TruncLow32(kReferenceRate / (resolution * 65535.0) - 1.0));
  AxisRegWrite(handle, axis, reg::kCorrectionSpeed,
               TruncLow32(context.correctionSpeed[axis] / resolution));
}

void ScurveBitUpdate(Handle handle, int axis, int speedMode) {
  const int mode = speedMode & 0xF;
  if (mode == kSpeedModeTrapezoid) AxisModeUpdate(handle, axis, -1, 0, kModeScurveAccel);
  if (mode == kSpeedModeScurve)
    AxisModeUpdate(handle, axis, -1, static_cast<int>(kModeScurveAccel), kModeScurveAccel);
}

void PreliminarySpeedsWrite(Handle handle, int axis, double startSpeed, double workSpeed,
                            double resolution) {
  AxisRegWrite(handle, axis, reg::kStartSpeed,
               static_cast<std::uint32_t>(SpeedStepsLimit(Trunc32(startSpeed / resolution))));
  AxisRegWrite(handle, axis, reg::kHighSpeed,
               static_cast<std::uint32_t>(SpeedStepsLimit(Trunc32(workSpeed / resolution))));
  AxisModeUpdate(handle, axis, -1, 0, kModeProfileReset);
}

void AxisProfilePrepare(Handle handle, int axis, const MotionContext& context, int distance,
                        bool apply, bool overrideSpeed, bool fineStart) {
  if (!AxisValid(&context, axis)) return;
  ResolutionRegistersWrite(handle, axis, context);
  ScurveBitUpdate(handle, axis, context.speedMode[axis]);
  PreliminarySpeedsWrite(handle, axis, context.startSpeed[axis], context.workSpeed[axis],
                         context.speedResolution[axis]);
  SpeedProfileCompute(handle, axis, context, context.startSpeed[axis], context.workSpeed[axis],
                      context.accel[axis], context.decel[axis], distance, overrideSpeed, fineStart);
  if (apply) AxisCommand(handle, axis, 0, axiscmd::kApplyProfile);
}

void SpeedProfileCompute(Handle handle, int axis, const MotionContext& context, double startSpeed,
                         double workSpeed, double accel, double decel, int distance,
                         bool overrideSpeed, bool fineStart) {
  if (!AxisValid(&context, axis)) return;
  const double leastHigh = distance == 0 ? kLeastStepsConstant
                           : fineStart   ? kLeastStepsFineStart
                                         : kLeastStepsPositioning;
  const std::int32_t offset = Trunc32(context.rampDownOffset[axis] * context.unitDistance[axis]);
  const double oldResolution =
      overrideSpeed
          ? ResolutionOfMagnification(AxisRegRead(handle, axis, reg::kMagnificationInForce))
          : 0.0;
  const int mode = context.speedMode[axis] & 0xF;
  double resolution = context.speedResolution[axis];
  bool retried = false;
  for (;;) {
    PassSpeeds s =
        PassSpeedsWrite(handle, axis, resolution, startSpeed, workSpeed, leastHigh, fineStart);
    resolution = s.resolution;
    workSpeed = s.high * resolution;
    const double cur = overrideSpeed ? (AxisRegRead(handle, axis, reg::kPresentSpeed) & 0xFFFFu) *
                                           (oldResolution / resolution)
                                     : s.low;
    const double diff = std::fabs(s.high - s.low);
    if (diff == 0) return;
    if (mode == kSpeedModeConstant) {
      AxisRegWrite(handle, axis, reg::kRampDownPoint, 0);
      return;
    }
    if (mode != kSpeedModeTrapezoid && mode != kSpeedModeScurve) return;
    std::uint32_t rmd = AxisRegRead(handle, axis, reg::kMode);
    const Rates rates = RatesWrite(handle, axis, mode, accel, decel, diff, resolution);
    if (distance == 0) {
      rmd &= ~(kModeManualRampDown | kModeSpeedLowered);
      AxisRegWrite(handle, axis, reg::kRampDownPoint, 0);
      ProfileFinish(handle, axis, rmd, cur, s, rates);
      return;
    }
    rmd |= kModeManualRampDown;
    const double newHigh = std::clamp<double>(TopSpeedLimit(mode, cur, s.low, s.high, rates.accel,
                                                            rates.decel, s.magnification, distance),
                                              kMinSpeedSteps, kMaxSpeedSteps);
    if (newHigh > s.low && std::fabs(newHigh - s.high) > 1.0) {
      rmd |= kModeSpeedLowered;
      s.high = newHigh;
      workSpeed = s.high * resolution;
      AxisRegWrite(handle, axis, reg::kHighSpeed, static_cast<std::uint32_t>(newHigh));
      // The whole computation runs once more for the lowered speed; the mode bits of this
      // pass are not carried over, since register 7 has not been written yet.
      if (!retried) {
        retried = true;
        continue;
      }
    }
    rmd = RampDownWrite(handle, axis, context, mode, s, rates, decel, offset, rmd);
    ProfileFinish(handle, axis, rmd, cur, s, rates);
    return;
  }
}

std::uint32_t SpeedMagnificationSet(Handle handle, int axis, double resolution) {
  const std::uint32_t m = std::clamp(TruncLow32(kReferenceRate / (resolution * 65536.0) - 1.0),
                                     kMinMagnification, kMaxMagnification);
  AxisRegWrite(handle, axis, reg::kMagnification, m);
  return m;
}

std::int32_t RampPulses(int mode, double highSteps, double otherSteps, double rate,
                        double magnification) {
  if (mode == kSpeedModeConstant) return 0;
  const double squares = std::fabs(highSteps * highSteps - otherSteps * otherSteps);
  if (mode == kSpeedModeScurve)
    return Trunc32(squares / (magnification + 1.0) * ((rate + 1.0) * 2.0) / kRampDistanceDivisor);
  return Trunc32(squares / (magnification + 1.0) * (rate + 1.0) / kRampDistanceDivisor);
}

std::int64_t TopSpeedLimit(int mode, double curSteps, double startSteps, double highSteps,
                           double accelRate, double decelRate, double magnification,
                           double distance) {
  const double d = std::fabs(distance);
  if (d < 2.0) return 0;
  if (curSteps > highSteps) return TruncLow32(highSteps);
  const double a = RampPulses(mode, highSteps, curSteps, accelRate, magnification);
  const double b = RampPulses(mode, highSteps, startSteps, decelRate, magnification);
  if ((a + b) * kDistanceMargin < d) return 0;
  const double t = accelRate + decelRate + 2.0;
  const double scaled = (magnification + 1.0) * kRampDistanceDivisor * d;
  const double rampPart = mode == kSpeedModeScurve ? scaled / (t * 2.0) : scaled / t;
  const double speedPart =
      ((accelRate + 1.0) * (curSteps * curSteps) + (decelRate + 1.0) * (startSteps * startSteps)) /
      t;
  const std::uint32_t top = TruncLow32(std::sqrt(rampPart + speedPart));
  if (top == 1) return 1;
  return Trunc32(top * kSpeedMargin);
}

}  // namespace quorva
