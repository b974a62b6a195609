// The application's event as a driver holds it, to be signalled at every interrupt.
//
// Acquiring takes a reference of the driver's own: a duplicate of the eventfd descriptor on
// Linux, of the event handle on Windows. An application that closes its own number, and reuses
// it for something else, never has the driver write there.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

namespace quorva::platform {

class NotificationEvent {
 public:
  // The event the application's value names; nothing when it names none (Linux: an eventfd
  // descriptor is required; Windows: a handle that can be duplicated).
  static std::optional<NotificationEvent> Acquire(std::uint64_t value);

  NotificationEvent(NotificationEvent&& other) noexcept
      : reference_(std::exchange(other.reference_, kNone)) {}
  NotificationEvent& operator=(NotificationEvent&& other) noexcept {
    if (this != &other) {
      Release();
      reference_ = std::exchange(other.reference_, kNone);
    }
    return *this;
  }
  ~NotificationEvent() { Release(); }

  // Linux: adds `count` to the eventfd counter; Windows: sets the event.
  void Signal(std::uint64_t count) const;

 private:
  static constexpr std::intptr_t kNone = -1;
  explicit NotificationEvent(std::intptr_t reference) : reference_(reference) {}
  void Release();

  std::intptr_t reference_ = kNone;
};

}  // namespace quorva::platform
