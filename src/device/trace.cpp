#include "device/trace.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

#include "device/immortal.h"
#include "platform/platform.h"

namespace quorva {

std::atomic<int> g_traceLevel{0};
std::atomic<int> g_traceQuiet{0};

namespace {

// The path is read by every writer and changed by QUORVA_EnableDebugLog; one lock keeps a
// line and a path change from overlapping.
std::mutex g_traceMutex;
std::string& PathStorage() {
  static Immortal<std::string> path(platform::DefaultTracePath());
  return *path;
}

}  // namespace

void SetTracePath(const std::string& path) {
  std::lock_guard lock(g_traceMutex);
  PathStorage() = path;
}

std::string TracePath() {
  std::lock_guard lock(g_traceMutex);
  return PathStorage();
}

void ReleaseTraceState() {
  g_traceLevel.store(0, std::memory_order_relaxed);
  std::lock_guard lock(g_traceMutex);
  std::string().swap(PathStorage());
}

int WriteTraceLine(const std::string& text) {
  std::lock_guard lock(g_traceMutex);
  std::FILE* file = std::fopen(PathStorage().c_str(), "a");
  if (file == nullptr) return QUORVA_ERR_FILE_OPEN;
  const platform::LocalTime t = platform::Now();
  std::fprintf(file, "%02d:%02d:%02d:%03d  %s\n", t.hour, t.minute, t.second, t.millisecond,
               text.c_str());
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
