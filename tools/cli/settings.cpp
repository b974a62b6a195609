#include "cli/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cli/command.h"
#include "cli/errors.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kAxisOptions[] = {
    {"settings", "FILE", "units and speeds of the axes (default: $QUORVA_SETTINGS)"},
    {"unit", "NAME", "name of the user unit (default mm)"},
    {"scale", "PULSES", "pulses per unit (default 1000)"},
    {"start-speed", "SPEED", "start speed, units/s (default 1)"},
    {"speed", "SPEED", "working speed, units/s (default 50)"},
    {"accel", "RATE", "acceleration, units/s^2, 0 for none (default 500)"},
    {"decel", "RATE", "deceleration, units/s^2, 0 for none (default 500)"},
    {"profile", "SHAPE", "constant, trapezoid or s-curve (default trapezoid)"},
};

std::optional<Profile> ProfileNamed(const std::string& name) {
  if (name == "constant") return Profile::kConstant;
  if (name == "trapezoid") return Profile::kTrapezoid;
  if (name == "s-curve") return Profile::kSCurve;
  return std::nullopt;
}

double Positive(const std::string& key, const std::string& value, bool zeroAllowed) {
  const double number = ParseNumber(value, key.c_str());
  if (number < 0 || (!zeroAllowed && number == 0)) {
    throw UsageError(key + " must be " + (zeroAllowed ? "0 or more" : "above 0"));
  }
  return number;
}

// Sets one key of an axis; UsageError for an unknown key or a wrong value.
void SetKey(AxisSettings& axis, const std::string& key, const std::string& value) {
  if (key == "name") {
    axis.name = value;
  } else if (key == "unit") {
    axis.unit = value;
  } else if (key == "scale") {
    axis.scale = Positive(key, value, false);
  } else if (key == "start-speed") {
    axis.startSpeed = Positive(key, value, false);
  } else if (key == "speed") {
    axis.speed = Positive(key, value, false);
  } else if (key == "accel") {
    axis.accel = Positive(key, value, true);
  } else if (key == "decel") {
    axis.decel = Positive(key, value, true);
  } else if (key == "profile") {
    const auto profile = ProfileNamed(value);
    if (!profile) throw UsageError("profile is constant, trapezoid or s-curve, not " + value);
    axis.profile = *profile;
  } else {
    throw UsageError("unknown setting '" + key + "'");
  }
}

// -1 for "[axes]", the axis of "[axis N]", nothing for another section.
std::optional<int> AxisSection(const std::string& section) {
  if (section == "axes") return -1;
  if (section.size() == 6 && section.rfind("axis ", 0) == 0 && section[5] >= '0' &&
      section[5] <= '7') {
    return section[5] - '0';
  }
  return std::nullopt;
}

}  // namespace

std::span<const OptionSpec> AxisOptions() {
  return kAxisOptions;
}

std::string AxisSettings::Label(int axis) const {
  return name.empty() ? "axis " + std::to_string(axis) : name;
}

Settings Settings::Load(const Arguments& args) {
  Settings settings;
  std::optional<std::string> path = args.Value("settings");
  if (const char* variable = std::getenv("QUORVA_SETTINGS"); !path && variable && *variable) {
    path = variable;
  }
  if (path) settings.ReadFile(IniFile::Read(*path));
  settings.ApplyOptions(args);
  return settings;
}

void Settings::ReadFile(const IniFile& file) {
  file_ = file;
  // "[axes]" first, whatever the order in the file, so that "[axis N]" overrides it.
  for (const bool shared : {true, false}) {
    for (const IniEntry& entry : file.entries) {
      const auto axis = AxisSection(entry.section);
      if (!axis) {
        if (entry.section != "gcode") file.Fail(entry, "unknown section [" + entry.section + "]");
        if (entry.key != "axes" && entry.key != "rapid") {
          file.Fail(entry, "unknown setting '" + entry.key + "' in [gcode]");
        }
        continue;
      }
      if ((*axis < 0) != shared) continue;
      try {
        for (int a = 0; a < 8; ++a) {
          if (*axis < 0 || *axis == a)
            SetKey(axes_[static_cast<std::size_t>(a)], entry.key, entry.value);
        }
      } catch (const UsageError& error) {
        file.Fail(entry, error.what());
      }
    }
  }
}

void Settings::ApplyOptions(const Arguments& args) {
  for (const OptionSpec& option : kAxisOptions) {
    const auto value = args.Value(option.name);
    if (!value || std::string(option.name) == "settings") continue;
    for (AxisSettings& axis : axes_)
      SetKey(axis, option.name, *value);
  }
}

std::optional<std::string> Settings::Gcode(const char* key) const {
  std::optional<std::string> value;
  for (const IniEntry& entry : file_.entries) {
    if (entry.section == "gcode" && entry.key == key) value = entry.value;
  }
  return value;
}

void ApplyAxisSettings(QUORVA_HANDLE board, int axis, const AxisSettings& s, double topSpeed) {
  if (s.startSpeed > s.speed) {
    throw ToolError(s.Label(axis) + ": start speed above the working speed");
  }
  const double top = std::max(s.speed, topSpeed);
  QUORVA_MC_SetUnitDistance(board, axis, s.scale);
  QUORVA_MC_SetUnitSpeed(board, axis, s.scale);
  // The board's ranges come in steps: ask for a little more than the top speed so that the one
  // it chooses holds it.
  QUORVA_MC_SetSpeedRange(board, axis, top * 1.01);
  double lowest = 0;
  double highest = 0;
  QUORVA_MC_GetSpeedRange(board, axis, &lowest, &highest);
  const auto outside = [&](double speed) {
    return speed < lowest * 0.999 || speed > highest * 1.001;
  };
  if (outside(top) || outside(s.startSpeed)) {
    char text[200];
    std::snprintf(text, sizeof text, "%s: speeds %g to %g %s/s do not fit the board's %g to %g",
                  s.Label(axis).c_str(), s.startSpeed, top, s.unit.c_str(), lowest, highest);
    throw ToolError(text);
  }
  QUORVA_MC_SetSpeed(board, axis, s.startSpeed, s.speed);
  QUORVA_MC_SetAccel(board, axis, s.accel, s.decel);
  QUORVA_MC_SetSpeedMode(board, axis, static_cast<int>(s.profile));
}

}  // namespace quorva::cli
