// Units and speeds of the axes, from a settings file and from the command line.
//
// The settings file (--settings FILE, else the file QUORVA_SETTINGS names) holds a section per
// axis, "[axis 0]" to "[axis 7]", and "[axes]" for what every axis shares; the command line's
// axis options override both for the axes a command moves:
//
//   [axes]
//   unit = mm            ; name of the user unit
//   scale = 1000         ; pulses per unit
//   start-speed = 1      ; units per second
//   speed = 50           ; units per second
//   accel = 500          ; units per second squared, 0 for none
//   decel = 500
//   profile = trapezoid  ; constant, trapezoid or s-curve
//   [axis 2]
//   name = Z
//   speed = 10
//   [gcode]
//   axes = 0,1,2         ; the axes of X, Y and Z
//   rapid = 100          ; units per second of G0
#pragma once

#include <array>
#include <optional>
#include <string>

#include "VarnDasQv.h"
#include "cli/arguments.h"
#include "cli/ini_file.h"

namespace quorva::cli {

enum class Profile : int { kConstant = 0, kTrapezoid = 1, kSCurve = 2 };

struct AxisSettings {
  std::string name;  // empty: "axis N"
  std::string unit = "mm";
  double scale = 1000;  // pulses per unit
  double startSpeed = 1;
  double speed = 50;
  double accel = 500;
  double decel = 500;
  Profile profile = Profile::kTrapezoid;

  std::string Label(int axis) const;
};

class Settings {
 public:
  // Reads the settings file and the axis options; ToolError or UsageError for a value that is
  // wrong, naming where it was given.
  static Settings Load(const Arguments& args);

  const AxisSettings& Axis(int axis) const { return axes_[static_cast<std::size_t>(axis)]; }
  // A value of the [gcode] section.
  std::optional<std::string> Gcode(const char* key) const;

 private:
  void ReadFile(const IniFile& file);
  void ApplyOptions(const Arguments& args);

  std::array<AxisSettings, 8> axes_{};
  IniFile file_;
};

// Gives an axis its units, speed range, speeds, ramps and profile. `topSpeed` (units per
// second) is the highest speed it will be asked for, when above its speed. ToolError when the
// board cannot run the axis that fast or that slowly.
void ApplyAxisSettings(QUORVA_HANDLE board, int axis, const AxisSettings& settings,
                       double topSpeed = 0);

}  // namespace quorva::cli
