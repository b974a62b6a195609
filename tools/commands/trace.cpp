// quorva trace: a trace file written by the library, as a table of calls.
#include <algorithm>
#include <fstream>
#include <ostream>

#include "cli/command.h"
#include "cli/errors.h"
#include "cli/trace_file.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kTraceOptions[] = {
    {"function", "NAME", "only calls of NAME (MC_Move, or MC_Move* for every MC_Move...)"},
    {"axis", "N", "only calls on axis N"},
};

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() < width ? text + std::string(width - text.size(), ' ') : text + ' ';
}

int PrintTrace(const Invocation& call) {
  call.args.AllowAtMost(1);
  const std::string& path = call.args.At(0, "FILE");
  std::ifstream file(path);
  if (!file) throw ToolError("cannot read " + path);
  const auto function = call.args.Value("function");
  const auto axisText = call.args.Value("axis");
  const int axis = axisText ? ParseAxis(*axisText) : -1;
  std::ostream& out = call.console.out;
  out << "time          board       function                     arguments\n";
  std::size_t lines = 0;
  std::size_t shown = 0;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++lines;
    const auto parsed = ParseTraceLine(line);
    if (!parsed) {
      if (!function && axis < 0) {
        out << "?             " << line << '\n';
        ++shown;
      }
      continue;
    }
    if (function && !FunctionMatches(*parsed, *function)) continue;
    if (axis >= 0) {
      const std::vector<int> axes = AxesOf(*parsed);
      if (std::find(axes.begin(), axes.end(), axis) == axes.end()) continue;
    }
    std::string arguments;
    for (const std::string& argument : parsed->arguments)
      arguments += (arguments.empty() ? "" : ", ") + argument;
    out << Padded(parsed->time, 14) << Padded(parsed->handle, 12) << Padded(parsed->function, 29)
        << arguments << '\n';
    ++shown;
  }
  call.console.err << shown << " of " << lines << " lines\n";
  return 0;
}

}  // namespace

extern const Command kTraceCommand{
    "trace",
    "FILE",
    "pretty-print a trace file",
    "Shows a trace file written by the library (QUORVA_EnableDebugLog) as a table: the time\n"
    "of each call, the board handle, the function and its arguments. --function and --axis\n"
    "keep the calls of one function or on one axis (the axis argument of single-axis\n"
    "functions, the axis lists of multi-axis ones). Lines that are not calls are shown after\n"
    "a '?' when nothing is filtered.",
    {kTraceOptions},
    PrintTrace};

}  // namespace quorva::cli
