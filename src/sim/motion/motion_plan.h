// A move's speed profile as a short chain of segments, evaluated in closed form: the distance
// and speed at any instant cost the same whatever the speed, the length or the age of the move.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace quorva::sim {

inline constexpr double kEndless = std::numeric_limits<double>::infinity();

// Operation states reported in bits 0-3 of register 49.
inline constexpr std::uint32_t kStateStopped = 0x0;
inline constexpr std::uint32_t kStateAccelerating = 0xB;
inline constexpr std::uint32_t kStateHighSpeed = 0xC;
inline constexpr std::uint32_t kStateDecelerating = 0xD;

// One piece of a profile: the speed goes from v0 to v1 over `duration` seconds, linearly or
// along the smooth S v0 + (v1 - v0)(3u² - 2u³), u = t / duration, which starts and ends
// without acceleration. Both shapes cover (v0 + v1) / 2 × duration over the whole ramp.
// A cruise has v0 == v1 and may last forever. `until` (at most `duration`) is where the
// segment is cut off: a ramp interrupted by the end of the move keeps its shape.
struct Segment {
  double start = 0;      // seconds after the plan's origin
  double duration = 0;   // seconds of the full shape
  double until = 0;      // seconds after `start` at which the segment ends
  double distance0 = 0;  // pulses travelled when the segment begins
  double v0 = 0;         // pulses per second
  double v1 = 0;
  bool smooth = false;
  std::uint32_t state = kStateStopped;

  // Pulses covered `t` seconds into the segment (0 <= t <= duration).
  double Covered(double t) const;
  double SpeedAfter(double t) const;
  // Seconds after which the segment has covered `pulses`; infinity when it never does
  // before `until`.
  double TimeToCover(double pulses) const;
};

struct MotionSample {
  double distance = 0;  // pulses travelled since the move began
  double speed = 0;     // pulses per second
  std::uint32_t state = kStateStopped;
  bool finished = false;
};

class MotionPlan {
 public:
  static constexpr int kMaxSegments = 8;

  // The motion `t` seconds after the plan's origin.
  MotionSample At(double t) const;
  double EndTime() const { return endTime_; }
  double EndDistance() const { return endDistance_; }
  // Seconds after the origin at which the plan has covered `distance` (counted like the
  // samples' distance); infinity when it ends before.
  double TimeToReach(double distance) const;
  // Seconds after the origin at which the first segment in `state` begins; infinity when none.
  double StateBegins(std::uint32_t state) const;

 private:
  friend class PlanBuilder;
  std::array<Segment, kMaxSegments> segments_{};
  int count_ = 0;
  double endTime_ = 0;
  double endDistance_ = 0;
};

// How the deceleration at the end of a positioning move is placed.
enum class RampDownMode {
  kAutomatic,  // when the remaining distance equals the deceleration distance plus an offset
  kManual,     // when the remaining distance falls to a given number of pulses
};

// Everything a plan is made from; speeds in pulses per second, rates in pulses per second
// per second (the mean rate of a ramp), distances in pulses since the move began.
struct ProfileInputs {
  double distance = 0;  // travelled when the plan starts
  double speed = 0;     // speed when the plan starts
  double startSpeed = 1;
  double highSpeed = 1;
  double accelRate = 1;
  double decelRate = 1;
  bool smooth = false;    // S-curve ramps
  bool rampUp = false;    // accelerates to the high speed (else jumps to it)
  bool rampDown = false;  // decelerates before the end and to a lower high speed
  bool stopping = false;  // a decelerating stop: slow down to the start speed and end
  double end = kEndless;  // where a positioning move ends
  RampDownMode rampDownMode = RampDownMode::kAutomatic;
  double rampDownPulses = 0;  // manual: the point; automatic: the offset
  double limit = kEndless;    // where a limit stops the move
  bool limitDecelerates = false;
};

struct PlannedMove {
  MotionPlan plan;
  bool endsAtLimit = false;  // the limit, not the end or the stop, ends the move
};

PlannedMove PlanProfile(const ProfileInputs& in);

}  // namespace quorva::sim
