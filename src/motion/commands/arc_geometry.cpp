#include "motion/commands/arc_geometry.h"

#include <algorithm>
#include <cmath>

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

}  // namespace quorva
