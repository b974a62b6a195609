// The live table of a board's axes: position, speed, phase, limits, home and alarm.
#pragma once

#include <string>
#include <vector>

#include "VarnDasQv.h"
#include "cli/command.h"
#include "cli/settings.h"

namespace quorva::cli {

struct AxisReading {
  double position = 0;  // units of the axis's settings
  double speed = 0;     // units per second
  std::string phase;    // idle, waiting, accel, cruise, decel
  bool limitPlus = false;
  bool limitMinus = false;
  bool home = false;
  bool alarm = false;
};

// Reads an axis through the board's registers and status words, in the units of `settings`
// whatever units the library holds for it.
AxisReading ReadAxis(QUORVA_HANDLE board, int axis, const AxisSettings& settings);

class AxisTable {
 public:
  AxisTable(Console& console, const Settings& settings, std::vector<int> axes);
  // Shows the axes now. On a terminal the table is drawn over the previous one; otherwise each
  // call prints one line per axis, with `time` (seconds) in front.
  void Show(QUORVA_HANDLE board, double time);

 private:
  Console& console_;
  const Settings& settings_;
  std::vector<int> axes_;
  bool shown_ = false;
};

}  // namespace quorva::cli
