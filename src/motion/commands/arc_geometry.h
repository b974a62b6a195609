// The geometry of an arc given by its centre and a swept angle, as the library hands it to the
// controller, and the step measure that sizes helical steps. Angles are in degrees, converted
// with 3.141592 for pi.
#pragma once

namespace quorva {

inline constexpr double kArcPi = 3.141592;

struct ArcGeometry {
  double radius = 0;
  double startAngle = 0;  // of the start point seen from the centre, 0 .. 360
  double endAngle = 0;    // startAngle + the swept angle
  double endX = 0;        // end point relative to the start point
  double endY = 0;
};

// The arc around (centerX, centerY), relative to the start point, sweeping `angle` degrees
// (positive counter-clockwise). A radius of 0 gives start angle 0 and the start as the end.
ArcGeometry ArcByAngle(double centerX, double centerY, double angle);

// Where the point (x, y) at polar angle `angle` on the circle of radius `radius` around the
// origin lies in the controller's count of arc steps: whole eighths of the circle, r / sqrt(2)
// steps each, plus the point's progress within its eighth, truncated to a whole step. Angles
// from -360 on; an angle that is not finite counts 0.
double ArcStepPosition(double angle, double radius, double x, double y);

}  // namespace quorva
