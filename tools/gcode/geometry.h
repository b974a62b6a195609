// Arcs in the XY plane: centres from radii, sweeps and lengths.
#pragma once

#include <optional>

#include "gcode/program.h"

namespace quorva::gcode {

// The centre of the arc of radius |radius| from `start` to `end`: the shorter of the two arcs
// for a positive radius, the longer for a negative one. Nothing when the points coincide or
// lie further apart than the diameter (beyond `tolerance`).
std::optional<Vec3> CentreFromRadius(const Vec3& start, const Vec3& end, double radius,
                                     bool clockwise, double tolerance);

// Radians the arc sweeps around `centre` from `start` to `end` in its direction; a whole turn
// when the end meets the start.
double Sweep(const Vec3& start, const Vec3& end, const Vec3& centre, bool clockwise);

double PlaneDistance(const Vec3& a, const Vec3& b);
double Distance(const Vec3& a, const Vec3& b);

}  // namespace quorva::gcode
