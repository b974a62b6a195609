// An event an application would hand to QUORVA_MC_EnableInterrupt: an eventfd on Linux, an
// auto-reset event on Windows.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#endif

namespace quorva::test {

class TestEvent {
 public:
#ifdef _WIN32
  TestEvent() : handle_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
  ~TestEvent() {
    CloseHandle(handle_);
  }
  std::uint64_t Value() const {
    return reinterpret_cast<std::uintptr_t>(handle_);
  }
  // Waits up to `ms` for the event: 1 when it was set (and resets it), 0 on time-out.
  std::uint64_t Wait(int ms) const {
    return WaitForSingleObject(handle_, static_cast<DWORD>(ms)) == WAIT_OBJECT_0 ? 1 : 0;
  }
#else
  TestEvent() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
  ~TestEvent() {
    close(fd_);
  }
  std::uint64_t Value() const {
    return static_cast<std::uint64_t>(fd_);
  }
  // Waits up to `ms` for the event: its counter (read, and so reset), 0 on time-out.
  std::uint64_t Wait(int ms) const {
    pollfd ready{fd_, POLLIN, 0};
    if (poll(&ready, 1, ms) != 1) return 0;
    std::uint64_t count = 0;
    return read(fd_, &count, sizeof count) == sizeof count ? count : 0;
  }
#endif
  TestEvent(const TestEvent&) = delete;
  TestEvent& operator=(const TestEvent&) = delete;

  // The signals so far, without waiting.
  std::uint64_t Take() const {
    return Wait(0);
  }

 private:
#ifdef _WIN32
  HANDLE handle_;
#else
  int fd_;
#endif
};

}  // namespace quorva::test
