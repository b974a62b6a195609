// quorva gcode: a G-code program run through the library's lines and arcs, on the simulator
// unless --device is given.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>

#include "VarnDasQvSim.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "cli/session.h"
#include "cli/settings.h"
#include "gcode/library_machine.h"
#include "gcode/parser.h"
#include "plot/recording.h"
#include "plot/svg.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kGcodeOptions[] = {
    {"board", "BOARD", "the motion board (default A508)"},
    {"axes", "X,Y,Z", "the board's axes of X, Y and Z (default 0,1,2)"},
    {"rapid", "SPEED", "speed of G0, units/s (default: the X axis's speed)"},
    {"dwell-ms", nullptr, "G4 P counts milliseconds (default seconds)"},
    {"check", nullptr, "read and check the program, move nothing"},
    {"plot", "FILE", "draw the path and the axes over time into an SVG file"},
    {"csv", "FILE", "write the axes' positions over time to FILE"},
};

constexpr double kPlotSamples = 4000;  // about this many samples for --plot

std::string ReadProgram(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ToolError("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

double UnitsPerMillimetre(const std::string& unit, int axis) {
  if (unit == "mm") return 1;
  if (unit == "in" || unit == "inch") return 1 / gcode::kMillimetresPerInch;
  throw ToolError("G-code moves axes in mm or in; axis " + std::to_string(axis) + " is in '" +
                  unit + "'");
}

// The axes of X, Y and Z and how the library moves them, from the options and the settings.
gcode::MachineAxes MachineSetup(const Arguments& args, const Settings& settings) {
  gcode::MachineAxes m;
  const auto axesText = args.Value("axes") ? args.Value("axes") : settings.Gcode("axes");
  if (axesText) {
    const std::vector<int> axes = ParseAxes(*axesText);
    if (axes.size() != 3) throw UsageError("--axes names the three axes of X, Y and Z");
    std::copy(axes.begin(), axes.end(), m.axes.begin());
  }
  const AxisSettings& x = settings.Axis(m.axes[0]);
  for (int axis : m.axes) {
    const AxisSettings& s = settings.Axis(axis);
    if (s.unit != x.unit || s.scale != x.scale) {
      throw ToolError("X, Y and Z need the same unit and scale for exact feeds");
    }
  }
  m.unitsPerMillimetre = UnitsPerMillimetre(x.unit, m.axes[0]);
  const auto rapid = args.Value("rapid") ? args.Value("rapid") : settings.Gcode("rapid");
  m.rapid = rapid ? ParseNumber(*rapid, "rapid") : x.speed;
  if (!(m.rapid > 0)) throw UsageError("rapid must be above 0");
  m.accel = x.accel;
  m.decel = x.decel;
  m.profile = static_cast<int>(x.profile);
  return m;
}

// Where X, Y and Z stand, in millimetres, from their counters.
gcode::Vec3 StartPosition(QUORVA_HANDLE board, const gcode::MachineAxes& m,
                          const Settings& settings) {
  const auto at = [&](int axis) {
    return QUORVA_MC_GetCount_C(board, axis) / settings.Axis(axis).scale / m.unitsPerMillimetre;
  };
  return {at(m.axes[0]), at(m.axes[1]), at(m.axes[2])};
}

// A program with helical arcs needs the axis the controller counts their steps on.
void CheckHelices(const std::string& path, const gcode::Program& program,
                  const gcode::MachineAxes& m) {
  gcode::Vec3 at = program.start;
  for (const gcode::Step& step : program.steps) {
    const bool helix = step.kind == gcode::Step::Kind::kArc && step.to.z != at.z;
    if (helix && gcode::LibraryMachine::HelixCountingAxis(m) < 0) {
      throw ToolError(path + ":" + std::to_string(step.line) +
                      ": a helical arc needs X, Y and Z on one chip and its last axis (3 or 7) "
                      "free: the controller counts the arc's steps there");
    }
    at = step.to;
  }
}

double FastestFeed(const gcode::Program& program) {
  double fastest = 0;
  for (const gcode::Step& step : program.steps)
    fastest = std::max(fastest, step.feed);
  return fastest;
}

std::string Seconds(double seconds) {
  char text[64];
  const int minutes = static_cast<int>(seconds / 60);
  std::snprintf(text, sizeof text, "%.3f s (%d:%02d:%06.3f)", seconds, minutes / 60, minutes % 60,
                seconds - 60.0 * minutes);
  return text;
}

void ReportIgnored(const gcode::Program& program, std::ostream& err) {
  for (const gcode::IgnoredWord& w : program.ignored)
    err << "quorva gcode: ignored " << w.word << " (" << w.reason << "), first on line " << w.line
        << '\n';
}

class Progress {
 public:
  Progress(Console& console, std::size_t total) : console_(console), total_(total) {}
  void Show(std::size_t done, int line) {
    if (!console_.terminal || total_ == 0) return;
    const int percent = static_cast<int>(100 * done / total_);
    if (percent == shown_ && done != total_) return;
    shown_ = percent;
    const int filled = percent * 30 / 100;
    console_.err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                 << std::string(static_cast<std::size_t>(30 - filled), ' ') << "] " << percent
                 << "% line " << line << (done == total_ ? "\n" : "") << std::flush;
  }

 private:
  Console& console_;
  std::size_t total_;
  int shown_ = -1;
};

// The path record of the simulated board as positions in the program's axes' units.
plot::Recording RecordedPath(const OpenBoard& board, const gcode::MachineAxes& m,
                             const Settings& settings) {
  const int count = QUORVA_SIM_PathSampleCount(board.simIndex);
  std::vector<double> times(static_cast<std::size_t>(std::max(count, 0)));
  std::vector<int> counts(times.size() * 3);
  QUORVA_SIM_GetPathSamples(board.simIndex, 0, count, times.data(), counts.data());
  // The record holds the axes in ascending order; X, Y and Z are drawn in that order.
  std::array<int, 3> sorted = m.axes;
  std::sort(sorted.begin(), sorted.end());
  plot::Recording recording;
  const char* names[] = {"X", "Y", "Z"};
  for (std::size_t k = 0; k < 3; ++k) {
    const AxisSettings& s = settings.Axis(m.axes[k]);
    plot::AxisTrack track{names[k], s.unit, {}, {}};
    const auto column = std::find(sorted.begin(), sorted.end(), m.axes[k]) - sorted.begin();
    for (std::size_t i = 0; i < times.size(); ++i)
      track.position.push_back(counts[i * 3 + static_cast<std::size_t>(column)] / s.scale);
    recording.axes.push_back(track);
  }
  for (double t : times)
    recording.time.push_back(t - times[0]);
  recording.DeriveVelocities();
  return recording;
}

int RunGcode(const Invocation& call) {
  const Arguments& args = call.args;
  args.AllowAtMost(1);
  const std::string& path = args.At(0, "FILE");
  const std::string text = ReadProgram(path);
  Session session(args);
  const Settings settings = Settings::Load(args);
  const gcode::MachineAxes m = MachineSetup(args, settings);
  const OpenBoard& board = session.Open(args.Value("board").value_or("A508"));
  for (int axis : m.axes) {
    if (axis >= board.info.axes) throw UsageError("the board has no axis " + std::to_string(axis));
  }
  gcode::ParseOptions options;
  options.dwellInMilliseconds = args.Flag("dwell-ms");
  options.start = StartPosition(board.handle, m, settings);
  gcode::Program program;
  try {
    program = gcode::ParseProgram(text, options);
  } catch (const gcode::ProgramError& error) {
    throw ToolError(path + ":" + std::to_string(error.Line()) + ": " + error.Message());
  }
  ReportIgnored(program, call.console.err);
  CheckHelices(path, program, m);
  const double nominal = program.NominalSeconds(m.rapid / m.unitsPerMillimetre);
  if (args.Flag("check")) {
    call.console.out << path << ": " << program.steps.size() << " steps, " << Seconds(nominal)
                     << " at the programmed feeds\n";
    return 0;
  }
  const bool record = args.Value("plot") || args.Value("csv");
  if (record) session.RequireSimulator("--plot and --csv");
  session.UseVirtualClock();
  const double top = std::max(m.rapid, FastestFeed(program) * m.unitsPerMillimetre);
  for (int axis : m.axes)
    ApplyAxisSettings(board.handle, axis, settings.Axis(axis), top);
  if (record) {
    unsigned mask = 0;
    for (int axis : m.axes)
      mask |= 1u << axis;
    QUORVA_SIM_RecordPath(board.simIndex, mask, std::max(nominal / kPlotSamples, 1e-4));
  }

  gcode::LibraryMachine machine(board.handle, m, [&](double s) { session.Pause(s); });
  Progress progress(call.console, program.steps.size());
  const double start = session.Now();
  gcode::RunProgram(program, machine,
                    [&](std::size_t done) { progress.Show(done, program.steps[done - 1].line); });
  const double took = session.Now() - start;

  const gcode::Vec3 end = machine.Position();
  const bool inches = program.finalUnits == gcode::Units::kInches;
  const double scale = inches ? 1 / gcode::kMillimetresPerInch : 1;
  char line[160];
  std::snprintf(line, sizeof line, "X %.4f  Y %.4f  Z %.4f %s\n", end.x * scale, end.y * scale,
                end.z * scale, inches ? "in" : "mm");
  call.console.out << line << (session.Simulated() ? "simulated duration " : "duration ")
                   << Seconds(took) << '\n';
  if (!record) return 0;
  QUORVA_SIM_RecordPath(board.simIndex, 0, 0);
  const plot::Recording recording = RecordedPath(board, m, settings);
  if (const auto svgPath = args.Value("plot")) {
    std::ofstream svg(*svgPath, std::ios::binary);
    svg << plot::RenderSvg("quorva gcode " + path, plot::MotionCharts(recording, {0, 1}));
    if (!svg.flush()) throw ToolError("cannot write " + *svgPath);
  }
  if (const auto csv = args.Value("csv")) {
    std::ofstream file(*csv, std::ios::binary);
    plot::WriteCsv(recording, file);
    if (!file.flush()) throw ToolError("cannot write " + *csv);
  }
  return 0;
}

}  // namespace

extern const Command kGcodeCommand{
    "gcode",
    "FILE",
    "run a G-code program through the library's lines and arcs",
    "Reads a G-code program, checks all of it, then runs it with X, Y and Z on three axes of\n"
    "one board: G0 and G1 as lines, G2 and G3 as arcs (centre by I and J, or radius R) and,\n"
    "with Z, as helical steps (the chip's last axis, 3 or 7, counts the arc's steps and moves\n"
    "with them), G4 dwells, G17, G20/G21, G90/G91, G90.1/G91.1, F in units per minute, N\n"
    "numbers, comments, M2/M30, and modal motion on lines that give only coordinates. Words\n"
    "that move no axis (spindle, coolant, tool change, offsets, cycles cancelled, O) are\n"
    "reported once each as ignored; anything that would move in a way the tool cannot (another\n"
    "plane, G28, a canned cycle) fails with its line number before any motion. At the end it\n"
    "prints where the axes are, in the program's units, and how long the program took. On the\n"
    "simulator it runs on the virtual clock: an hour's program takes well under a second.",
    {BoardOptions(), AxisOptions(), kGcodeOptions},
    RunGcode};

}  // namespace quorva::cli
