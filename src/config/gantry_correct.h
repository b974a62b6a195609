// Bilinear correction through the gantry-mapping table, and the grid arithmetic that the
// correction and its inverse share. All positions are in pulses.
#pragma once

#include "motion/core/motion_context.h"

namespace quorva {

struct GantryPoint {
  double x;
  double y;
};

// One direction of the grid.
struct GridAxis {
  double origin;
  double pitch;
  int count;

  // (position − origin) ÷ pitch, 0 for a zero pitch.
  double Steps(double position) const;
  // Grid index of `position`: Steps truncated toward zero and limited to 0 … count − 1.
  int Index(double position) const;
  // Whether `position` lies on the span from the first to the last grid point (the span runs
  // downward for a negative pitch).
  bool Covers(double position) const;
  // Offset of `position` from grid point `index`, in pitches (0 for a zero pitch).
  double Fraction(double position, int index) const;
};

GridAxis GantryGridX(const MotionContext& context);
GridAxis GantryGridY(const MotionContext& context);
// The context holds a grid of at least one point whose table matches its point counts.
bool GantryGridUsable(const MotionContext& context);

// The correction of cell (i, j) at fractions (fx, fy) from its corners, each component rounded
// to whole pulses with halves upward. A corner beyond the last row or column is replaced by
// the cell's own.
GantryPoint InterpolateCorrection(const MotionContext& context, int i, int j, double fx, double fy);

// The position to command so that the stage reaches the logical position (x, y): each
// coordinate plus its interpolated correction. A coordinate outside the grid takes the
// corrections of the edge cell while the other is still interpolated. Without a usable grid
// the position is returned unchanged.
GantryPoint GantryCorrect(const MotionContext& context, double x, double y);

}  // namespace quorva
