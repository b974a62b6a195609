#include "sim/event_scheduler.h"

#include "platform/platform.h"

namespace quorva::sim {
namespace {

constexpr std::chrono::milliseconds kFinalStretch{2};

}  // namespace

void EventScheduler::Expect(std::optional<Clock::time_point> due) {
  if (!due) return;
  if (!started_) {
    started_ = true;
    sleepsUntil_ = due;
    thread_ = platform::StartLibraryThread([this] { Run(); });
    return;
  }
  if (!sleepsUntil_ || *due < *sleepsUntil_) {
    sleepsUntil_ = due;
    wake_.notify_all();
  }
}

void EventScheduler::Run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (!sleepsUntil_) {
      wake_.wait(lock);
    } else if (const Clock::time_point due = *sleepsUntil_;
               wake_.wait_until(lock, due - kFinalStretch) == std::cv_status::timeout) {
      // Timed waits may end a few milliseconds late on a busy system; the last stretch yields
      // instead, without the lock.
      lock.unlock();
      while (Clock::now() < due)
        std::this_thread::yield();
      lock.lock();
    }
    if (!stopping_) sleepsUntil_ = step_();
  }
  exited_ = true;
  wake_.notify_all();
}

void EventScheduler::Stop() {
  std::unique_lock lock(mutex_);
  if (!started_) return;
  stopping_ = true;
  wake_.notify_all();
  wake_.wait(lock, [this] { return exited_; });
  lock.unlock();
  platform::EndLibraryThread(thread_);
  lock.lock();
  started_ = false;
  stopping_ = false;
  exited_ = false;
  sleepsUntil_.reset();
}

}  // namespace quorva::sim
