// The seam between loading boards and the parts of the library that act when a board comes and
// goes. The device layer calls the watchers; which parts watch, and in which order, is decided
// where the library is put together (library/library_lifecycle.cpp).
#pragma once

#include <cstdint>
#include <span>

#include "device/driver_call.h"

namespace quorva {

// A board as it is loaded or unloaded.
struct BoardEvent {
  Handle handle;
  std::uint16_t deviceId;
  std::int32_t instance;
};

// What one part of the library does as boards come and go. Any member may be null.
struct BoardWatcher {
  // At the start of every QUORVA_LoadDevice, before any board is opened (also when none loads).
  void (*loading)();
  // A board was registered under its handle.
  void (*loaded)(const BoardEvent& board);
  // A registered board is being unloaded, by QUORVA_UnloadDevice or because the library leaves
  // the process; its handle is still open and registered.
  void (*unloading)(const BoardEvent& board);
  // The library leaves the process and every board has been unloaded: frees what is left.
  void (*release)();
};

// Every watcher, in the order they act when a board loads; unloading and release run in the
// reverse order, so a part goes before the parts it was built on.
std::span<const BoardWatcher> BoardWatchers();

}  // namespace quorva
