#include "motion/io/gantry_inverse.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorva {
namespace {

// The rows (or columns) that the logical positions of a raw count may fall into, judged by
// the corrections of the four grid points around it.
struct IndexRange {
  int low = std::numeric_limits<int>::max();
  int high = -1;

  void Add(int index) {
    low = std::min(low, index);
    high = std::max(high, index);
  }
  // Past the first half pitch the raw count is taken to lie in the higher candidate.
  int Choose(const GridAxis& grid, double position) const {
    return grid.Steps(position) > 0.5 ? high : low;
  }
};

}  // namespace

GantryPoint InverseGantryCorrection(const MotionContext& context, double a, double b) {
  if (!GantryGridUsable(context)) return {a, b};
  const GridAxis gridX = GantryGridX(context);
  const GridAxis gridY = GantryGridY(context);
  const auto cell = [&](int i, int j) -> const GantryCell& {
    return context.gantryTable[static_cast<std::size_t>(i) * gridY.count + j];
  };
  const int i0 = gridX.Index(a);
  const int j0 = gridY.Index(b);
  IndexRange rows;
  IndexRange columns;
  for (int di = 0; di <= 1; ++di) {
    for (int dj = 0; dj <= 1; ++dj) {
      // Neighbours beyond the last row or column are taken from the last one.
      const GantryCell& near =
          cell(std::min(i0 + di, gridX.count - 1), std::min(j0 + dj, gridY.count - 1));
      rows.Add(gridX.Index(a - near.x));
      columns.Add(gridY.Index(b - near.y));
    }
  }
  int i = rows.Choose(gridX, a);
  int j = columns.Choose(gridY, b);
  const GantryCell& own = cell(i, j);
  const bool insideX = gridX.Covers(a - own.x);
  const bool insideY = gridY.Covers(b - own.y);
  // A logical position outside the grid was corrected with the edge cell along that axis
  // (GantryCorrect); the chosen cell may be the one next to the edge.
  if (!insideX) i = gridX.Index(a - own.x);
  if (!insideY) j = gridY.Index(b - own.y);
  const double fx = insideX ? gridX.Fraction(a, i) : 0;
  const double fy = insideY ? gridY.Fraction(b, j) : 0;
  const GantryPoint correction = InterpolateCorrection(context, i, j, fx, fy);
  return {a - correction.x, std::floor(b - correction.y)};
}

}  // namespace quorva
