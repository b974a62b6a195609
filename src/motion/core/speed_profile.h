// The speed-profile computation: turns an axis's stored speed settings into the controller's
// magnification, speed, rate, ramp-down and mode registers before a move. Its pieces are used
// on their own by speed override, interpolation and helical moves.
#pragma once

#include <cstdint>

#include "device/driver_call.h"
#include "motion/core/motion_context.h"

namespace quorva {

namespace reg {
inline constexpr int kStartSpeed = 1;
inline constexpr int kHighSpeed = 2;
inline constexpr int kAccelRate = 3;
inline constexpr int kDecelRate = 4;
inline constexpr int kMagnification = 5;  // loaded by the next start
inline constexpr int kRampDownPoint = 6;
inline constexpr int kScurveAccelSection = 9;
inline constexpr int kScurveDecelSection = 10;
inline constexpr int kMagnificationInForce = 21;
inline constexpr int kCorrectionSpeed = 27;
inline constexpr int kPresentSpeed = 53;  // low 16 bits: present speed in steps
}  // namespace reg

namespace axiscmd {
// Makes freshly written speed registers take effect on a running axis.
inline constexpr std::uint32_t kApplyProfile = 43;
}  // namespace axiscmd

// Reference rate of the speed registers: one step at magnification M is this / ((M + 1) ×
// 65536) pulses per second.
inline constexpr double kReferenceRate = 19660800.0;

// Low 4 bits of `speedMode`.
inline constexpr int kSpeedModeConstant = 0;
inline constexpr int kSpeedModeTrapezoid = 1;
inline constexpr int kSpeedModeScurve = 2;

// Operation-mode bits set by the profile.
inline constexpr std::uint32_t kModeScurveAccel = 1u << 10;
inline constexpr std::uint32_t kModeManualRampDown = 1u << 13;  // register 6 holds the point
inline constexpr std::uint32_t kModeProfileReset = 1u << 15;    // cleared before every profile
inline constexpr std::uint32_t kModeSpeedLowered = 1u << 26;

// Pulses per second of one step at magnification `magnification`: 300 / (M + 1).
double ResolutionOfMagnification(double magnification);

// Magnification (register 5) for the axis's `speedResolution` and correction speed (register
// 27) in steps of it: the opening step of every profile.
void ResolutionRegistersWrite(Handle handle, int axis, const MotionContext& context);
// S-curve acceleration bit: cleared for trapezoidal, set for S-curve, kept for other modes.
void ScurveBitUpdate(Handle handle, int axis, int speedMode);
// Registers 1 and 2 from the two speeds (pps) at `resolution`, each within 1 .. 65535, then
// mode bit 15 cleared.
void PreliminarySpeedsWrite(Handle handle, int axis, double startSpeed, double workSpeed,
                            double resolution);

// Prepares every speed register of the axis for its next move of `distance` pulses (0: a move
// without target). `apply` issues command 43 afterwards; `overrideSpeed` starts from the
// speed the running axis has; `fineStart` forces a one-step start speed and a finer resolution.
void AxisProfilePrepare(Handle handle, int axis, const MotionContext& context, int distance,
                        bool apply, bool overrideSpeed, bool fineStart);

// The profile proper for the given speeds (pps) and rates (pps per second): registers 1-7, 9,
// 10, and the axis's `lastProfile` entry.
void SpeedProfileCompute(Handle handle, int axis, const MotionContext& context, double startSpeed,
                         double workSpeed, double accel, double decel, int distance,
                         bool overrideSpeed, bool fineStart);

// Writes and returns the magnification (1 .. 4095) nearest below `resolution` pps per step.
std::uint32_t SpeedMagnificationSet(Handle handle, int axis, double resolution);

// Pulses covered while the speed changes between `highSteps` and `otherSteps` with rate value
// `rate` at magnification `magnification`; 0 for constant-speed mode.
std::int32_t RampPulses(int mode, double highSteps, double otherSteps, double rate,
                        double magnification);

// The high speed in steps to which a move of `distance` pulses must be lowered so that its two
// ramps fit with a margin, or 0 when it reaches `highSteps` as it is.
std::int64_t TopSpeedLimit(int mode, double curSteps, double startSteps, double highSteps,
                           double accelRate, double decelRate, double magnification,
                           double distance);

}  // namespace quorva
