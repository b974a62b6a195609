// The per-call trace log: one line per exported call, written when the trace level reaches
// the function's threshold and no enclosing call has silenced nested lines.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "VarnDasQv.h"

namespace quorva {

// Thresholds: commands and settings, configuration reads, polling reads.
enum TraceThreshold : int { kTraceCommand = 1, kTraceConfigRead = 2, kTracePolling = 3 };

extern std::atomic<int> g_traceLevel;
// Set while an exported function runs the functions it is built on. Each thread has its own:
// a call on one thread silences only its own nested lines, not those of another thread (the
// helical worker) running at the same time.
extern thread_local int g_traceQuiet;

inline bool TraceWanted(int threshold) {
  return g_traceLevel.load(std::memory_order_relaxed) >= threshold && g_traceQuiet == 0;
}

// Formats one call line and writes it to the trace file.
void TraceFormatted(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Appends "hh:mm:ss:mmm  text" to the trace file, line ends inside the text written as the
// escapes \n and \r. Returns 0, or -300 when the file cannot be opened.
int WriteTraceLine(const std::string& text);

// Sets and returns the trace path and level (QUORVA_EnableDebugLog).
void SetTracePath(const std::string& path);
std::string TracePath();
// Switches tracing off and frees the path: the library leaves the process.
void ReleaseTraceState();

// The low 32 bits of a handle or an address, as the trace prints them with "0x%x".
inline unsigned TraceWord(const volatile void* p) {
  return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p));
}

// The same bits as a signed number, for the lines whose format prints an address with "%d".
inline int TraceSigned(const volatile void* p) {
  return static_cast<int>(TraceWord(p));
}

// Silences the trace lines of the calls made inside an exported function built on another.
class TraceQuietScope {
 public:
  TraceQuietScope() { g_traceQuiet = 1; }
  ~TraceQuietScope() { g_traceQuiet = 0; }
  TraceQuietScope(const TraceQuietScope&) = delete;
  TraceQuietScope& operator=(const TraceQuietScope&) = delete;
};

// The process-wide last error.
void StoreLastError(int code);

}  // namespace quorva

// Writes the trace line of an exported call when its threshold is reached. A macro so that
// the compiler checks the format against the arguments and nothing is formatted otherwise.
#define QUORVA_TRACE(threshold, ...)                                             \
  do {                                                                           \
    if (::quorva::TraceWanted(threshold)) ::quorva::TraceFormatted(__VA_ARGS__); \
  } while (0)
