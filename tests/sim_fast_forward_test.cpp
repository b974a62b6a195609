// Simulated time that jumps while the library waits for a motion on the virtual clock, and
// only then; and running until axes are idle on request.
#include "sim_motion_test.h"

namespace quorva {
namespace {

class FastForward : public test::MotionBoardTest {
 protected:
  // 1000 pulses per second without ramps: a move of n pulses lasts n / 1000 seconds.
  void SetUp() override {
    MotionBoardTest::SetUp();
    for (int axis = 0; axis < 8; ++axis) {
      QUORVA_MC_SetSpeedRange(board_, axis, 5000);
      QUORVA_MC_SetSpeed(board_, axis, 1000, 1000);
      QUORVA_MC_SetSpeedMode(board_, axis, 0);
    }
    test::ClearLog();
  }
  static int DonePolls() {
    int polls = 0;
    for (const std::string& request : test::RawLog())
      polls += request.rfind("640(", 0) == 0 ? 1 : 0;
    return polls;
  }
};

TEST_F(FastForward, BlockingMoveJumpsToItsEndWithTheSameRequests) {
  const double start = QUORVA_SIM_GetTime();
  QUORVA_MC_Move(board_, 0, 10000);  // 10 simulated seconds
  const double took = QUORVA_SIM_GetTime() - start;
  const std::vector<std::string> first = test::RawLog();
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), 10000);
  EXPECT_NEAR(took, 10.0, 0.01);
  EXPECT_LE(DonePolls(), 3) << "one poll before the jump, one after";

  // Run again from the same state: exactly the same requests.
  SetUp();
  QUORVA_MC_Move(board_, 0, 10000);
  EXPECT_EQ(test::RawLog(), first);
}

TEST_F(FastForward, ApplicationPollingSeesEveryQuantum) {
  QUORVA_MC_StartMove(board_, 1, 50);  // 50 ms
  int polls = 0;
  double previous = QUORVA_SIM_GetTime();
  while (QUORVA_MC_Done(board_, 1) == 0) {
    const double now = QUORVA_SIM_GetTime();
    EXPECT_NEAR(now - previous, test::kQuantum, 1e-12);
    previous = now;
    ++polls;
  }
  EXPECT_GE(polls, 490);
}

TEST_F(FastForward, StartOnABusyAxisWaitsByJumping) {
  QUORVA_MC_StartMove(board_, 2, 5000);
  const double start = QUORVA_SIM_GetTime();
  QUORVA_MC_StartMove(board_, 2, 1000);  // waits until the first move has ended
  EXPECT_NEAR(QUORVA_SIM_GetTime() - start, 5.0, 0.01);
  EXPECT_LT(test::LoggedRequestCount(), 60);
}

TEST_F(FastForward, RealTimeClockNeverJumps) {
  ASSERT_EQ(QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, 1.0), 0);
  const double start = QUORVA_SIM_GetTime();
  QUORVA_MC_Move(board_, 0, 20);  // 20 ms
  EXPECT_GE(QUORVA_SIM_GetTime() - start, 0.02);
  EXPECT_GT(DonePolls(), 2) << "polled while the time passed";
}

TEST_F(FastForward, RunUntilIdleRunsAListToItsEnd) {
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_StartMove(board_, 0, 1000);
  QUORVA_MC_StartMove(board_, 1, 2000);
  QUORVA_MC_StartMove(board_, 0, -500);
  QUORVA_MC_EndList(board_);
  QUORVA_MC_StartListMotion(board_);
  const double start = QUORVA_SIM_GetTime();
  EXPECT_EQ(QUORVA_SIM_RunUntilIdle(0, 0x3), 0);
  EXPECT_NEAR(QUORVA_SIM_GetTime() - start, 3.5, 0.001) << "entries back to back";
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), 500);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 2000);
  EXPECT_NE(QUORVA_MC_CheckListMotionDone(board_), 0);
}

TEST_F(FastForward, RunUntilIdleStopsWhereNothingEnds) {
  QUORVA_MC_StartMove(board_, 0, 1000);
  QUORVA_MC_StartVMove(board_, 3, 1);
  const double start = QUORVA_SIM_GetTime();
  EXPECT_EQ(QUORVA_SIM_RunUntilIdle(0, 0x9), 1) << "axis 3 runs without end";
  EXPECT_NEAR(QUORVA_SIM_GetTime() - start, 1.0, 0.002) << "stands at axis 0's end";
  EXPECT_EQ(QUORVA_SIM_RunUntilIdle(0, 0x1), 0);
  EXPECT_EQ(QUORVA_SIM_RunUntilIdle(0, 0), 0) << "no axes: nothing to wait for";
  EXPECT_EQ(QUORVA_SIM_RunUntilIdle(7, 0x1), -1);
  QUORVA_MC_EmgStop(board_, 3);
}

}  // namespace
}  // namespace quorva
