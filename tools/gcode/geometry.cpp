#include "gcode/geometry.h"

#include <cmath>
#include <numbers>

namespace quorva::gcode {

double PlaneDistance(const Vec3& a, const Vec3& b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}

double Distance(const Vec3& a, const Vec3& b) {
  return std::hypot(b.x - a.x, b.y - a.y, b.z - a.z);
}

std::optional<Vec3> CentreFromRadius(const Vec3& start, const Vec3& end, double radius,
                                     bool clockwise, double tolerance) {
  const double chord = PlaneDistance(start, end);
  const double r = std::abs(radius);
  if (chord == 0 || chord > 2 * r + tolerance) return std::nullopt;
  const double h = std::sqrt(std::max(0.0, r * r - chord * chord / 4));
  // The left normal of the chord; a clockwise arc of up to half a turn has its centre on the
  // right of the chord, a counter-clockwise one on the left, and a longer arc the other way.
  const double nx = -(end.y - start.y) / chord;
  const double ny = (end.x - start.x) / chord;
  const double side = (clockwise ? -1.0 : 1.0) * (radius < 0 ? -1.0 : 1.0);
  return Vec3{(start.x + end.x) / 2 + side * h * nx, (start.y + end.y) / 2 + side * h * ny, 0};
}

double Sweep(const Vec3& start, const Vec3& end, const Vec3& centre, bool clockwise) {
  constexpr double kTurn = 2 * std::numbers::pi;
  const double from = std::atan2(start.y - centre.y, start.x - centre.x);
  const double to = std::atan2(end.y - centre.y, end.x - centre.x);
  double sweep = std::fmod((clockwise ? from - to : to - from) + 2 * kTurn, kTurn);
  // Ends that meet the start within a billionth of a turn make a whole circle.
  if (sweep < 1e-9 * kTurn || sweep > kTurn * (1 - 1e-9)) sweep = kTurn;
  return sweep;
}

}  // namespace quorva::gcode
