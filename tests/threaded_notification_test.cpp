// The simulated driver's event scheduler on the real-time clock: the application's event is
// signalled at the instant of an interrupt while the application sends no request, and the
// scheduler thread shares the boards with the request path.
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "sim/sim_bus.h"
#include "sim_test.h"
#include "test_event.h"

#ifndef _WIN32
#include <dirent.h>
#include <dlfcn.h>
#endif

namespace quorva {
namespace {

// A waiting thread wakes within this of the interrupt; on a busy machine two wake-ups in five
// may come later, never by more than the outer limit. Sanitizer builds run several times
// slower and check memory and races here, not latency: they get a wider bound.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr double kWakeLimit = 0.02;  // seconds
#else
constexpr double kWakeLimit = 0.005;  // seconds
#endif
constexpr double kOuterLimit = 0.1;
constexpr int kTrials = 5;

class ThreadedNotification : public test::MotionBoardTest {
 protected:
  void SetUp() override {
    MotionBoardTest::SetUp();
    ASSERT_EQ(QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, 1.0), 0);
    QUORVA_MC_EnableInterrupt(board_, event_.Value());
  }
  static double EndTime(int axis) {
    QUORVA_SIM_AXIS_STATE state{};
    QUORVA_SIM_GetAxisState(0, axis, &state);
    return state.endTime;
  }
  static bool SchedulerRunning() { return sim::SimBus::Instance().SchedulerRunning(); }

  // Arms an interrupt with `arm`, blocks on the event with no request sent meanwhile, and checks
  // how late after the interrupt's simulated instant (`instant()`, read afterwards) the waiting
  // thread wakes, in the median of kTrials.
  template <typename Arm, typename Instant>
  void ExpectPromptWakes(Arm arm, Instant instant) {
    std::vector<double> delays;
    for (int trial = 0; trial < kTrials; ++trial) {
      arm();
      ASSERT_EQ(event_.Wait(2000), 1u);
      const double woken = QUORVA_SIM_GetTime();
      const double at = instant();
      EXPECT_GE(woken, at);
      EXPECT_LT(woken - at, kOuterLimit);
      delays.push_back(woken - at);
    }
    std::sort(delays.begin(), delays.end());
    EXPECT_LT(delays[kTrials / 2], kWakeLimit) << delays.front() << " .. " << delays.back();
  }

  test::TestEvent event_;
};

TEST_F(ThreadedNotification, AWaitingThreadWakesAtTheEndOfAMoveWithoutRequests) {
  // 0.1 s at the default 1000 pulses per second.
  ExpectPromptWakes([&] { QUORVA_MC_StartMove(board_, 0, 100); }, [] { return EndTime(0); });
}

TEST_F(ThreadedNotification, ALatchPulseIsSignalledAtItsInstant) {
  double at = 0;
  ExpectPromptWakes(
      [&] {
        at = QUORVA_SIM_GetTime() + 0.1;
        EXPECT_EQ(QUORVA_SIM_LatchPulseAt(0, 5, at), 0);
      },
      [&] { return at; });
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 5), unsigned{QUORVA_SIM_INT_LATCH});
}

// Moves end while the application polls positions and another thread takes the signals: every
// interrupt is signalled once, whichever side notices it first.
TEST_F(ThreadedNotification, RequestsAndTheSchedulerShareTheBoards) {
  constexpr int kAxes = 4;
  constexpr int kRounds = 20;
  std::atomic<int> signals{0};
  std::atomic<bool> done{false};
  std::thread waiter([&] {
    while (!done)
      signals += static_cast<int>(event_.Wait(10));
  });
  for (int round = 0; round < kRounds; ++round) {
    for (int axis = 0; axis < kAxes; ++axis)
      QUORVA_MC_StartMove(board_, axis, 5 + 3 * axis);
    for (int axis = 0; axis < kAxes; ++axis) {
      while (QUORVA_MC_Done(board_, axis) == 0)
        QUORVA_MC_GetPosition_C(board_, axis);
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  done = true;
  waiter.join();
#ifndef _WIN32
  EXPECT_EQ(signals, kRounds * kAxes);
#else
  EXPECT_GE(signals, 1);
#endif
}

TEST_F(ThreadedNotification, StoppingTheSchedulerEndsItsThreadAndTheNextEventStartsItAgain) {
  QUORVA_MC_StartMove(board_, 1, 50);
  ASSERT_EQ(event_.Wait(2000), 1u);
  EXPECT_TRUE(SchedulerRunning());
  sim::SimBus::Instance().StopScheduler();
  EXPECT_FALSE(SchedulerRunning());
  QUORVA_MC_StartMove(board_, 1, 50);
  EXPECT_TRUE(SchedulerRunning());
  EXPECT_EQ(event_.Wait(2000), 1u);
}

#ifndef _WIN32
int ThreadCount() {
  int count = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(tasks))
      count += entry->d_name[0] != '.' ? 1 : 0;
    closedir(tasks);
  }
  return count;
}

// The library as an application loads it: unloading it while a move runs and an event is
// registered ends the scheduler thread before the code goes away.
TEST(ThreadedLibraryUnload, UnloadingTheLibraryEndsTheSchedulerThread) {
  void* library = dlopen(QUORVA_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto symbol = [&](const char* name) { return dlsym(library, name); };
  const auto configure = reinterpret_cast<int (*)(const char*)>(symbol("QUORVA_SIM_Configure"));
  const auto setClock = reinterpret_cast<int (*)(int, double)>(symbol("QUORVA_SIM_SetClock"));
  const auto load = reinterpret_cast<QUORVA_HANDLE (*)(int, int)>(symbol("QUORVA_LoadDevice"));
  const auto enable =
      reinterpret_cast<void (*)(QUORVA_HANDLE, std::uint64_t)>(symbol("QUORVA_MC_EnableInterrupt"));
  const auto move =
      reinterpret_cast<void (*)(QUORVA_HANDLE, int, double)>(symbol("QUORVA_MC_StartMove"));
  ASSERT_TRUE(configure && setClock && load && enable && move);
  ASSERT_EQ(configure("A508"), 1);
  setClock(QUORVA_SIM_CLOCK_REALTIME, 1);
  const int before = ThreadCount();  // (a sanitizer may add a thread of its own with ours)
  const QUORVA_HANDLE board = load(0xA508, 0);
  test::TestEvent event;
  enable(board, event.Value());
  move(board, 0, 100);
  const int running = ThreadCount();
  EXPECT_GT(running, before);
  dlclose(library);
  EXPECT_EQ(ThreadCount(), running - 1);
  EXPECT_EQ(event.Wait(200), 0u) << "nothing left to signal the move's end";
}
#endif

}  // namespace
}  // namespace quorva
