// quorva home: a home search of one axis, plain or automatic.
#include <algorithm>
#include <cstdio>
#include <ostream>

#include "VarnDasQvSim.h"
#include "cli/axis_table.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "cli/follow.h"
#include "cli/session.h"
#include "cli/settings.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kHomeOptions[] = {
    {"mode", "N", "home mode 0-15 of the search (default: as the controller holds it)"},
    {"auto", nullptr, "automatic search: back off an end limit, go on by --offset, zero there"},
    {"offset", "DISTANCE", "with --auto, where the origin lies beyond what the search finds"},
    {"sim-switch", "POSITION",
     "on the simulator, where the home switch (or, in home modes 6, 7, "
     "8 and 12, the end limit searched for) stands"},
    {"watch", nullptr, "show the axis table while it searches"},
    {"interval", "SECONDS", "time between two tables with --watch (default 0.2)"},
};

// Home modes whose origin is the end limit of the search direction.
bool SearchesTheLimit(int mode) {
  return mode == 6 || mode == 7 || mode == 8 || mode == 12;
}

int Home(const Invocation& call) {
  const Arguments& args = call.args;
  args.AllowAtMost(3);
  Session session(args);
  const Settings settings = Settings::Load(args);
  const OpenBoard& board = session.Open(args.At(0, "BOARD"));
  const int axis = ParseAxis(args.At(1, "AXIS"));
  if (axis >= board.info.axes) throw UsageError("the board has no axis " + args.At(1, "AXIS"));
  const std::string direction = args.Count() > 2 ? args.At(2, "DIRECTION") : "-";
  if (direction != "+" && direction != "-") throw UsageError("DIRECTION is + or -");
  const int sign = direction == "+" ? 1 : -1;
  const AxisSettings& s = settings.Axis(axis);
  ApplyAxisSettings(board.handle, axis, s);

  int mode = 0;
  int flagA = 0, count = 0, flagB = 0, flagC = 0;
  QUORVA_MC_GetHomeConfig(board.handle, axis, &mode, &flagA, &count, &flagB, &flagC);
  if (const auto given = args.Value("mode")) {
    const long long m = ParseInteger(*given, "--mode");
    if (m < 0 || m > 15) throw UsageError("--mode is a home mode 0-15");
    mode = static_cast<int>(m);
    QUORVA_MC_SetHomeConfig(board.handle, axis, mode, flagA, count, flagB, flagC);
  }
  if (session.Simulated()) {
    const auto at = args.Number("sim-switch");
    if (!at) throw UsageError("the simulated axis has no home switch: give --sim-switch POSITION");
    const int pulses = static_cast<int>(*at * s.scale);
    if (SearchesTheLimit(mode)) {
      QUORVA_SIM_SetEndLimitPosition(board.simIndex, axis, sign, pulses);
    } else {
      // A switch 1 unit wide whose edge that the search meets stands at the position.
      const int width = std::max(1, static_cast<int>(s.scale));
      QUORVA_SIM_SetHomePosition(board.simIndex, axis, sign > 0 ? pulses : pulses - width + 1,
                                 width);
    }
  }

  const double offset = args.Number("offset", 0);
  if (args.Flag("auto")) {
    QUORVA_MC_HomeMoveAuto(board.handle, axis, sign > 0 ? 1 : 0, s.speed, offset);
    if (QUORVA_LastError() == QUORVA_ERR_HOME_BACKOFF) {
      throw ToolError("the axis could not be moved off its end limit: no search started");
    }
  } else {
    QUORVA_MC_HomeMove(board.handle, axis, sign > 0 ? 1 : 0, s.speed);
  }
  AxisTable table(call.console, settings, {axis});
  FollowOptions options;
  options.table = args.Flag("watch") ? &table : nullptr;
  options.interval = args.Number("interval", 0.2);
  const bool completed = FollowAxes(session, board.handle, {&axis, 1}, options);
  char text[120];
  std::snprintf(text, sizeof text, "%s %s at %.3f %s\n", s.Label(axis).c_str(),
                args.Flag("auto") ? "homed, now" : "found home",
                QUORVA_MC_GetPosition_C(board.handle, axis), s.unit.c_str());
  call.console.out << text;
  if (!completed) throw ToolError("stopped by Ctrl-C");
  const int causes = QUORVA_MC_ReadRegister(board.handle, axis, 49) >> 8 & 0x7;
  if (causes != 0) throw ToolError("the search was stopped by a limit or the alarm");
  return 0;
}

}  // namespace

extern const Command kHomeCommand{
    "home",
    "BOARD AXIS [+|-]",
    "search an axis's home",
    "Searches the origin of AXIS in the + or - direction (default -) at its working speed:\n"
    "the home switch, or in home modes 6, 7, 8 and 12 the end limit of that direction. With\n"
    "--auto the controller first moves the axis off an end limit, then goes on past the origin\n"
    "by --offset and sets its position to 0 there. On the simulator --sim-switch places the\n"
    "switch the search finds.",
    {BoardOptions(), AxisOptions(), kHomeOptions},
    Home};

}  // namespace quorva::cli
