#include "cli/trace_file.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace quorva::cli {
namespace {

constexpr std::size_t kStampLength = 12;  // "hh:mm:ss:mmm"
constexpr std::string_view kPrefix = "QUORVA_";

// Functions whose second argument is a map, a mask, a flag or a record, not an axis.
constexpr std::string_view kNoAxisArgument[] = {"Line",
                                                "Arc",
                                                "Mx",
                                                "MapAxes",
                                                "List",
                                                "Lm",
                                                "Helical",
                                                "HelOnce",
                                                "Spline",
                                                "BlockingMode",
                                                "WindowHandle",
                                                "DeviceVer",
                                                "EnableInterrupt",
                                                "DisableInterrupt",
                                                "SyncMode"};

bool IsStamp(std::string_view text) {
  for (std::size_t i = 0; i < kStampLength; ++i) {
    const bool colon = i == 2 || i == 5 || i == 8;
    if (colon ? text[i] != ':' : !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

std::string Trim(std::string_view text) {
  const auto begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return "";
  return std::string(text.substr(begin, text.find_last_not_of(' ') - begin + 1));
}

// Splits at the commas outside square brackets.
std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> parts;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '[') ++depth;
    if (text[i] == ']') --depth;
    if (text[i] == ',' && depth == 0) {
      parts.push_back(Trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  if (!Trim(text).empty()) parts.push_back(Trim(text.substr(start)));
  return parts;
}

std::optional<int> AxisNumber(std::string_view text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  return std::atoi(std::string(text).c_str());
}

}  // namespace

std::optional<TraceCall> ParseTraceLine(const std::string& line) {
  if (line.size() < kStampLength + 2 || !IsStamp(line) ||
      line.compare(kStampLength, 2, "  ") != 0) {
    return std::nullopt;
  }
  const std::string text = Trim(std::string_view(line).substr(kStampLength + 2));
  const auto open = text.find('(');
  if (open == std::string::npos || text.back() != ')') return std::nullopt;
  TraceCall call;
  call.time = line.substr(0, 8) + "." + line.substr(9, 3);
  call.function = text.substr(0, open);
  call.arguments = SplitArguments(std::string_view(text).substr(open + 1, text.size() - open - 2));
  if (!call.arguments.empty()) {
    call.handle = call.arguments.front();
    call.arguments.erase(call.arguments.begin());
  }
  return call;
}

std::vector<int> AxesOf(const TraceCall& call) {
  if (call.function.rfind("QUORVA_MC_", 0) != 0 || call.arguments.empty()) return {};
  for (std::string_view fragment : kNoAxisArgument) {
    if (call.function.find(fragment) != std::string::npos) return {};
  }
  std::vector<int> axes;
  if (call.function.ends_with("All")) {
    for (const std::string& argument : call.arguments) {
      if (argument.empty() || argument.front() != '[') continue;
      for (const std::string& item :
           SplitArguments(std::string_view(argument).substr(1, argument.size() - 2))) {
        if (const auto axis = AxisNumber(item)) axes.push_back(*axis);
      }
      break;
    }
    return axes;
  }
  if (const auto axis = AxisNumber(call.arguments.front())) axes.push_back(*axis);
  return axes;
}

bool FunctionMatches(const TraceCall& call, const std::string& pattern) {
  std::string_view name = call.function;
  std::string_view wanted = pattern;
  if (!wanted.starts_with(kPrefix) && name.starts_with(kPrefix)) name.remove_prefix(kPrefix.size());
  if (wanted.ends_with('*')) return name.starts_with(wanted.substr(0, wanted.size() - 1));
  return name == wanted;
}

}  // namespace quorva::cli
