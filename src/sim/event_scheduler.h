// A thread that wakes at instants of the host's steady clock to run its owner's step, so that
// what is due in simulated time happens then even while no request arrives.
//
// The thread shares its owner's mutex: the step runs with it held, and the owner tells the
// scheduler, with it held, when something earlier than the planned wake-up becomes due. The
// thread starts with the first instant to wake at and lives until Stop.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace quorva::sim {

class EventScheduler {
 public:
  using Clock = std::chrono::steady_clock;
  // Runs what is due and returns the next instant to wake at; nothing to sleep until told.
  using Step = std::function<std::optional<Clock::time_point>()>;

  EventScheduler(std::mutex& mutex, Step step) : mutex_(mutex), step_(std::move(step)) {}
  EventScheduler(const EventScheduler&) = delete;
  EventScheduler& operator=(const EventScheduler&) = delete;

  // With the mutex held: the thread wakes no later than `due` (and starts if it does not run).
  void Expect(std::optional<Clock::time_point> due);
  // Without the mutex: ends the thread and waits for it; a later Expect starts a new one.
  void Stop();
  // With the mutex held.
  bool Running() const { return started_; }

 private:
  void Run();

  std::mutex& mutex_;
  Step step_;
  std::condition_variable wake_;
  std::thread thread_;
  // Guarded by the mutex.
  bool started_ = false;
  bool stopping_ = false;
  bool exited_ = false;                           // the thread has left Run
  std::optional<Clock::time_point> sleepsUntil_;  // nothing: until told
};

}  // namespace quorva::sim
