#include "config/gantry_correct.h"

#include <cmath>
#include <utility>

namespace quorva {

double GridAxis::Steps(double position) const {
  return pitch == 0 ? 0 : (position - origin) / pitch;
}

int GridAxis::Index(double position) const {
  const double steps = std::trunc(Steps(position));
  if (!(steps > 0)) return 0;  // also catches NaN
  return steps >= count - 1 ? count - 1 : static_cast<int>(steps);
}

bool GridAxis::Covers(double position) const {
  double low = origin;
  double high = origin + (count - 1) * pitch;
  if (pitch < 0) std::swap(low, high);
  return position >= low && position <= high;
}

double GridAxis::Fraction(double position, int index) const {
  return pitch == 0 ? 0 : (position - origin - index * pitch) / pitch;
}

GridAxis GantryGridX(const MotionContext& context) {
  return {context.gantryOriginX, context.gantryPitchX, context.gantryCountX};
}

GridAxis GantryGridY(const MotionContext& context) {
  return {context.gantryOriginY, context.gantryPitchY, context.gantryCountY};
}

bool GantryGridUsable(const MotionContext& context) {
  return context.gantryCountX > 0 && context.gantryCountY > 0 &&
         context.gantryTable.size() ==
             static_cast<std::size_t>(context.gantryCountX) * context.gantryCountY;
}

GantryPoint InterpolateCorrection(const MotionContext& context, int i, int j, double fx,
                                  double fy) {
  const int countX = context.gantryCountX;
  const int countY = context.gantryCountY;
  const auto cell = [&](int row, int column) -> const GantryCell& {
    return context.gantryTable[static_cast<std::size_t>(row) * countY + column];
  };
  const bool lastRow = i > countX - 2;
  const bool lastColumn = j > countY - 2;
  const GantryCell& c00 = cell(i, j);
  const GantryCell& c01 = lastColumn ? c00 : cell(i, j + 1);
  const GantryCell& c10 = lastRow ? c00 : cell(i + 1, j);
  const GantryCell& c11 = lastRow ? c01 : lastColumn ? c10 : cell(i + 1, j + 1);
  const auto blend = [fx, fy](double v00, double v01, double v10, double v11) {
    const double low = v00 + (v10 - v00) * fx;
    const double high = v01 + (v11 - v01) * fx;
    return std::floor(low + (high - low) * fy + 0.5);
  };
  return {blend(c00.x, c01.x, c10.x, c11.x), blend(c00.y, c01.y, c10.y, c11.y)};
}

GantryPoint GantryCorrect(const MotionContext& context, double x, double y) {
  if (!GantryGridUsable(context)) return {x, y};
  const GridAxis gridX = GantryGridX(context);
  const GridAxis gridY = GantryGridY(context);
  const int i = gridX.Index(x);
  const int j = gridY.Index(y);
  const double fx = gridX.Covers(x) ? gridX.Fraction(x, i) : 0;
  const double fy = gridY.Covers(y) ? gridY.Fraction(y, j) : 0;
  const GantryPoint correction = InterpolateCorrection(context, i, j, fx, fy);
  return {x + correction.x, y + correction.y};
}

}  // namespace quorva
