#include "sim/event_scheduler.h"

namespace quorva::sim {

void EventScheduler::Expect(std::optional<Clock::time_point> due) {
  if (!due) return;
  if (!started_) {
    started_ = true;
    sleepsUntil_ = due;
    thread_ = std::thread(&EventScheduler::Run, this);
    return;
  }
  if (!sleepsUntil_ || *due < *sleepsUntil_) {
    sleepsUntil_ = due;
    wake_.notify_one();
  }
}

void EventScheduler::Run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (sleepsUntil_) {
      wake_.wait_until(lock, *sleepsUntil_);
    } else {
      wake_.wait(lock);
    }
    if (!stopping_) sleepsUntil_ = step_();
  }
}

void EventScheduler::Stop() {
  {
    std::lock_guard lock(mutex_);
    if (!started_) return;
    stopping_ = true;
    wake_.notify_one();
  }
  thread_.join();
  std::lock_guard lock(mutex_);
  started_ = false;
  stopping_ = false;
  sleepsUntil_.reset();
}

}  // namespace quorva::sim
