#include "motion/commands/arc_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorva {

ArcGeometry ArcByAngle(double centerX, double centerY, double angle) {
  ArcGeometry arc;
  arc.radius = std::sqrt(centerX * centerX + centerY * centerY);
  if (arc.radius != 0) {
    // The start point seen from the centre is (-centerX, -centerY). The cosine is kept within
    // -1 .. 1: rounding in the radius must not turn a start on the X axis into no angle.
    const double cosine = std::clamp(-centerX / arc.radius, -1.0, 1.0);
    arc.startAngle = std::acos(cosine) * 180.0 / kArcPi;
    if (-centerY < 0) arc.startAngle = 360.0 - std::fabs(arc.startAngle);
  }
  arc.endAngle = arc.startAngle + angle;
  const double end = arc.endAngle * kArcPi / 180.0;
  arc.endX = arc.radius * std::cos(end) + centerX;
  arc.endY = arc.radius * std::sin(end) + centerY;
  return arc;
}

double ArcStepPosition(double angle, double radius, double x, double y) {
  const double eighths = std::trunc((angle < 0 ? angle + 360 : angle) / 45);
  if (!std::isfinite(eighths)) return 0;
  // The eighth within the turn; below -360 the count continues backwards.
  double eighth = std::fmod(eighths, 8.0);
  if (eighth < 0) eighth += 8;
  const double diagonal = radius * std::numbers::sqrt2;
  double within = 0;
  switch (static_cast<int>(eighth) % 4) {
    case 0:
      within = std::fabs(y);
      break;
    case 1:
      within = diagonal - std::fabs(x);
      break;
    case 2:
      within = std::fabs(x);
      break;
    default:
      within = diagonal - std::fabs(y);
      break;
  }
  return std::trunc(eighths * radius / std::numbers::sqrt2 + within);
}

}  // namespace quorva
