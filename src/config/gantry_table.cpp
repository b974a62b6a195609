#include "config/gantry_table.h"

#include <new>
#include <optional>
#include <utility>

#include "config/gantry_file.h"

namespace quorva {
namespace {

// The file's grid replaces the context's, including the two axes' unit distances, only when
// all of it could be read; a file of another instance leaves the context as it is.
void ApplyMappingFile(MotionContext& context) {
  GantryFileContents file{};
  try {
    file = ReadGantryFile(GantryFilePath(), context.instance, context.axisCount);
  } catch (const std::bad_alloc&) {
    file = {context.instance, std::nullopt};
  }
  if (file.instance != context.instance) return;
  std::optional<GantryGrid>& grid = file.grid;
  if (!grid) {
    context.gantryLoaded = 0;
    context.gantryEnabled = 0;
    return;
  }
  context.gantryAxisX = grid->axisX;
  context.gantryAxisY = grid->axisY;
  context.unitDistance[grid->axisX] = grid->unitX;
  context.unitDistance[grid->axisY] = grid->unitY;
  context.gantryOriginX = grid->originX;
  context.gantryOriginY = grid->originY;
  context.gantryPitchX = grid->pitchX;
  context.gantryPitchY = grid->pitchY;
  context.gantryCountX = grid->countX;
  context.gantryCountY = grid->countY;
  context.gantryTable = std::move(grid->cells);
  context.gantryLoaded = 1;
}

}  // namespace

void LoadGantryTableAtDeviceLoad(MotionContext& context) {
  context.gantryLoaded = 0;
  context.gantryEnabled = 0;
  ApplyMappingFile(context);
}

void ReloadGantryTable(MotionContext& context) {
  if (context.gantryLoaded != 0) ApplyMappingFile(context);
}

}  // namespace quorva
