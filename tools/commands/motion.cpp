// quorva move, moveto, jog, stop and reset: one axis moved in user units, or stopped.
#include <cstdio>
#include <ostream>

#include "cli/axis_table.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "cli/follow.h"
#include "cli/session.h"
#include "cli/settings.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kWatchOptions[] = {
    {"watch", nullptr, "show the axis table while it moves"},
    {"interval", "SECONDS", "time between two tables with --watch (default 0.2)"},
};
constexpr OptionSpec kJogOptions[] = {
    {"for", "SECONDS", "stop after this long (default: at Ctrl-C)"},
};
constexpr OptionSpec kStopOptions[] = {
    {"now", nullptr, "stop at once instead of decelerating"},
};

// An axis of an opened board with its settings applied.
struct MovingAxis {
  Session session;
  const OpenBoard* board = nullptr;
  Settings settings;
  int axis = 0;

  explicit MovingAxis(const Arguments& args) : session(args), settings(Settings::Load(args)) {
    board = &session.Open(args.At(0, "BOARD"));
    axis = ParseAxis(args.At(1, "AXIS"));
    if (axis >= board->info.axes) throw UsageError("the board has no axis " + args.At(1, "AXIS"));
    ApplyAxisSettings(board->handle, axis, settings.Axis(axis));
  }
};

// Follows the axis until it stands, with the table when asked, and reports where it is.
int FollowAndReport(const Invocation& call, MovingAxis& m, std::function<bool()> stopWhen = {}) {
  AxisTable table(call.console, m.settings, {m.axis});
  FollowOptions options;
  options.table = call.args.Flag("watch") ? &table : nullptr;
  options.interval = call.args.Number("interval", 0.2);
  options.stopWhen = std::move(stopWhen);
  const bool completed = FollowAxes(m.session, m.board->handle, {&m.axis, 1}, options);
  const AxisSettings& s = m.settings.Axis(m.axis);
  char text[120];
  std::snprintf(text, sizeof text, "%s at %.3f %s\n", s.Label(m.axis).c_str(),
                QUORVA_MC_GetPosition_C(m.board->handle, m.axis), s.unit.c_str());
  call.console.out << text;
  if (!completed) throw ToolError("stopped by Ctrl-C");
  return 0;
}

// Starts a move of the axis to or by the third argument (`what`) and follows it.
int StartAndFollow(const Invocation& call, const char* what,
                   void(QUORVA_CALL* start)(QUORVA_HANDLE, int, double)) {
  call.args.AllowAtMost(3);
  MovingAxis m(call.args);
  start(m.board->handle, m.axis, ParseNumber(call.args.At(2, what), what));
  return FollowAndReport(call, m);
}

int Move(const Invocation& call) {
  return StartAndFollow(call, "DISTANCE", QUORVA_MC_StartMove);
}

int MoveTo(const Invocation& call) {
  return StartAndFollow(call, "POSITION", QUORVA_MC_StartMoveTo);
}

int Jog(const Invocation& call) {
  call.args.AllowAtMost(3);
  MovingAxis m(call.args);
  const std::string& direction = call.args.At(2, "DIRECTION");
  if (direction != "+" && direction != "-") throw UsageError("DIRECTION is + or -");
  const std::optional<double> duration = call.args.Number("for");
  QUORVA_MC_StartVMove(m.board->handle, m.axis, direction == "+" ? 1 : -1);
  const double start = m.session.Now();
  std::function<bool()> stopWhen;
  if (duration) stopWhen = [&] { return m.session.Now() - start >= *duration; };
  return FollowAndReport(call, m, stopWhen);
}

int Stop(const Invocation& call) {
  call.args.AllowAtMost(2);
  Session session(call.args);
  const OpenBoard& board = session.Open(call.args.At(0, "BOARD"));
  const int axis = ParseAxis(call.args.At(1, "AXIS"));
  if (call.args.Flag("now")) {
    QUORVA_MC_EmgStop(board.handle, axis);
  } else {
    QUORVA_MC_Stop(board.handle, axis);
  }
  call.console.out << "axis " << axis
                   << (call.args.Flag("now") ? " stopped at once\n" : " stopping\n");
  return 0;
}

int Reset(const Invocation& call) {
  call.args.AllowAtMost(1);
  Session session(call.args);
  QUORVA_MC_Reset(session.Open(call.args.At(0, "BOARD")).handle);
  call.console.out << "controller reset\n";
  return 0;
}

}  // namespace

extern const Command kMoveCommand{
    "move",
    "BOARD AXIS DISTANCE",
    "move an axis by a distance",
    "Moves AXIS by DISTANCE user units with the speeds of its settings and returns when it\n"
    "stands, printing where it is. Ctrl-C stops the axis, decelerating.",
    {BoardOptions(), AxisOptions(), kWatchOptions},
    Move};

extern const Command kMoveToCommand{"moveto",
                                    "BOARD AXIS POSITION",
                                    "move an axis to a position",
                                    "Moves AXIS to POSITION in user units, as move does.",
                                    {BoardOptions(), AxisOptions(), kWatchOptions},
                                    MoveTo};

extern const Command kJogCommand{
    "jog",
    "BOARD AXIS +|-",
    "run an axis until stopped",
    "Runs AXIS in the + or - direction at its working speed until Ctrl-C, or for --for\n"
    "SECONDS, then stops it decelerating.",
    {BoardOptions(), AxisOptions(), kWatchOptions, kJogOptions},
    Jog};

extern const Command kStopCommand{"stop",
                                  "BOARD AXIS",
                                  "stop an axis",
                                  "Stops AXIS, decelerating, or at once with --now.",
                                  {BoardOptions(), kStopOptions},
                                  Stop};

extern const Command kResetCommand{
    "reset",
    "BOARD",
    "reset the motion controller",
    "Stops and resets every axis of the board and initialises its controller again.",
    {BoardOptions()},
    Reset};

}  // namespace quorva::cli
