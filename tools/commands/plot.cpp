// quorva plot: a move, a line, an arc or a list run on the simulator, drawn as position and
// velocity over time (and, for two axes, the path in their plane) in one SVG file.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <ostream>

#include "VarnDasQvSim.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "cli/session.h"
#include "cli/settings.h"
#include "plot/recording.h"
#include "plot/state_sampler.h"
#include "plot/svg.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kPlotOptions[] = {
    {"output", "FILE", "the SVG file to write (default plot.svg)", 'o'},
    {"csv", "FILE", "also write the samples to FILE"},
    {"board", "BOARD", "the simulated motion board (default A508)"},
    {"title", "TEXT", "the title above the charts"},
};

struct PlotRun {
  Session session;
  Settings settings;
  const OpenBoard* board = nullptr;
  std::vector<int> axes;  // the axes drawn, in the order of the command line

  explicit PlotRun(const Arguments& args) : session(args), settings(Settings::Load(args)) {
    session.RequireSimulator("plot");
    session.UseVirtualClock();
    board = &session.Open(args.Value("board").value_or("A508"));
  }

  // Takes `axes` for the plot and gives each its settings.
  void Use(std::vector<int> used) {
    for (int axis : used) {
      if (axis >= board->info.axes)
        throw UsageError("the board has no axis " + std::to_string(axis));
      ApplyAxisSettings(board->handle, axis, settings.Axis(axis));
      if (std::find(axes.begin(), axes.end(), axis) == axes.end()) axes.push_back(axis);
    }
  }

  plot::Recording Follow(const std::function<bool()>& finished = {}) const {
    std::vector<plot::SampledAxis> sampled;
    for (int axis : axes) {
      const AxisSettings& s = settings.Axis(axis);
      sampled.push_back({axis, s.Label(axis), s.unit, s.scale});
    }
    return plot::StateSampler(board->simIndex, sampled).Follow(finished);
  }
};

// "0:40" (axis 0 by 40 units).
struct ListStep {
  int axis = 0;
  double distance = 0;
};

ListStep ParseListStep(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) throw UsageError("a list step is AXIS:DISTANCE, not " + text);
  return {ParseAxis(text.substr(0, colon)), ParseNumber(text.substr(colon + 1), "list step")};
}

plot::Recording PlotMove(PlotRun& run, const Arguments& args, bool absolute) {
  args.AllowAtMost(3);
  const int axis = ParseAxis(args.At(1, "AXIS"));
  const double value = ParseNumber(args.At(2, absolute ? "POSITION" : "DISTANCE"), "target");
  run.Use({axis});
  if (absolute) {
    QUORVA_MC_StartMoveTo(run.board->handle, axis, value);
  } else {
    QUORVA_MC_StartMove(run.board->handle, axis, value);
  }
  return run.Follow();
}

// Map 0 holds `axes`, with the path speed, ramps and profile of the lowest one's settings.
void MapAxes(PlotRun& run, const std::vector<int>& axes) {
  int mask = 0;
  for (int axis : axes)
    mask |= 1 << axis;
  const AxisSettings& lowest = run.settings.Axis(*std::min_element(axes.begin(), axes.end()));
  QUORVA_MC_MapAxes(run.board->handle, 0, mask);
  QUORVA_MC_SetSpeedModeMx(run.board->handle, 0, static_cast<int>(lowest.profile));
  QUORVA_MC_SetSpeedMx2(run.board->handle, 0, lowest.speed, lowest.accel, lowest.decel);
}

plot::Recording PlotLine(PlotRun& run, const Arguments& args) {
  args.AllowAtMost(3);
  const std::vector<int> axes = ParseAxes(args.At(1, "AXES"));
  const std::vector<double> distances = ParseNumbers(args.At(2, "DISTANCES"), "DISTANCES");
  if (axes.size() < 2 || distances.size() != axes.size()) {
    throw UsageError("a line takes two or more axes and a distance for each");
  }
  run.Use(axes);
  MapAxes(run, axes);
  // The library takes the distances in ascending axis order.
  std::vector<std::pair<int, double>> ordered;
  for (std::size_t i = 0; i < axes.size(); ++i)
    ordered.emplace_back(axes[i], distances[i]);
  std::sort(ordered.begin(), ordered.end());
  std::vector<double> values;
  for (const auto& [axis, distance] : ordered)
    values.push_back(distance);
  QUORVA_MC_StartLine(run.board->handle, 0, values.data());
  return run.Follow();
}

