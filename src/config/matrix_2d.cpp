// QUORVA_MC_2DMATRIX_*: the gantry-mapping table of a board: writing it to the mapping file,
// reading it back, returning it, and switching the correction on and off.
#include <cstddef>

#include "config/gantry_file.h"
#include "config/gantry_table.h"
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

// A grid the file can hold and read back: at least one point, at most kMaxGantryPoints.
bool GridSizeValid(const int* counts) {
  return counts[0] > 0 && counts[1] > 0 &&
         static_cast<long long>(counts[0]) * counts[1] <= kMaxGantryPoints;
}

// Pulses per user unit of a gantry axis; 1 while the axis is unset (255).
double GantryUnit(const MotionContext& context, int axis) {
  return axis >= 0 && axis < kMaxAxes ? context.unitDistance[axis] : 1.0;
}

}  // namespace

extern "C" {

int QUORVA_MC_2DMATRIX_Reset(QUORVA_HANDLE handle) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  context->gantryEnabled = 0;
  return 1;
}

int QUORVA_MC_2DMATRIX_SetEnable(QUORVA_HANDLE handle, int enable) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || context->gantryLoaded == 0) return 0;
  context->gantryEnabled = enable != 0 ? 1 : 0;
  return 1;
}

int QUORVA_MC_2DMATRIX_GetEnable(QUORVA_HANDLE handle, int* enable) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  if (enable != nullptr) *enable = context->gantryEnabled != 0 ? 1 : 0;
  return 1;
}

// Arguments the file could not hold (missing arrays, axes the board does not have, an empty
// or oversized grid) change nothing: the old file and table stay.
void QUORVA_MC_2DMATRIX_Set(QUORVA_HANDLE handle, int axisX, int axisY, const double* startPoints,
                            const double* spacings, const int* counts, const double* xCorrections,
                            const double* yCorrections) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr || startPoints == nullptr || spacings == nullptr || counts == nullptr ||
      xCorrections == nullptr || yCorrections == nullptr || !AxisValid(context, axisX) ||
      !AxisValid(context, axisY) || !GridSizeValid(counts)) {
    return;
  }
  const GantryFileAxis x{axisX, context->unitDistance[axisX], startPoints[0], spacings[0],
                         counts[0]};
  const GantryFileAxis y{axisY, context->unitDistance[axisY], startPoints[1], spacings[1],
                         counts[1]};
  if (!WriteGantryFile(GantryFilePath(), context->instance, x, y, xCorrections, yCorrections))
    return;
  context->gantryLoaded = 1;
  ReloadGantryTable(*context);
}

void QUORVA_MC_2DMATRIX_Reload(QUORVA_HANDLE handle) {
  MotionContext* context = ContextOf(handle);
  if (context != nullptr) ReloadGantryTable(*context);
}

// Returns the table in user units.
int QUORVA_MC_2DMATRIX_Get(QUORVA_HANDLE handle, int* axisX, int* axisY, double* startPoints,
                           double* spacings, int* counts, double* xCorrections,
                           double* yCorrections) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  const double unitX = GantryUnit(*context, context->gantryAxisX);
  const double unitY = GantryUnit(*context, context->gantryAxisY);
  if (axisX != nullptr) *axisX = context->gantryAxisX;
  if (axisY != nullptr) *axisY = context->gantryAxisY;
  if (startPoints != nullptr) {
    startPoints[0] = context->gantryOriginX / unitX;
    startPoints[1] = context->gantryOriginY / unitY;
  }
  if (spacings != nullptr) {
    spacings[0] = context->gantryPitchX / unitX;
    spacings[1] = context->gantryPitchY / unitY;
  }
  if (counts != nullptr) {
    counts[0] = context->gantryCountX;
    counts[1] = context->gantryCountY;
  }
  for (std::size_t point = 0; point < context->gantryTable.size(); ++point) {
    if (xCorrections != nullptr) xCorrections[point] = context->gantryTable[point].x / unitX;
    if (yCorrections != nullptr) yCorrections[point] = context->gantryTable[point].y / unitY;
  }
  return context->gantryCountX;
}

}  // extern "C"
