#include "sim/motion/path_shape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorva::sim {
namespace {

constexpr double kTurn = 2 * std::numbers::pi;

std::size_t Index(int axis) {
  return static_cast<std::size_t>(axis);
}

}  // namespace

PathShape PathShape::Line(std::uint32_t axes, const std::array<double, kPathAxes>& amounts) {
  PathShape shape;
  shape.axes_ = axes;
  for (int axis = 0; axis < kPathAxes; ++axis) {
    if ((axes >> axis & 1u) == 0) continue;
    shape.linear_[Index(axis)] = shape.target_[Index(axis)] = amounts[Index(axis)];
    shape.length_ = std::max(shape.length_, std::fabs(amounts[Index(axis)]));
  }
  return shape;
}

PathShape PathShape::Arc(int x, int y, double centerX, double centerY, double endX, double endY,
                         bool counterClockwise) {
  PathShape shape;
  shape.axes_ = 1u << x | 1u << y;
  shape.target_[Index(x)] = endX;
  shape.target_[Index(y)] = endY;
  shape.arcX_ = x;
  shape.arcY_ = y;
  shape.centerX_ = centerX;
  shape.centerY_ = centerY;
  shape.radius_ = std::hypot(centerX, centerY);
  shape.direction_ = counterClockwise ? 1 : -1;
  shape.startAngle_ = std::atan2(-centerY, -centerX);
  const double endAngle = std::atan2(endY - centerY, endX - centerX);
  double sweep = std::remainder((endAngle - shape.startAngle_) * shape.direction_, kTurn);
  if (sweep < 0) sweep += kTurn;
  // An end less than half a pulse along the circle from the start is the start: a full circle.
  if (shape.radius_ * sweep < 0.5) sweep = kTurn;
  shape.length_ = shape.radius_ * sweep;
  return shape;
}

void PathShape::AddLinear(int axis, double amount) {
  axes_ |= 1u << axis;
  linear_[Index(axis)] = target_[Index(axis)] = amount;
}

double PathShape::Fraction(double s) const {
  return length_ > 0 ? std::clamp(s / length_, 0.0, 1.0) : 1.0;
}

double PathShape::AngleAt(double s) const {
  return radius_ > 0 ? startAngle_ + direction_ * std::clamp(s, 0.0, length_) / radius_
                     : startAngle_;
}

double PathShape::Offset(int axis, double s) const {
  if (axis == arcX_) return centerX_ + radius_ * std::cos(AngleAt(s));
  if (axis == arcY_) return centerY_ + radius_ * std::sin(AngleAt(s));
  return linear_[Index(axis)] * Fraction(s);
}

double PathShape::SpeedShare(int axis, double s) const {
  if (axis == arcX_) return std::fabs(std::sin(AngleAt(s)));
  if (axis == arcY_) return std::fabs(std::cos(AngleAt(s)));
  return length_ > 0 ? std::fabs(linear_[Index(axis)]) / length_ : 0.0;
}

}  // namespace quorva::sim
