// The pieces every start shares: waiting for a free axis, writing the move amount and the
// software positions, choosing the start code, and starting or recording the move.
#pragma once

#include <cstdint>

#include "device/driver_call.h"
#include "device/trace.h"

namespace quorva {

struct MotionContext;

// Operation codes of the mode register's low byte.
namespace opcode {
inline constexpr int kContinuousPositive = 0x00;
inline constexpr int kContinuousExtended = 0x02;
inline constexpr int kContinuousNegative = 0x08;
inline constexpr int kRelative = 0x41;
inline constexpr int kAbsolute = 0x42;
inline constexpr int kRelativeExtended = 0x56;
}  // namespace opcode

// An axis number that indexes the per-axis state (whether or not the board has the axis).
inline bool InAxisRange(int axis) {
  return axis >= 0 && axis < 8;
}

// One pass of a wait before a start: the driver may move on (see DriverAwaitProgress), then at
// most one window message is dispatched, or the thread yields.
void IdleWaitPass(const MotionContext& context);
void WaitAxisIdle(Handle handle, const MotionContext& context, int axis);
void WaitAxesIdle(Handle handle, const MotionContext& context, std::uint32_t mask);
// Returns at once without a motion context.
void WaitAxisDone(Handle handle, int axis);

// The position the next move starts from: the recorded target while recording, else the
// command counter.
double MoveBase(Handle handle, const MotionContext& context, int axis);
// Move amount by `pulses` from the base; sets the software positions.
void RelativeTargetSet(Handle handle, MotionContext& context, int axis, double pulses);
// Move amount to `target` pulses; sets the software positions; returns the distance.
double AbsoluteTargetSet(Handle handle, MotionContext& context, int axis, double target);

// 0x51 without a speed profile, else 0x52 without acceleration, else 0x53.
std::uint32_t PositioningStartCode(const MotionContext& context, int axis);
// 0x51 without a speed profile, else 0x53: continuous runs and groups.
std::uint32_t ProfileStartCode(const MotionContext& context, int axis);

// Starts a prepared single-axis positioning move, or appends it to the list when the axis is
// recorded.
void LaunchAxisMove(Handle handle, MotionContext& context, int axis);

// A pulse distance as the whole number of pulses the speed profile plans for.
int ProfileDistance(double pulses);

// Runs a start operation inside a blocking one: the calls it makes write no trace lines.
template <typename Start>
void StartQuietly(Start start) {
  TraceQuietScope quiet;
  start();
}

// Releases a move held waiting for the in-position signal: with the input enabled, its logic
// is inverted and restored.
void ReleaseInPosition(Handle handle, int axis);

}  // namespace quorva
