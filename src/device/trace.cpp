#include "device/trace.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

#include "device/immortal.h"
#include "platform/platform.h"

namespace quorva {

std::atomic<int> g_traceLevel{0};
thread_local int g_traceQuiet = 0;

namespace {

// The path is read by every writer and changed by QUORVA_EnableDebugLog; the lock keeps a
// line and a path change from overlapping.
struct TraceFile {
  explicit TraceFile(std::string initialPath) : path(std::move(initialPath)) {}
  std::mutex mutex;
  std::string path;
};

TraceFile& File() {
  static Immortal<TraceFile> file(platform::DefaultTracePath());
  return *file;
}

// A traced text stays one line: line ends inside it (a file name may hold them) are written as
// the escapes \n and \r.
std::string OneLine(const std::string& text) {
  if (text.find_first_of("\r\n") == std::string::npos) return text;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace

void SetTracePath(const std::string& path) {
  TraceFile& f = File();
  std::lock_guard lock(f.mutex);
  f.path = path;
}

std::string TracePath() {
  TraceFile& f = File();
  std::lock_guard lock(f.mutex);
  return f.path;
}

void ReleaseTraceState() {
  g_traceLevel.store(0, std::memory_order_relaxed);
  TraceFile& f = File();
  std::lock_guard lock(f.mutex);
  std::string().swap(f.path);
}

int WriteTraceLine(const std::string& text) {
  TraceFile& f = File();
  std::lock_guard lock(f.mutex);
  std::FILE* file = std::fopen(f.path.c_str(), "a");
  if (file == nullptr) return QUORVA_ERR_FILE_OPEN;
  const platform::LocalTime t = platform::Now();
  std::fprintf(file, "%02d:%02d:%02d:%03d  %s\n", t.hour, t.minute, t.second, t.millisecond,
               OneLine(text).c_str());
  std::fclose(file);
  return 0;
}

void TraceFormatted(const char* format, ...) {
  // Most lines fit the small buffer; a longer one is formatted again at its full length so that
  // it is written whole.
  char small[300];
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string text;
  if (length >= 0 && static_cast<std::size_t>(length) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(length));
  } else if (length > 0) {
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    text.assign(large.data(), static_cast<std::size_t>(length));
  }
  va_end(again);
  WriteTraceLine(text);
}

}  // namespace quorva
