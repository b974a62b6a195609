// Positions and velocities of axes over time, and what is drawn and written from them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "plot/svg.h"

namespace quorva::plot {

struct AxisTrack {
  std::string label;  // "axis 0", "X"
  std::string unit;   // "mm"
  std::vector<double> position;
  std::vector<double> velocity;  // units per second, signed
};

struct Recording {
  std::vector<double> time;  // seconds from the start
  std::vector<AxisTrack> axes;

  // Velocities from the positions (central differences), for records that hold positions only.
  void DeriveVelocities();
  // Keeps every other sample (and the last).
  void Thin();
  // Adds the samples of `later`, which began `offset` seconds after this one.
  void Append(const Recording& later, double offset);
};

// Position and velocity over time, one curve per axis; with `planeAxes` {i, j}, also the path
// of axes i and j in their plane.
std::vector<Chart> MotionCharts(const Recording& recording, const std::vector<int>& planeAxes);

// One line per sample: time, then each axis's position and velocity, under a header naming
// them with their units.
void WriteCsv(const Recording& recording, std::ostream& out);

}  // namespace quorva::plot
