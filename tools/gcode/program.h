// A G-code program as the tool runs it: every motion checked and resolved to absolute
// positions in millimetres before any axis moves.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace quorva::gcode {

inline constexpr double kMillimetresPerInch = 25.4;

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

enum class Units { kMillimetres, kInches };

struct Step {
  enum class Kind { kRapid, kLine, kArc, kDwell };
  Kind kind = Kind::kRapid;
  int line = 0;  // line of the file it comes from
  Vec3 to;       // where the motion ends, mm
  Vec3 centre;   // arcs: the centre in the XY plane (z unused), mm; Z moving too makes a helix
  bool clockwise = false;
  double feed = 0;     // lines and arcs: mm per second
  double seconds = 0;  // dwells
};

// A word the program holds that moves no axis, reported once.
struct IgnoredWord {
  std::string word;    // "M3", "S", "G43"
  std::string reason;  // "spindle", "coolant", ...
  int line = 0;        // where it first appears
};

struct Program {
  Vec3 start;  // where the axes stand before the first step, mm
  std::vector<Step> steps;
  std::vector<IgnoredWord> ignored;
  Units finalUnits = Units::kMillimetres;  // the units in force at the end

  // Seconds the program takes at its feeds, rapids at `rapidSpeed` mm/s, without ramps.
  double NominalSeconds(double rapidSpeed) const;
};

// A program that cannot run: the line and what is wrong with it.
class ProgramError : public std::runtime_error {
 public:
  ProgramError(int line, const std::string& message)
      : std::runtime_error("line " + std::to_string(line) + ": " + message),
        line_(line),
        message_(message) {}
  int Line() const { return line_; }
  // What is wrong, without the line.
  const std::string& Message() const { return message_; }

 private:
  int line_;
  std::string message_;
};

}  // namespace quorva::gcode
