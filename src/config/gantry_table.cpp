#include "config/gantry_table.h"

#include <new>
#include <optional>
#include <utility>

#include "config/gantry_file.h"

namespace quorva {
namespace {

std::optional<ProfileFile> LoadMappingFile() {
  try {
    return ProfileFile::Load(GantryFilePath());
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

// The file's grid replaces the context's, including the two axes' unit distances, only when
// all of it could be read.
void ApplyMappingFile(MotionContext& context, const ProfileFile& file) {
  std::optional<GantryGrid> grid;
  try {
    grid = ReadGantryGrid(file, context.axisCount);
  } catch (const std::bad_alloc&) {
    grid.reset();
  }
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
  const std::optional<ProfileFile> file = LoadMappingFile();
  if (!file || GantryFileInstance(*file) != context.instance) return;
  ApplyMappingFile(context, *file);
}

void ReloadGantryTable(MotionContext& context) {
  if (context.gantryLoaded == 0) return;
  // A file that cannot be opened reads as one without keys.
  const ProfileFile file = LoadMappingFile().value_or(ProfileFile{});
  if (GantryFileInstance(file) != context.instance) return;
  ApplyMappingFile(context, file);
}

}  // namespace quorva
