// A program's steps run on a motion board through the library: lines (G0, G1) on a map of the X,
// Y and Z axes, arcs on a map of X and Y, each call returning when the motion has ended.
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
  void Dwell(double seconds) override;

  // Where the axes stand, in millimetres.
  Vec3 Position() const;

 private:
  void LineTo(const Vec3& to, double speed);

  QUORVA_HANDLE board_;
  MachineAxes axes_;
  std::function<void(double)> pause_;
  std::array<int, 3> order_{};  // X, Y, Z in ascending axis order: indices into a point
};

}  // namespace quorva::gcode