plot::Recording PlotArc(PlotRun& run, const Arguments& args) {
  args.AllowAtMost(4);
  std::vector<int> axes = ParseAxes(args.At(1, "AXES"));
  const std::vector<double> centre = ParseNumbers(args.At(2, "CX,CY"), "CX,CY");
  const double angle = ParseNumber(args.At(3, "ANGLE"), "ANGLE");
  if (axes.size() != 2 || centre.size() != 2) {
    throw UsageError("an arc takes two axes and its centre as CX,CY");
  }
  if (axes[0] / 4 != axes[1] / 4) throw UsageError("an arc's axes lie on one chip: 0-3 or 4-7");
  std::sort(axes.begin(), axes.end());
  run.Use(axes);
  MapAxes(run, axes);
  QUORVA_MC_StartArc_a(run.board->handle, 0, centre[0], centre[1], angle);
  plot::Recording recording = run.Follow();
  // The completion takes both axes to the arc's exact end.
  QUORVA_MC_CompleteArc(run.board->handle, 0);
  recording.Append(run.Follow(), recording.time.back());
  return recording;
}

plot::Recording PlotList(PlotRun& run, const Arguments& args) {
  std::vector<ListStep> steps;
  for (const std::string& text : args.From(1))
    steps.push_back(ParseListStep(text));
  if (steps.empty()) throw UsageError("missing STEP");
  for (const ListStep& step : steps)
    run.Use({step.axis});
  const QUORVA_HANDLE board = run.board->handle;
  QUORVA_MC_BeginList(board);
  for (const ListStep& step : steps)
    QUORVA_MC_StartMove(board, step.axis, step.distance);
  QUORVA_MC_EndList(board);
  QUORVA_MC_StartListMotion(board);
  return run.Follow([board] { return QUORVA_MC_CheckListMotionDone(board) != 0; });
}

int Plot(const Invocation& call) {
  const Arguments& args = call.args;
  const std::string& kind = args.At(0, "KIND");
  PlotRun run(args);
  plot::Recording recording;
  if (kind == "move" || kind == "moveto") {
    recording = PlotMove(run, args, kind == "moveto");
  } else if (kind == "line") {
    recording = PlotLine(run, args);
  } else if (kind == "arc") {
    recording = PlotArc(run, args);
  } else if (kind == "list") {
    recording = PlotList(run, args);
  } else {
    throw UsageError("KIND is move, moveto, line, arc or list, not " + kind);
  }
  std::vector<int> plane;
  if (run.axes.size() == 2) plane = {0, 1};
  const std::string title = args.Value("title").value_or("quorva plot " + kind);
  const std::string output = args.Value("output").value_or("plot.svg");
  std::ofstream svg(output, std::ios::binary);
  svg << plot::RenderSvg(title, plot::MotionCharts(recording, plane));
  if (!svg.flush()) throw ToolError("cannot write " + output);
  if (const auto csv = args.Value("csv")) {
    std::ofstream file(*csv, std::ios::binary);
    plot::WriteCsv(recording, file);
    if (!file.flush()) throw ToolError("cannot write " + *csv);
  }
  char text[160];
  std::snprintf(text, sizeof text, "%s: %llu samples over %.3f simulated seconds\n", output.c_str(),
                static_cast<unsigned long long>(recording.time.size()), recording.time.back());
  call.console.out << text;
  for (const plot::AxisTrack& axis : recording.axes) {
    std::snprintf(text, sizeof text, "%s at %.3f %s\n", axis.label.c_str(), axis.position.back(),
                  axis.unit.c_str());
    call.console.out << text;
  }
  return 0;
}

}  // namespace

extern const Command kPlotCommand{
    "plot",
    "KIND ARGUMENTS",
    "plot a move or a list on the simulator as SVG",
    "Runs a motion on the simulated board and draws each axis's position and velocity over\n"
    "time, one curve per axis, in one self-contained SVG file (for two axes also the path in\n"
    "their plane); --csv also writes the samples. Kinds:\n"
    "  move AXIS DISTANCE      a move by a distance\n"
    "  moveto AXIS POSITION    a move to a position\n"
    "  line AXES DISTANCES     a line, e.g. line 0,1 30,40 (speed and ramps of the lowest axis)\n"
    "  arc AXES CX,CY ANGLE    an arc around a centre relative to the start, counter-clockwise\n"
    "                          for a positive angle in degrees, e.g. arc 0,1 10,0 270\n"
    "  list STEP...            moves run one after another by the driver, each STEP\n"
    "                          AXIS:DISTANCE, e.g. list 0:40 1:20 0:-40\n"
    "Units and speeds come from the settings, as for move. The simulator runs on its virtual\n"
    "clock: the plot takes no real time and repeats exactly.",
    {AxisOptions(), kPlotOptions},
    Plot};

}  // namespace quorva::cli
