// Speed and end-point override of moves running on the simulated controller, and the measured
// speed the driver reports.
#include <cmath>
#include <string>

#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

class OverrideEndToEnd : public test::MotionBoardTest {
 protected:
  // A 300 mm move accelerates for 1 s (50 mm), runs at 100 mm/s until 3 s and decelerates until
  // 4 s.
  void SetUp() override {
    MotionBoardTest::SetUp();
    for (int axis = 0; axis < 8; ++axis)
      UseMillimetres(axis, 100);
  }
  // Polls until the axis is done; the simulated time then.
  double WaitDone(int axis) {
    while (QUORVA_MC_Done(board_, axis) == 0) {
    }
    return QUORVA_SIM_GetTime();
  }
};

TEST_F(OverrideEndToEnd, NewEndsAreReachedExactlyInEveryStateAndVariant) {
  struct Case {
    double at;  // seconds into a 300 mm move
    unsigned state;
    double end;  // mm
    bool reverses;
  };
  const Case cases[] = {
      {0.5, 0xB, 400, false},  // lengthened while accelerating
      {0.5, 0xB, 20, true},    // within the stopping distance while accelerating
      {0.5, 0xB, 100, false},  // shortened: decided once the acceleration is over
      {2.0, 0xC, 220, false},  // shortened within its stopping distance
      {2.0, 0xC, 180, true},   // nearer than the stopping distance
      {2.0, 0xC, 100, true},   // already passed
      {3.5, 0xD, 250, true},   // passed while decelerating
      {3.5, 0xD, 400, false},  // lengthened while decelerating
  };
  const int axis = 7;
  for (const int automatic : {0, 1}) {
    QUORVA_MC_SetMioProperty(board_, axis, 31, automatic);
    for (const bool toPosition : {false, true}) {
      for (const Case& c : cases) {
        SCOPED_TRACE(std::string(automatic ? "automatic" : "manual") +
                     (toPosition ? " OverrideMoveTo " : " OverrideMove ") + std::to_string(c.end));
        QUORVA_MC_SetPosition_C(board_, axis, 0);
        if (toPosition) {
          QUORVA_MC_StartMoveTo(board_, axis, 300);
        } else {
          QUORVA_MC_StartMove(board_, axis, 300);
        }
        QUORVA_SIM_AdvanceTime(c.at);
        ASSERT_EQ(QUORVA_MC_GetMotionStatus(board_, axis), static_cast<int>(c.state));
        const int done = toPosition ? QUORVA_MC_OverrideMoveTo(board_, axis, c.end)
                                    : QUORVA_MC_OverrideMove(board_, axis, c.end);
        EXPECT_EQ(done, 1);
        EXPECT_EQ(context_->moveTargetPos[axis], c.end * 100);
        QUORVA_SIM_AdvanceTime(10);
        EXPECT_EQ(QUORVA_MC_Done(board_, axis), 1);
        EXPECT_EQ(QUORVA_MC_GetCount_C(board_, axis), c.end * 100);
        EXPECT_EQ(AxisState(axis).direction, c.reverses ? -1 : 1);
        if (c.reverses && !automatic && !toPosition) {
          // The comparator started the way back prepared by the library: by the amount from
          // the comparison position.
          const int comparePosition = static_cast<int>(QUORVA_MC_ReadRegister(board_, axis, 41));
          EXPECT_EQ(static_cast<int>(QUORVA_MC_ReadRegister(board_, axis, 16)),
                    c.end * 100 - comparePosition);
        }
      }
    }
  }
}

TEST_F(OverrideEndToEnd, OverrideOfAStoppedAxisIsRefused) {
  QUORVA_MC_Move(board_, 0, 10);
  for (const int automatic : {0, 1}) {
    QUORVA_MC_SetMioProperty(board_, 0, 31, automatic);
    EXPECT_EQ(QUORVA_MC_OverrideMove(board_, 0, 20), 0);
    EXPECT_EQ(QUORVA_MC_OverrideMoveTo(board_, 0, 20), 0);
  }
  EXPECT_EQ(context_->moveTargetPos[0], 1000);
  QUORVA_MC_StartVMove(board_, 0, 1);
  QUORVA_MC_SetMioProperty(board_, 0, 31, 1);
  EXPECT_EQ(QUORVA_MC_OverrideMove(board_, 0, 20), 0) << "a continuous run has no end to change";
  QUORVA_MC_EmgStop(board_, 0);
}

// The manual variant waits for the end of an acceleration before shortening; a limit that
// stops the axis meanwhile ends the wait and refuses the change.
TEST_F(OverrideEndToEnd, AxisStoppedWhileTheOverrideWaitsIsRefused) {
  ASSERT_EQ(QUORVA_SIM_SetEndLimitPosition(0, 2, 1, 3000), 0);
  QUORVA_MC_StartMove(board_, 2, 300);
  QUORVA_SIM_AdvanceTime(0.5);
  EXPECT_EQ(QUORVA_MC_OverrideMove(board_, 2, 100), 0);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 3000);
  EXPECT_EQ(context_->moveTargetPos[2], 30000);
}

TEST_F(OverrideEndToEnd, SpeedOverrideRaisesAndLowersARunningMove) {
  const double step = context_->speedResolution[0] / 100;  // mm/s per speed step
  QUORVA_MC_StartVMove(board_, 0, 1);
  QUORVA_MC_StartMove(board_, 1, 1000);
  QUORVA_SIM_AdvanceTime(1.5);
  for (const double speed : {150.0, 40.0, 100.0}) {
    SCOPED_TRACE(speed);
    for (const int axis : {0, 1})
      QUORVA_MC_SetSpeed(board_, axis, 1, speed);
    const int axes[] = {0, 1};
    QUORVA_MC_OverrideSpeedSetAll(board_, 2, axes);
    QUORVA_SIM_AdvanceTime(1.5);  // the longest change, 110 mm/s at 100 mm/s²
    EXPECT_NEAR(QUORVA_MC_GetCurSpeed(board_, 0), speed, step);
    EXPECT_NEAR(QUORVA_MC_GetCurSpeed(board_, 1), speed, step);
  }
  WaitDone(1);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 100000) << "still ends at its target";
  QUORVA_MC_EmgStop(board_, 0);
}

TEST_F(OverrideEndToEnd, MeasuredSpeedFollowsTheActualCounter) {
  QUORVA_MC_EnableActSpdChk(board_, 50);
  QUORVA_MC_StartVMove(board_, 3, 1);
  QUORVA_MC_StartVMove(board_, 4, 0);
  QUORVA_SIM_SetFollowingError(0, 3, 25);  // a steady lag changes no speed
  QUORVA_MC_SetInOutRatio(board_, 4, 2.0);
  QUORVA_SIM_AdvanceTime(2.0);  // one jump: the samples are still taken at their instants
  EXPECT_NEAR(QUORVA_MC_GetActualSpeed(board_, 3), 100.0, 1.0);
  EXPECT_NEAR(QUORVA_MC_GetActualSpeed(board_, 4), -200.0, 2.0);
  QUORVA_MC_Stop(board_, 3);
  QUORVA_SIM_AdvanceTime(0.5);
  EXPECT_LT(QUORVA_MC_GetActualSpeed(board_, 3), 60.0) << "decelerating";
  QUORVA_MC_DisableActSpdChk(board_);
  EXPECT_EQ(QUORVA_MC_GetActualSpeed(board_, 4), 0.0);
  QUORVA_MC_EmgStop(board_, 4);
}

}  // namespace
}  // namespace quorva
