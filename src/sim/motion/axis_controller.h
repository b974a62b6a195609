// The simulated motion controller: what a request does to an axis, and the registers and
// status words it reads back. Every function takes the request's simulated time; the axis is
// brought up to that time first, in closed form (see motion_plan.h).
#pragma once

#include <cstdint>

#include "sim/sim_board.h"

namespace quorva::sim {

// Register numbers of the controller.
namespace reg {
inline constexpr std::uint32_t kAmount = 0;  // pre-registers 0-7 ...
inline constexpr std::uint32_t kMode = 7;
inline constexpr std::uint32_t kAmountInForce = 16;  // ... are copied to 16-23 on a start
inline constexpr std::uint32_t kStartSpeed = 17;
inline constexpr std::uint32_t kHighSpeed = 18;
inline constexpr std::uint32_t kAccelRate = 19;
inline constexpr std::uint32_t kDecelRate = 20;
inline constexpr std::uint32_t kMagnification = 21;
inline constexpr std::uint32_t kRampDown = 22;
inline constexpr std::uint32_t kModeInForce = 23;
inline constexpr std::uint32_t kEnvironment1 = 28;
inline constexpr std::uint32_t kEnvironment4 = 31;
inline constexpr std::uint32_t kCommandCounter = 35;
inline constexpr std::uint32_t kActualCounter = 36;
inline constexpr std::uint32_t kDeviation = 37;
inline constexpr std::uint32_t kSoftLimitMinus = 39;  // comparator 1
inline constexpr std::uint32_t kSoftLimitPlus = 40;   // comparator 2
inline constexpr std::uint32_t kComparePosition3 = 41;
inline constexpr std::uint32_t kAuxiliary = 8;  // arc centre
inline constexpr std::uint32_t kCorrectionSpeed = 27;
inline constexpr std::uint32_t kExtendedStatus = 49;
inline constexpr std::uint32_t kErrorStatus = 50;
inline constexpr std::uint32_t kRemaining = 52;
inline constexpr std::uint32_t kSpeed = 53;
}  // namespace reg

// Register 49 bits the controller sets (besides the state in bits 0-3).
inline constexpr std::uint32_t kStatusInPosition = 1u << 4;
inline constexpr std::uint32_t kStatusLatch = 1u << 5;
inline constexpr std::uint32_t kStatusStopEndLimit = QUORVA_SIM_STOP_END_LIMIT;
inline constexpr std::uint32_t kStatusStopAlarm = QUORVA_SIM_STOP_ALARM;
inline constexpr std::uint32_t kStatusStopSoftLimit = QUORVA_SIM_STOP_SOFT_LIMIT;
inline constexpr std::uint32_t kStatusSoftLimitMinus = 1u << 11;
inline constexpr std::uint32_t kStatusSoftLimitPlus = 1u << 12;
inline constexpr std::uint32_t kStatusRunning = 1u << 20;
inline constexpr std::uint32_t kStatusWaiting = 1u << 21;

// Signal status word (main-space offset 1) bits.
inline constexpr std::uint32_t kSignalServoOff = 1u << 0;
inline constexpr std::uint32_t kSignalErc = 1u << 1;
inline constexpr std::uint32_t kSignalPulseOff = 1u << 2;
inline constexpr std::uint32_t kSignalElLogic = 1u << 3;
inline constexpr std::uint32_t kSignalAlarm = 1u << 11;
inline constexpr std::uint32_t kSignalElPlus = 1u << 12;
inline constexpr std::uint32_t kSignalElMinus = 1u << 13;
inline constexpr std::uint32_t kSignalHome = 1u << 14;

// Main status word (main-space offset 0): set while the axis runs or waits, while an error is
// reported in register 50, and when the last write of register 16 found no positioning move to
// change.
inline constexpr std::uint32_t kMainBusy = 1u << 1;
inline constexpr std::uint32_t kMainError = QUORVA_SIM_MAIN_ERROR;
inline constexpr std::uint32_t kMainOverrideRefused = 1u << 13;
// Bits of register 50 that are errors.
inline constexpr std::uint32_t kErrorBits = 0xFF;

// Brings the axis's motion, counters and status registers up to `nowNs`.
void SettleAxis(SimAxis& axis, std::int64_t nowNs);

// A word written to main-space offset 0 of `axis`: the command in the low byte, further axes
// of the same four-axis chip in bits 8-11.
void ExecuteAxisCommand(SimBoard& board, int axis, std::uint32_t word, std::int64_t nowNs);
// Called after the library wrote register `number` of a settled axis.
void AfterRegisterWrite(SimAxis& axis, std::uint32_t number, std::int64_t nowNs);

// What a read of register `number` (within range) or of main-space word `offset` returns.
std::uint32_t RegisterValue(const SimAxis& axis, std::uint32_t number);
std::uint32_t StatusWord(const SimBoard& board, int axis, std::uint32_t offset);

// Controller operations the control interface and the commands share.
void StartAxis(SimAxis& axis, std::uint32_t startCode, std::int64_t nowNs);
// The steps of a start: pre-registers 0-7 copied into the registers in force; the motion state
// of a new move from the present counters (no path); then running, or, with `waitForSignal`,
// held by the start condition of its mode in force (the start signal when it names none).
void CopyPreRegisters(SimAxis& axis);
void PrepareMove(SimAxis& axis, std::uint32_t startCode);
void BeginMove(SimAxis& axis, bool waitForSignal, std::int64_t nowNs);
// The speeds, rates and ramp-down setting of the registers in force, for a start code.
ProfileInputs SpeedSettingsOf(const SimAxis& axis, std::uint32_t startCode);
// Pulses per second of one speed step at the magnification in force.
double StepPps(const SimAxis& axis);
// The start signal: an axis waiting for it starts.
void ReleaseAxis(SimAxis& axis, std::int64_t nowNs);
// A waiting axis starts at `atNs` (its condition was met then), whatever it waited for.
void StartWaitingAxis(SimAxis& axis, std::int64_t atNs);
// Stops at once (`cause`: register 49 stop-cause bits, or 0).
void StopAxisNow(SimAxis& axis, std::uint32_t cause, std::int64_t nowNs);
// Decelerates to the start speed and stops.
void DecelerateAxis(SimAxis& axis, std::uint32_t cause, std::int64_t nowNs);
// Command 43: the speed pre-registers take effect on the running move.
void ApplyPreRegisters(SimAxis& axis, std::int64_t nowNs);
// Idle, no motion, no stop cause.
void ResetAxis(SimAxis& axis, std::int64_t nowNs);
// Plans the running move afresh from its present motion (after a register, a switch position
// or a signal changed).
void Replan(SimAxis& axis, std::int64_t nowNs);
// Sets or clears an input signal; a running axis reacts to an end limit or an alarm at once.
void SetInputSignal(SimAxis& axis, int signal, bool active, std::int64_t nowNs);
// Comparator 1 (direction < 0) or 2 (direction > 0) configured as a soft limit, and its
// position.
bool SoftLimitEnabled(const SimAxis& axis, int direction);
std::int64_t SoftLimitPosition(const SimAxis& axis, int direction);
// The end-limit input of that direction, set through the control interface or tripped by the
// counter at or past the limit switch's position.
bool EndLimitActive(const SimAxis& axis, int direction);
// A 28-bit counter value as a signed number.
std::int64_t SignExtend28(std::uint32_t value);
// Present command counter, not wrapped.
std::int64_t CommandPosition(const SimAxis& axis);
// Present command position with the pulse in progress as a fraction.
double ExactPosition(const SimAxis& axis);
// Whole pulses the axis has travelled from its origin after `distance` along its move.
std::int64_t TravelledAt(const AxisMotion& motion, double distance);
// Present speed of the axis in pulses per second.
double SpeedPps(const SimAxis& axis);
// An error is reported in register 50: the axis does not start.
bool ErrorPending(const SimAxis& axis);
// Writes the counters, remaining pulses, speed and state of the present motion.
void Publish(SimAxis& axis);
// The axis stops and its operation ends at `endNs` (`cause`: register 49 stop-cause bits).
void Finish(SimAxis& axis, std::uint32_t cause, std::int64_t endNs);

}  // namespace quorva::sim
