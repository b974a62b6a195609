#include "cli/follow.h"

#include <algorithm>

#include "cli/terminal.h"

namespace quorva::cli {
namespace {

// Pause between two polls while no table is shown.
constexpr double kPollInterval = 0.005;

bool AllDone(QUORVA_HANDLE board, std::span<const int> axes) {
  return QUORVA_MC_AllDone(board, static_cast<int>(axes.size()), axes.data()) != 0;
}

}  // namespace

bool FollowAxes(const Session& session, QUORVA_HANDLE board, std::span<const int> axes,
                const FollowOptions& options) {
  const InterruptWatch interrupt;
  const double start = session.Now();
  bool stopping = false;
  for (;;) {
    const bool done = AllDone(board, axes);
    if (options.table != nullptr) options.table->Show(board, session.Now() - start);
    if (done) break;
    const bool stopWanted = options.stopWhen && options.stopWhen();
    if (!stopping && (interrupt.Requested() || stopWanted)) {
      QUORVA_MC_StopAll(board, static_cast<int>(axes.size()), axes.data());
      stopping = true;
    }
    session.Pause(options.table != nullptr ? options.interval : kPollInterval);
  }
  return !interrupt.Requested();
}

}  // namespace quorva::cli
