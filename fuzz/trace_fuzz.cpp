// Trace lines with hostile arguments: any handle, integer and double bit pattern, any text
// (line ends included) and lists of any length. Each call must append exactly one line: the
// time stamp, two blanks and the call's text in full.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <bit>
#include <cctype>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/trace.h"
#include "motion/commands/axis_list.h"

namespace {

using namespace quorva;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, again);
  text.pop_back();
  va_end(again);
  va_end(args);
  return text;
}

std::string ReadWhole(const std::string& path) {
  std::string text;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
      text.append(chunk, n);
    std::fclose(f);
  }
  return text;
}

// What the list formatter must give: at most eight values, each in full.
template <typename Value>
std::string ExpectedList(const std::vector<Value>& values, int count, const char* format) {
  std::string text = "[";
  for (int i = 0; i < count && i < 8; ++i) {
    if (i > 0) text += ',';
    text += Format(format, values[i]);
  }
  return text + "]";
}

std::string Escaped(const std::string& text) {
  std::string line;
  for (char c : text) {
    line += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
  }
  return line;
}

bool IsStamp(const std::string& line) {
  if (line.size() < 14 || line.compare(12, 2, "  ") != 0) return false;
  for (std::size_t i = 0; i < 12; ++i) {
    const bool colon = i == 2 || i == 5 || i == 8;
    if (colon ? line[i] != ':' : !std::isdigit(static_cast<unsigned char>(line[i]))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/quorva-trace-fuzz-" + std::to_string(getpid()) + ".dbg";
  static const bool once = (SetTracePath(path), true);
  (void)once;
  std::fclose(std::fopen(path.c_str(), "w"));

  FuzzedDataProvider input(data, size);
  const int shape = input.ConsumeIntegralInRange(0, 2);
  const auto handle = reinterpret_cast<void*>(input.ConsumeIntegral<std::uintptr_t>());
  const int axis = input.ConsumeIntegral<int>();
  const double value = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
  std::vector<int> axes(input.ConsumeIntegralInRange<std::size_t>(0, 12));
  for (int& a : axes)
    a = input.ConsumeIntegral<int>();
  std::vector<double> values(axes.size());
  for (double& v : values)
    v = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
  const int count = input.ConsumeIntegralInRange<int>(-2, static_cast<int>(axes.size()));
  const std::string text = input.ConsumeRandomLengthString(1000);

  std::string expected;
  switch (shape) {
    case 0:
      TraceFormatted("QUORVA_MC_Move(0x%x, %d, %.3f)", TraceWord(handle), axis, value);
      expected = Format("QUORVA_MC_Move(0x%x, %d, %.3f)", TraceWord(handle), axis, value);
      break;
    case 1:
      TraceFormatted("QUORVA_MC_InitFromFile(0x%x, \"%s\")", TraceWord(handle), text.c_str());
      expected = Format("QUORVA_MC_InitFromFile(0x%x, \"%s\")", TraceWord(handle), text.c_str());
      break;
    default: {
      const std::string axisList = TraceList(count, axes.data());
      const std::string valueList = TraceList(count, values.data());
      if (axisList != ExpectedList(axes, count, "%d") ||
          valueList != ExpectedList(values, count, "%.3f"))
        std::abort();
      TraceFormatted("QUORVA_MC_MoveAll(0x%x, %d, %s, %s)", TraceWord(handle), count,
                     axisList.c_str(), valueList.c_str());
      expected = Format("QUORVA_MC_MoveAll(0x%x, %d, %s, %s)", TraceWord(handle), count,
                        axisList.c_str(), valueList.c_str());
    }
  }
  const std::string log = ReadWhole(path);
  if (log.empty() || log.find('\n') != log.size() - 1) std::abort();
  if (!IsStamp(log) || log.compare(14, std::string::npos, Escaped(expected) + "\n") != 0)
    std::abort();
  return 0;
}
