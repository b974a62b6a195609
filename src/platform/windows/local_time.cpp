// Wall-clock time of day for trace stamps.
#include <windows.h>

#include "platform/platform.h"

namespace quorva::platform {

LocalTime Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace quorva::platform
