#include "sim/motion/motion_plan.h"

#include <algorithm>
#include <cmath>

namespace quorva::sim {

double Segment::Covered(double t) const {
  if (v0 == v1 || std::isinf(duration)) return v0 * t;
  if (smooth) {
    const double u = t / duration;
    return duration * (v0 * u + (v1 - v0) * (u * u * u - u * u * u * u / 2));
  }
  return v0 * t + (v1 - v0) / duration * t * t / 2;
}

double Segment::SpeedAfter(double t) const {
  if (v0 == v1 || std::isinf(duration)) return v0;
  const double u = t / duration;
  return v0 + (v1 - v0) * (smooth ? u * u * (3 - 2 * u) : u);
}

double Segment::TimeToCover(double pulses) const {
  if (pulses <= 0) return 0;
  if (pulses > Covered(until)) return kEndless;
  if (v0 == v1 || std::isinf(duration)) return pulses / v0;
  if (!smooth) {
    const double a = (v1 - v0) / duration;
    const double root = std::sqrt(std::max(0.0, v0 * v0 + 2 * a * pulses));
    return 2 * pulses / (v0 + root);
  }
  // The smooth shape covers distance monotonically: bisect, a fixed number of halvings.
  double low = 0;
  double high = until;
  for (int i = 0; i < 64; ++i) {
    const double mid = (low + high) / 2;
    (Covered(mid) < pulses ? low : high) = mid;
  }
  return high;
}

MotionSample MotionPlan::At(double t) const {
  for (int i = 0; i < count_; ++i) {
    const Segment& s = segments_[static_cast<std::size_t>(i)];
    if (t < s.start + s.until) {
      const double into = std::max(0.0, t - s.start);
      return {s.distance0 + s.Covered(into), s.SpeedAfter(into), s.state, false};
    }
  }
  return {endDistance_, 0, kStateStopped, true};
}

double MotionPlan::TimeToReach(double distance) const {
  for (int i = 0; i < count_; ++i) {
    const Segment& s = segments_[static_cast<std::size_t>(i)];
    if (distance <= s.distance0) return s.start;
    const double t = s.TimeToCover(distance - s.distance0);
    if (t <= s.until) return s.start + t;
  }
  return kEndless;
}

double MotionPlan::StateBegins(std::uint32_t state) const {
  for (int i = 0; i < count_; ++i) {
    const Segment& s = segments_[static_cast<std::size_t>(i)];
    if (s.state == state) return s.start;
  }
  return kEndless;
}

// Appends segments one after the other, following the time, distance and speed reached.
class PlanBuilder {
 public:
  PlanBuilder(double distance, double speed)
      : distance_(distance), speed_(speed), startDistance_(distance), startSpeed_(speed) {}

  double Distance() const { return distance_; }
  double Speed() const { return speed_; }

  // Changes the speed to `target` at the mean rate `rate`.
  void Ramp(double target, double rate, bool smooth, std::uint32_t state) {
    if (target == speed_) return;
    const double duration = std::abs(target - speed_) / rate;
    Add({time_, duration, duration, distance_, speed_, target, smooth, state});
  }
  void Jump(double speed) { speed_ = speed; }
  // Keeps the speed for `pulses` (infinity: for ever).
  void Cruise(double pulses, std::uint32_t state) {
    if (!(pulses > 0) || speed_ <= 0) return;
    const double duration = std::isinf(pulses) ? kEndless : pulses / speed_;
    Add({time_, duration, duration, distance_, speed_, speed_, false, state});
  }
  // Ends the plan where it reaches `distance` (at its beginning when that lies behind it);
  // false, with nothing changed, when the plan ends before.
  bool CutAt(double distance) {
    if (distance >= distance_) return false;
    int i = plan_.count_ - 1;
    while (i >= 0 && plan_.segments_[static_cast<std::size_t>(i)].distance0 >= distance)
      --i;
    if (i < 0) {
      plan_.count_ = 0;
      time_ = 0;
      distance_ = startDistance_;
      speed_ = startSpeed_;
      return true;
    }
    Segment& s = plan_.segments_[static_cast<std::size_t>(i)];
    s.until = std::min(s.until, s.TimeToCover(distance - s.distance0));
    plan_.count_ = i + 1;
    time_ = s.start + s.until;
    speed_ = s.SpeedAfter(s.until);
    distance_ = distance;
    return true;
  }

  MotionPlan Finish() {
    plan_.endTime_ = time_;
    plan_.endDistance_ = distance_;
    return plan_;
  }

