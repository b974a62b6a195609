// Starting a thread of the library's own: the caller waits until the thread has begun.
#include <atomic>

#include "platform/platform.h"

namespace quorva::platform {

std::thread StartLibraryThread(std::function<void()> body) {
  std::atomic<bool> began{false};
  std::thread thread([&began, body = std::move(body)] {
    began.store(true);  // the thread's last use of the starter's variable
    body();
  });
  while (!began.load())
    std::this_thread::yield();
  return thread;
}

}  // namespace quorva::platform
