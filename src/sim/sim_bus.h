// The simulated bus: its boards, the handles opened on them, and the request log.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "VarnDasQv.h"
#include "device/immortal.h"
#include "sim/event_scheduler.h"
#include "sim/request_log.h"
#include "sim/sim_board.h"
#include "sim/sim_clock.h"

namespace quorva::sim {

// The boards of a bus with no configuration: an 8-axis motion board and an analog board.
inline constexpr const char* kDefaultBoards = "A508,A101";
// What opening past the last board reports, as the system's enumeration does.
inline constexpr std::uint32_t kNoMoreItems = 259;

// Parses "A508,A504,A101" (hexadecimal DeviceIds, blanks allowed around each); null or empty
// gives the default set. Nothing for a malformed list.
std::optional<std::vector<std::uint16_t>> ParseBoardList(const char* list);

class SimBus {
 public:
  static SimBus& Instance();

  // Replaces the boards, forgets every handle and logged request and starts the clock again
  // at 0 (keeping its mode). -1 for a malformed list.
  int Configure(const char* list);
  int BoardCount();
  // Ends the scheduler thread and frees the boards, handles and logged requests. The next use
  // configures the bus again (from QUORVA_SIM_BOARDS), and handles opened before are refused.
  void Release();

  QUORVA_HANDLE Open(int index, std::uint32_t* error);
  int Send(QUORVA_HANDLE handle, const DriverPacket& packet);
  void Close(QUORVA_HANDLE handle);

  // Runs `action` on board `index` under the bus lock, with every board brought up to the
  // present simulated time; -1 when there is no such board.
  template <typename Action>
  int WithBoard(int index, Action action) {
    return WithBoardAt(index, [&](SimBoard& board, std::int64_t) { return action(board); });
  }
  // Runs `action(board, nowNs)` on board `index` under the bus lock, with the simulated time
  // (every board brought up to it); -1 when there is no such board.
  template <typename Action>
  int WithBoardAt(int index, Action action) {
    std::lock_guard lock(mutex_);
    ConfigureOnFirstUse();
    if (index < 0 || static_cast<std::size_t>(index) >= boards_.size()) return -1;
    const Settling settling(*this);
    return action(boards_[static_cast<std::size_t>(index)], clock_.Now());
  }
  // Runs `action` on the request log under the bus lock.
  template <typename Action>
  auto WithLog(Action action) {
    std::lock_guard lock(mutex_);
    return action(log_);
  }
  // Runs `action` on the simulated clock under the bus lock; the boards follow the time it
  // sets.
  template <typename Action>
  auto WithClock(Action action) {
    std::lock_guard lock(mutex_);
    ConfigureOnFirstUse();
    const Settling settling(*this);
    return action(clock_);
  }
  void RefuseCommand(int code);
  // Ends the thread that signals interrupts on the real-time clock (it starts again when
  // needed). Called without the bus lock.
  void StopScheduler();
  bool SchedulerRunning();

  // Where the library is blocked waiting for a motion, on the virtual clock: simulated time
  // jumps to the next event of the boards (see next_event.h), when one is known.
  void AwaitProgress();
  // The simulated time in nanoseconds, read without letting the boards catch up.
  std::int64_t ClockNs();
  // Moves simulated time from event to event until every axis of `axisMask` on board `index`
  // is idle and the board's list has no entry left to start. 0 then; 1 when that cannot
  // happen without the application (an axis runs without end or waits for its start signal),
  // time standing at the last event; -1 when there is no such board.
  int RunUntilIdle(int index, std::uint32_t axisMask);

 private:
  SimBus();
  friend class Immortal<SimBus>;

  // Brings every board up to the present before an operation and, after it, signals the
  // interrupts raised and tells the scheduler when the next event is due.
  class Settling {
   public:
    explicit Settling(SimBus& bus) : bus_(bus) { bus_.CatchUp(); }
    ~Settling() { bus_.scheduler_.Expect(bus_.Conclude()); }
    Settling(const Settling&) = delete;
    Settling& operator=(const Settling&) = delete;

   private:
    SimBus& bus_;
  };

  void ConfigureOnFirstUse();
  // Brings every board's moves, latch pulses, list motion, held starts, speed checks and path
  // record up to the present simulated time.
  void CatchUp();
  // Brings the boards up to the present, signals the interrupts raised and returns when the
  // scheduler is next due.
  std::optional<EventScheduler::Clock::time_point> Conclude();
  // On the real-time clock with an event registered: the real instant of the next event.
  std::optional<EventScheduler::Clock::time_point> NextWake(std::int64_t nowNs) const;
  void Reset(const std::vector<std::uint16_t>& deviceIds);
  // Board index of an open handle of this bus, or -1.
  int BoardOfHandle(QUORVA_HANDLE handle) const;

  std::mutex mutex_;
  bool configured_ = false;
  std::uint32_t generation_ = 0;
  std::vector<SimBoard> boards_;
  std::vector<int> handleBoards_;  // by handle serial: board index, -1 once closed
  RequestLog log_;
  SimClock clock_;
  int refusedCode_ = -1;
  EventScheduler scheduler_{mutex_, [this] { return Conclude(); }};
};

}  // namespace quorva::sim