 private:
  void Add(const Segment& segment) {
    if (plan_.count_ == MotionPlan::kMaxSegments) return;
    plan_.segments_[static_cast<std::size_t>(plan_.count_++)] = segment;
    time_ += segment.until;
    distance_ += segment.Covered(segment.until);
    speed_ = segment.SpeedAfter(segment.until);
  }

  MotionPlan plan_;
  double time_ = 0;
  double distance_;
  double speed_;
  double startDistance_;  // where the plan begins
  double startSpeed_;
};

namespace {

// Pulses covered while the speed goes from `from` to `to` at the mean rate `rate`.
double RampLength(double from, double to, double rate) {
  return std::abs(to * to - from * from) / (2 * rate);
}

class PositioningPlanner {
 public:
  explicit PositioningPlanner(const ProfileInputs& in) : in_(in) {}

  // Distance before the end at which the deceleration begins when running at `speed`.
  double RampDownPoint(double speed) const {
    if (!in_.rampDown) return 0;
    if (in_.rampDownMode == RampDownMode::kManual) return std::max(0.0, in_.rampDownPulses);
    const double ramp =
        speed > in_.startSpeed ? RampLength(speed, in_.startSpeed, in_.decelRate) : 0;
    return std::max(0.0, ramp + in_.rampDownPulses);
  }
  // Pulses needed to change from `from` to `to` with the ramps this move has.
  double Approach(double from, double to) const {
    if (to > from) return in_.rampUp ? RampLength(from, to, in_.accelRate) : 0;
    return in_.rampDown ? RampLength(from, to, in_.decelRate) : 0;
  }
  // The highest speed the move reaches: the high speed, or less when the remaining distance
  // does not leave room for both ramps (a triangular profile).
  double TopSpeed(double speed, double remaining) const {
    const double high = in_.highSpeed;
    if (Approach(speed, high) + RampDownPoint(high) <= remaining) return high;
    if (speed >= high || !in_.rampUp) return speed >= high ? speed : high;
    if (!in_.rampDown) return high;
    const double a = 2 * in_.accelRate;
    double top2 = 0;
    if (in_.rampDownMode == RampDownMode::kManual) {
      top2 = speed * speed + a * std::max(0.0, remaining - RampDownPoint(high));
    } else {
      const double d = 2 * in_.decelRate;
      const double s0 = in_.startSpeed;
      top2 = (remaining - in_.rampDownPulses + speed * speed / a + s0 * s0 / d) / (1 / a + 1 / d);
    }
    return std::clamp(std::sqrt(std::max(0.0, top2)), speed, high);
  }

  void Plan(PlanBuilder& b) const {
    const double top = TopSpeed(b.Speed(), in_.end - b.Distance());
    ApproachSpeed(b, top);
    b.Cruise(in_.end - b.Distance() - RampDownPoint(top), kStateHighSpeed);
    if (in_.rampDown && b.Speed() > in_.startSpeed) {
      b.Ramp(in_.startSpeed, in_.decelRate, in_.smooth, kStateDecelerating);
    }
    b.Cruise(in_.end - b.Distance(), in_.rampDown ? kStateDecelerating : kStateHighSpeed);
  }

  void ApproachSpeed(PlanBuilder& b, double target) const {
    if (target > b.Speed()) {
      if (in_.rampUp) {
        b.Ramp(target, in_.accelRate, in_.smooth, kStateAccelerating);
      } else {
        b.Jump(target);
      }
    } else if (target < b.Speed()) {
      if (in_.rampDown) {
        b.Ramp(target, in_.decelRate, in_.smooth, kStateDecelerating);
      } else {
        b.Jump(target);
      }
    }
  }

 private:
  const ProfileInputs& in_;
};

}  // namespace

PlannedMove PlanProfile(const ProfileInputs& in) {
  PlanBuilder b(in.distance, in.speed);
  const PositioningPlanner planner(in);
  if (in.stopping) {
    if (b.Speed() > in.startSpeed) {
      b.Ramp(in.startSpeed, in.decelRate, in.smooth, kStateDecelerating);
    }
  } else if (std::isinf(in.end)) {
    planner.ApproachSpeed(b, in.highSpeed);
    b.Cruise(kEndless, kStateHighSpeed);
  } else {
    planner.Plan(b);
  }
  PlannedMove result;
  if (b.CutAt(std::max(in.limit, in.distance))) {
    result.endsAtLimit = true;
    if (in.limitDecelerates && b.Speed() > in.startSpeed) {
      b.Ramp(in.startSpeed, in.decelRate, in.smooth, kStateDecelerating);
    }
  }
  b.CutAt(in.end);
  result.plan = b.Finish();
  return result;
}

}  // namespace quorva::sim
