// The gantry-mapping file: a profile file naming the board instance and the two axes a grid
// of X-Y corrections belongs to, the grid's geometry in user units, and one line per point.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/profile_file.h"
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

// The board instance the file belongs to ("Instance", 0 when missing).
int GantryFileInstance(const ProfileFile& file);

// Reads the grid. Nullopt when the file is unusable: an axis missing or not below
// `axisCount`, a unit distance missing, zero or not a number, a start or spacing not a number,
// a grid of no points or more than kMaxGantryPoints, or a point missing or not a pair of
// numbers.
std::optional<GantryGrid> ReadGantryGrid(const ProfileFile& file, int axisCount);

}  // namespace quorva
