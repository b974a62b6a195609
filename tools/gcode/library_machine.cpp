#include "gcode/library_machine.h"

#include <algorithm>

namespace quorva::gcode {
namespace {

constexpr int kPathMap = 0;  // X, Y and Z
constexpr int kArcMap = 1;   // X and Y

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
  QUORVA_MC_SetSpeedMx2(board_, kArcMap, feed * u, 0, 0);
  // The arc's first axis is the lower-numbered of X and Y: with Y first the plane is mirrored,
  // and the direction with it.
  const bool mirrored = axes_.axes[1] < axes_.axes[0];
  const double cx = (mirrored ? centre.y : centre.x) * u;
  const double cy = (mirrored ? centre.x : centre.y) * u;
  const double ex = (mirrored ? to.y : to.x) * u;
  const double ey = (mirrored ? to.x : to.y) * u;
  const bool counterClockwise = clockwise == mirrored;
  QUORVA_MC_ArcTo_p(board_, kArcMap, cx, cy, ex, ey, counterClockwise ? 1 : 0);
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

}  // namespace quorva::gcode
