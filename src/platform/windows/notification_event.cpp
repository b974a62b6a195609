// The application's event handle, duplicated so that the driver keeps the event it was given.
#include <windows.h>

#include "platform/notification_event.h"

namespace quorva::platform {

std::optional<NotificationEvent> NotificationEvent::Acquire(std::uint64_t value) {
  const auto source = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
  if (source == nullptr || source == INVALID_HANDLE_VALUE) return std::nullopt;
  HANDLE copy = nullptr;
  const HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, source, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    return std::nullopt;
  }
  return NotificationEvent(reinterpret_cast<std::intptr_t>(copy));
}

void NotificationEvent::Signal(std::uint64_t count) const {
  if (reference_ != kNone && count != 0) SetEvent(reinterpret_cast<HANDLE>(reference_));
}

void NotificationEvent::Release() {
  if (reference_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(reference_));
  reference_ = kNone;
}

}  // namespace quorva::platform
