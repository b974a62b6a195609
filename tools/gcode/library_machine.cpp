#include "gcode/library_machine.h"

#include <algorithm>
#include <numbers>

#include "gcode/geometry.h"

namespace quorva::gcode {
namespace {

constexpr int kPathMap = 0;  // X, Y and Z
constexpr int kArcMap = 1;   // X and Y
// Helical steps at one speed along the helix (ratio mode 0), without ramps (speed mode 0).
constexpr int kHelixSpeedAlongPath = 0;
constexpr int kHelixConstantSpeed = 0;

double Coordinate(const Vec3& p, int index) {
  return index == 0 ? p.x : index == 1 ? p.y : p.z;
}

}  // namespace

LibraryMachine::LibraryMachine(QUORVA_HANDLE board, const MachineAxes& axes,
                               std::function<void(double seconds)> pause)
    : board_(board), axes_(axes), pause_(std::move(pause)) {
  order_ = {0, 1, 2};
  std::sort(order_.begin(), order_.end(), [&](int a, int b) {
    return axes_.axes[static_cast<std::size_t>(a)] < axes_.axes[static_cast<std::size_t>(b)];
  });
  const auto bit = [&](int index) { return 1 << axes_.axes[static_cast<std::size_t>(index)]; };
  QUORVA_MC_MapAxes(board_, kPathMap, bit(0) | bit(1) | bit(2));
  QUORVA_MC_MapAxes(board_, kArcMap, bit(0) | bit(1));
  QUORVA_MC_SetSpeedModeMx(board_, kPathMap, axes_.profile);
}

void LibraryMachine::LineTo(const Vec3& to, double speed) {
  QUORVA_MC_SetSpeedMx2(board_, kPathMap, speed, axes_.accel, axes_.decel);
  double positions[3];
  for (std::size_t i = 0; i < 3; ++i)
    positions[i] = Coordinate(to, order_[i]) * axes_.unitsPerMillimetre;
  QUORVA_MC_LineTo(board_, kPathMap, positions);
}

void LibraryMachine::Rapid(const Vec3& to) {
  LineTo(to, axes_.rapid);
}

void LibraryMachine::Line(const Vec3& to, double feed) {
  LineTo(to, feed * axes_.unitsPerMillimetre);
}

void LibraryMachine::Arc(const Vec3& centre, const Vec3& to, bool clockwise, double feed) {
  const double u = axes_.unitsPerMillimetre;
  const ArcPlane plane = Plane();
  QUORVA_MC_SetSpeedMx2(board_, kArcMap, feed * u, 0, 0);
  QUORVA_MC_ArcTo_p(board_, kArcMap, plane.First(centre) * u, plane.Second(centre) * u,
                    plane.First(to) * u, plane.Second(to) * u,
                    plane.CounterClockwise(clockwise) ? 1 : 0);
}

void LibraryMachine::Helix(const Vec3& from, const Vec3& centre, const Vec3& to, bool clockwise,
                           double feed) {
  const double u = axes_.unitsPerMillimetre;
  const ArcPlane plane = Plane();
  const auto axis = [&](int index) { return axes_.axes[static_cast<std::size_t>(index)]; };
  const int axes[4] = {std::min(axis(0), axis(1)), std::max(axis(0), axis(1)), axis(2),
                       HelixCountingAxis(axes_)};
  // The centre relative to the start, the rise of Z, and the arc steps counted upwards.
  const double values[4] = {(plane.First(centre) - plane.First(from)) * u,
                            (plane.Second(centre) - plane.Second(from)) * u, (to.z - from.z) * u,
                            1};
  const double degrees = Sweep(from, to, centre, clockwise) * 180 / std::numbers::pi;
  QUORVA_MC_SetHelOnceSpeed(board_, kHelixSpeedAlongPath, kHelixConstantSpeed, feed * u, 0, 0);
  const double steps = QUORVA_MC_HelOnce(board_, 4, axes, values,
                                         plane.CounterClockwise(clockwise) ? degrees : -degrees);
  // An arc too short for a single step: Z still gets where it was going.
  if (steps == 0) LineTo(to, feed * u);
}

void LibraryMachine::Dwell(double seconds) {
  pause_(seconds);
}

Vec3 LibraryMachine::Position() const {
  const auto at = [&](int index) {
    return QUORVA_MC_GetPosition_C(board_, axes_.axes[static_cast<std::size_t>(index)]) /
           axes_.unitsPerMillimetre;
  };
  return {at(0), at(1), at(2)};
}

int LibraryMachine::HelixCountingAxis(const MachineAxes& axes) {
  const int counting = axes.axes[0] / 4 * 4 + 3;
  for (int axis : axes.axes) {
    if (axis / 4 != counting / 4 || axis == counting) return -1;
  }
  return counting;
}

}  // namespace quorva::gcode
