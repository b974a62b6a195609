// How the parts of the library come and go with the boards, and how the library leaves the
// process.
//
// Lifetime rule: every process-wide object of the library is trivially destructible (atomics,
// plain arrays and records) or an Immortal<T>: the C++ runtime destroys none of them, so no
// exit, dlclose or FreeLibrary path can reach one that is already gone. What they hold is given
// back by TearDownLibrary below, the only place that decides the order of teardown.
#include "library/library_lifecycle.h"

#include <iterator>

#include "config/gantry_table.h"
#include "device/board_watchers.h"
#include "device/registry.h"
#include "device/trace.h"
#include "motion/commands/helical.h"
#include "motion/commands/spline.h"
#include "motion/core/motion_context.h"
#include "platform/backend.h"

namespace quorva {
namespace {

// A motion board gets its context on its first load; a new context of a board that can own
// the gantry-mapping table loads the table when the mapping file names the board.
void MotionBoardLoaded(const BoardEvent& board) {
  MotionContext* created = AttachContext(board);
  if (created != nullptr && CanLoadGantryTable(board.deviceId)) {
    LoadGantryTableAtDeviceLoad(*created);
  }
}

// The parts that watch boards, lowest first.
constexpr BoardWatcher kWatchers[] = {
    {.loading = nullptr,
     .loaded = MotionBoardLoaded,
     .unloading = DetachContext,
     .release = ReleaseContexts},
    // Every board load empties the process-wide spline path.
    {.loading = ClearSplinePath,
     .loaded = nullptr,
     .unloading = nullptr,
     .release = ClearSplinePath},
    // A board's helical worker is stopped and joined before the board's context can go.
    {.loading = nullptr,
     .loaded = nullptr,
     .unloading = StopHelicalWorkers,
     .release = ReleaseHelicalWorkers},
};

}  // namespace

std::span<const BoardWatcher> BoardWatchers() {
  return kWatchers;
}

void TearDownLibrary() {
  // Boards first, as QUORVA_UnloadDevice unloads them, while everything they use is still
  // there; then what the watchers keep beyond their boards; then the trace state; the driver
  // backend last, once no request can follow.
  UnloadAllDevices();
  for (auto w = std::rbegin(kWatchers); w != std::rend(kWatchers); ++w) {
    if (w->release != nullptr) w->release();
  }
  ReleaseTraceState();
  if (const auto release = ActiveBackend().release) release();
}

}  // namespace quorva
