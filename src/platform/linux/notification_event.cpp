// The application's eventfd, duplicated so that the driver keeps the counter it was given.
#include "platform/notification_event.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

namespace quorva::platform {
namespace {

// Whether `fd` is an eventfd: its /proc link names one. Where /proc cannot be read, any
// descriptor without a file type (the kernel's anonymous descriptors, which refuse a write that
// is not an eventfd's) is taken.
bool IsEventDescriptor(int fd) {
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  char target[64] = {};
  const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
  if (length >= 0) return std::strcmp(target, "anon_inode:[eventfd]") == 0;
  struct stat status {};
  return ::fstat(fd, &status) == 0 && (status.st_mode & S_IFMT) == 0;
}

}  // namespace

std::optional<NotificationEvent> NotificationEvent::Acquire(std::uint64_t value) {
  if (value > INT_MAX) return std::nullopt;
  const int fd = static_cast<int>(value);
  if (!IsEventDescriptor(fd)) return std::nullopt;
  const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return std::nullopt;
  return NotificationEvent(copy);
}

void NotificationEvent::Signal(std::uint64_t count) const {
  if (reference_ == kNone || count == 0) return;
  // A counter at its limit refuses the addition; the application is then behind anyway.
  [[maybe_unused]] const ssize_t written =
      ::write(static_cast<int>(reference_), &count, sizeof count);
}

void NotificationEvent::Release() {
  if (reference_ != kNone) ::close(static_cast<int>(reference_));
  reference_ = kNone;
}

}  // namespace quorva::platform
