// What runs a program's steps: a board through the library, or a recorder in tests.
#pragma once

#include <cstddef>
#include <functional>

#include "gcode/program.h"

namespace quorva::gcode {

// Positions in millimetres, feeds in millimetres per second. Each call returns when the motion
// has ended.
class Machine {
 public:
  virtual ~Machine() = default;
  virtual void Rapid(const Vec3& to) = 0;
  virtual void Line(const Vec3& to, double feed) = 0;
  virtual void Arc(const Vec3& centre, const Vec3& to, bool clockwise, double feed) = 0;
  // An arc of X and Y from `from` around `centre` to `to` while Z moves from from.z to to.z in
  // proportion; `feed` along the helix.
  virtual void Helix(const Vec3& from, const Vec3& centre, const Vec3& to, bool clockwise,
                     double feed) = 0;
  virtual void Dwell(double seconds) = 0;
};

// Runs the steps in order (moves that go nowhere are left out) and calls `progress` with the
// number of steps done after each.
void RunProgram(const Program& program, Machine& machine,
                const std::function<void(std::size_t done)>& progress = {});

}  // namespace quorva::gcode
