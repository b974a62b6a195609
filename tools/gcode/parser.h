// Reads a G-code program as shops write them and turns it into checked steps.
//
// What runs: G0 (rapid), G1 (feed), G2 and G3 (arcs, clockwise and counter-clockwise, with the
// centre as I and J, incremental unless G90.1, or as a radius R, negative for the longer arc;
// I and J without X and Y make a whole circle; with Z the arc is a helix, Z moving in proportion
// along it), G4 (dwell P seconds), G17, G20 and G21, G90 and G91, G90.1 and G91.1, F in units
// per minute, N numbers, comments in parentheses and after ';', M2 and M30 (the end; later lines
// are not read), modal motion on lines that give only coordinates. Words that move no axis
// (spindle, coolant, tool change, stops, offsets, cycles cancelled, feed and path modes, program
// numbers) are kept in Program::ignored, once each. Anything that would move in a way the tool
// cannot (another plane, a return to reference, a canned cycle, inverse-time feed, cutter
// compensation, subprograms, other axes) is a ProgramError with its line.
#pragma once

#include <string_view>

#include "gcode/program.h"

namespace quorva::gcode {

struct ParseOptions {
  Vec3 start;                        // where the axes stand, mm
  bool dwellInMilliseconds = false;  // G4 P counts milliseconds instead of seconds
};

Program ParseProgram(std::string_view text, const ParseOptions& options = {});

}  // namespace quorva::gcode
