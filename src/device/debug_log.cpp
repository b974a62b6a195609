// QUORVA_EnableDebugLog, QUORVA_LastError, QUORVA_ErrorString.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "device/immortal.h"
#include "device/registry.h"
#include "device/trace.h"

namespace quorva {
namespace {

std::atomic<int> g_lastError{0};

struct ErrorText {
  int code;
  const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {0, "There's no error."},
    {QUORVA_ERR_NOT_SUPPORTED, "VARN_Error : The function is not supported by this device !"},
    {QUORVA_ERR_MEMORY, "VARN_Error : Memory allocation is failed !"},
    {QUORVA_ERR_FILE_OPEN, "VARN_Error : Can't open or create a file !"},
    {QUORVA_ERR_INTERRUPT, "VARN_Error : Can't register a interrupt service routine !"},
    {QUORVA_ERR_MEMORY_ALLOC, "VARN_Error : Memory allocation is failed !"},
};

// The text returned by QUORVA_ErrorString: the last one copied, empty before the first.
struct MessageBuffer {
  std::mutex mutex;
  char text[96];
};

MessageBuffer& Message() {
  static Immortal<MessageBuffer> message;
  return *message;
}

}  // namespace

void StoreLastError(int code) {
  g_lastError.store(code, std::memory_order_relaxed);
}

}  // namespace quorva

using namespace quorva;

extern "C" {

int QUORVA_EnableDebugLog(QUORVA_HANDLE handle, const char* path, int level) {
  if (!FindDevice(handle)) return -1;
  g_traceLevel.store(level, std::memory_order_relaxed);
  if (level <= 0) return 0;
  SetTracePath(path != nullptr ? path : "");
  std::FILE* file = std::fopen(TracePath().c_str(), "w");
  if (file == nullptr) {
    g_traceLevel.store(0, std::memory_order_relaxed);
    return QUORVA_ERR_FILE_CREATE;
  }
  std::fclose(file);
  return 0;
}

int QUORVA_LastError(void) {
  return g_lastError.load(std::memory_order_relaxed);
}

const char* QUORVA_ErrorString(int /*code*/) {
  const int current = QUORVA_LastError();
  MessageBuffer& message = Message();
  std::lock_guard lock(message.mutex);
  for (const ErrorText& e : kErrorTexts) {
    if (e.code == current) {
      std::snprintf(message.text, sizeof message.text, "%s", e.text);
      break;
    }
  }
  return message.text;
}

}  // extern "C"
