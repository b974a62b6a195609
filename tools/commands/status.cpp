// quorva status: the table of a board's axes, once or live.
#include <numeric>

#include "cli/axis_table.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "cli/session.h"
#include "cli/settings.h"
#include "cli/terminal.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kStatusOptions[] = {
    {"watch", nullptr, "refresh the table until Ctrl-C"},
    {"interval", "SECONDS", "time between two refreshes (default 0.2)"},
    {"count", "N", "with --watch, stop after N tables"},
    {"axes", "LIST", "the axes to show, e.g. 0,1,2 (default all)"},
};

int Status(const Invocation& call) {
  call.args.AllowAtMost(1);
  Session session(call.args);
  const Settings settings = Settings::Load(call.args);
  const OpenBoard& board = session.Open(call.args.At(0, "BOARD"));
  std::vector<int> axes(board.info.axes);
  std::iota(axes.begin(), axes.end(), 0);
  if (const auto list = call.args.Value("axes")) axes = ParseAxes(*list);
  for (int axis : axes) {
    if (axis >= board.info.axes) throw UsageError("the board has no axis " + std::to_string(axis));
  }
  const bool watch = call.args.Flag("watch");
  const double interval = call.args.Number("interval", 0.2);
  const long long count =
      call.args.Value("count") ? ParseInteger(*call.args.Value("count"), "--count") : -1;
  AxisTable table(call.console, settings, axes);
  const InterruptWatch interrupt;
  const double start = session.Now();
  for (long long shown = 1;; ++shown) {
    table.Show(board.handle, session.Now() - start);
    if (!watch || shown == count || interrupt.Requested()) break;
    session.Pause(interval);
  }
  return 0;
}

}  // namespace

extern const Command kStatusCommand{
    "status",
    "BOARD",
    "show every axis: position, speed, phase, limits, home, alarm",
    "Shows a table of the board's axes: position and speed in user units, phase (idle,\n"
    "waiting, accel, cruise, decel), end limits, home and alarm inputs. With --watch the table\n"
    "refreshes in place on a terminal, and is printed again with the time in front when the\n"
    "output goes to a file or a pipe. On the simulator each run of the tool starts with a\n"
    "fresh board: watch axes that this run moves with move --watch.",
    {BoardOptions(), AxisOptions(), kStatusOptions},
    Status};

}  // namespace quorva::cli
