// A program's steps run on a motion board through the library: lines (G0, G1) on a map of the X,
// Y and Z axes, arcs on a map of X and Y, helices as helical steps of X, Y and Z, each call
// returning when the motion has ended.
#pragma once

#include <array>
#include <functional>

#include "VarnDasQv.h"
#include "gcode/machine.h"

namespace quorva::gcode {

struct MachineAxes {
  std::array<int, 3> axes{0, 1, 2};  // the board's axes of X, Y and Z
  double unitsPerMillimetre = 1;     // the axes' user unit: 1 for mm, 1 / 25.4 for inches
  double rapid = 50;                 // G0 speed, user units per second
  double accel = 500;                // path acceleration and deceleration, user units/s²
  double decel = 500;
  int profile = 1;  // speed mode of the lines
};

class LibraryMachine : public Machine {
 public:
  // Sets up the maps; `pause` lets a dwell's seconds pass.
  LibraryMachine(QUORVA_HANDLE board, const MachineAxes& axes,
                 std::function<void(double seconds)> pause);

  void Rapid(const Vec3& to) override;
  void Line(const Vec3& to, double feed) override;
  void Arc(const Vec3& centre, const Vec3& to, bool clockwise, double feed) override;
  void Helix(const Vec3& from, const Vec3& centre, const Vec3& to, bool clockwise,
             double feed) override;
  void Dwell(double seconds) override;

  // Where the axes stand, in millimetres.
  Vec3 Position() const;

  // The axis on which the controller counts a helix's arc steps, moving it by their number: the
  // last axis of the chip of X, Y and Z. -1 when they are not on one chip or one of them is it.
  static int HelixCountingAxis(const MachineAxes& axes);

 private:
  // X and Y as an arc's first and second axis: the lower-numbered comes first, and with Y first
  // the plane is mirrored, and the direction with it.
  struct ArcPlane {
    bool mirrored;
    double First(const Vec3& p) const { return mirrored ? p.y : p.x; }
    double Second(const Vec3& p) const { return mirrored ? p.x : p.y; }
    bool CounterClockwise(bool clockwise) const { return clockwise == mirrored; }
  };

  void LineTo(const Vec3& to, double speed);
  ArcPlane Plane() const { return {axes_.axes[1] < axes_.axes[0]}; }

  QUORVA_HANDLE board_;
  MachineAxes axes_;
  std::function<void(double)> pause_;
  std::array<int, 3> order_{};  // X, Y, Z in ascending axis order: indices into a point
};

}  // namespace quorva::gcode
