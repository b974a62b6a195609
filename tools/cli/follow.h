// Following axes while they move, with the live table and Ctrl-C.
#pragma once

#include <functional>
#include <span>

#include "VarnDasQv.h"
#include "cli/axis_table.h"
#include "cli/session.h"

namespace quorva::cli {

struct FollowOptions {
  AxisTable* table = nullptr;  // shown every `interval` when given
  double interval = 0.2;       // seconds on the session's time line
  // Asked on every pass; once it answers true the axes are stopped (as on Ctrl-C, but the
  // follow counts as finished normally).
  std::function<bool()> stopWhen;
};

// Follows `axes` until every one is done. On Ctrl-C, or once `stopWhen` says so, the axes get a
// decelerating stop and are followed until they stand. Returns false when Ctrl-C stopped them.
bool FollowAxes(const Session& session, QUORVA_HANDLE board, std::span<const int> axes,
                const FollowOptions& options);

}  // namespace quorva::cli
