// Lines of the library's trace file: "hh:mm:ss:mmm  NAME(handle, arguments...)".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorva::cli {

struct TraceCall {
  std::string time;                    // "hh:mm:ss.mmm"
  std::string function;                // the exported name
  std::string handle;                  // the first argument as written
  std::vector<std::string> arguments;  // the others; a bracketed list stays one argument
};

// Nothing for a line that is not a call line.
std::optional<TraceCall> ParseTraceLine(const std::string& line);

// The axes a call names: the axis argument of a single-axis function, the axis list of a
// multi-axis one; none for calls on maps, lists or the whole board.
std::vector<int> AxesOf(const TraceCall& call);

// Whether a call's function is `pattern`: its full name, or the name without "QUORVA_"; a
// pattern ending in '*' matches every name that begins with the rest.
bool FunctionMatches(const TraceCall& call, const std::string& pattern);

}  // namespace quorva::cli
