// The gantry-mapping file: a profile file naming the board instance and the two axes a grid
// of X-Y corrections belongs to, the grid's geometry in user units, and one line per point.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "motion/core/motion_context.h"

namespace quorva {

// The grid holds at most this many points.
inline constexpr long long kMaxGantryPoints = 1000000;

// Where the mapping file is: the full path in QUORVA_GANTRY_FILE when that is set, else the
// platform's default location.
std::string GantryFilePath();

// One axis of the grid as the file states it.
struct GantryFileAxis {
  int axis;
  double unitDistance;  // pulses per user unit
  double start;         // position of the first grid point, user units
  double spacing;       // grid spacing, user units; may be negative
  int count;            // grid points along the axis
};

// Writes the file for `instance`: `xCorrections` and `yCorrections` hold x.count × y.count
// values in user units, point (i, j) at index i × y.count + j. The text goes to a temporary
// file in the same directory that then replaces the old file, so a reader never sees a
// half-written table and a failed write leaves the old file as it was. False on failure.
bool WriteGantryFile(const std::string& path, int instance, const GantryFileAxis& x,
                     const GantryFileAxis& y, const double* xCorrections,
                     const double* yCorrections);

// A grid read from the file, positions and corrections converted to pulses.
struct GantryGrid {
  int axisX;
  int axisY;
  double unitX;  // the unit distances the file gives the two axes
  double unitY;
  double originX;
  double originY;
  double pitchX;
  double pitchY;
  int countX;
  int countY;
  std::vector<GantryCell> cells;  // countX × countY, cell (i, j) at index i × countY + j
};

// What the mapping file holds for one board.
struct GantryFileContents {
  // The board instance the file names ("Instance", 0 when missing).
  int instance;
  // The grid, when the file names the board asked for and all of it could be read.
  std::optional<GantryGrid> grid;
};

// Reads the mapping file for board `instance` with `axisCount` axes, one line at a time: the
// memory it takes beyond the grid's cells does not grow with the file. A file that cannot be
// opened reads as one without keys. Reading stops once the file is seen to name another
// instance. The grid is unusable when an axis is missing or not below `axisCount`, a unit
// distance is missing, zero or not a number, a start or spacing is not a number, the grid has
// no points or more than kMaxGantryPoints, or a point is missing or not a pair of numbers.
GantryFileContents ReadGantryFile(const std::string& path, int instance, int axisCount);
// The same, from a file open for reading in binary mode, from its present position (it may be
// read twice: the points are read last, from the start again when their section comes before
// the sections that give the grid's size).
GantryFileContents ReadGantryFile(std::FILE* file, int instance, int axisCount);

}  // namespace quorva
