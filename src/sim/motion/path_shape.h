// The paths the simulated controller interpolates. A path is a curve through the axes of one
// chip, parameterised by s, the pulses travelled along it (0 .. Length()). One speed profile
// runs on s (motion_plan.h), so every axis's position follows in closed form from the same
// plan, and all axes arrive in the same instant.
//
// - A line: s is the travel of the axis with the largest amount; every axis moves its amount
//   × s ÷ length.
// - An arc: s is the length along the circle of axes X and Y around the centre, from the start
//   to the end angle; further axes (a helical step) move their amounts in proportion to s.
#pragma once

#include <array>
#include <cstdint>

#include "sim/motion/motion_plan.h"

namespace quorva::sim {

inline constexpr int kPathAxes = 8;

class PathShape {
 public:
  // A line of `amounts` (pulses, indexed by axis) on the axes of `axes`.
  static PathShape Line(std::uint32_t axes, const std::array<double, kPathAxes>& amounts);
  // An arc of axes `x` and `y` around (centerX, centerY), from the start point to the angle of
  // (endX, endY), all relative to the start. An end at the start's angle makes a full circle.
  static PathShape Arc(int x, int y, double centerX, double centerY, double endX, double endY,
                       bool counterClockwise);
  // Adds `axis`, which moves `amount` in proportion to the way along the path.
  void AddLinear(int axis, double amount);

  double Length() const { return length_; }
  std::uint32_t Axes() const { return axes_; }
  // Offset of `axis` from its start after `s` pulses along the path.
  double Offset(int axis, double s) const;
  // The axis's speed per unit of speed along the path, at `s`.
  double SpeedShare(int axis, double s) const;
  // Where the axis was sent: its amount (for an arc axis, the end point given, which may lie
  // off the circle).
  double Target(int axis) const { return target_[static_cast<std::size_t>(axis)]; }

 private:
  // Share of the way along the path, 0 .. 1.
  double Fraction(double s) const;
  // Angle on the circle after `s`, radians.
  double AngleAt(double s) const;

  std::uint32_t axes_ = 0;
  double length_ = 0;
  std::array<double, kPathAxes> linear_{};  // amounts moved in proportion to s
  std::array<double, kPathAxes> target_{};
  // The circle, when the path has one.
  int arcX_ = -1;
  int arcY_ = -1;
  double centerX_ = 0;
  double centerY_ = 0;
  double radius_ = 0;
  double startAngle_ = 0;
  double direction_ = 1;  // +1 counter-clockwise, -1 clockwise
};

// An axis's part in an interpolated path: the shape, which of its axes this is, and the speed
// settings of the axis whose registers drive the path.
struct PathFollow {
  bool active = false;  // the present or last move is a path
  int axis = 0;
  PathShape shape;
  ProfileInputs drive;
  double stepPps = 1;  // pulses per second of one speed step of the driving axis
};

}  // namespace quorva::sim
