// Recording moves into a list that the driver runs back to back.
#pragma once

#include <cstdint>

#include "device/driver_call.h"
#include "motion/core/list_chain.h"

namespace quorva {

struct MotionContext;

// Appends an entry holding the set-up registers of every masked axis (below the axis count)
// and the start command for the master axis. Nothing is recorded when memory runs out.
void ListAppend(Handle handle, MotionContext& context, std::uint32_t mask, int master,
                std::uint32_t command, ListEntryKind kind);

// The chain entries are appended to: the one that matches the process's request layout.
ListChain& ActiveListChain(MotionContext& context);

}  // namespace quorva
