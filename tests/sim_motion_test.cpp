// The simulated controller's stops, limits, start signal, live changes, outputs and counters,
// driven through the raw register and command functions.
#include <string>
#include <vector>

#include "sim_motion_test.h"

namespace quorva::test {
namespace {

class SimMotion : public SimMotionTest {
 protected:
  // A continuous run of axis `axis` at 10000 pps (ramps of 0.5 s from and to 1000 pps).
  void RunContinuous(int axis, std::uint32_t operation = 0x00) {
    Program(axis, 0, operation, {});
    Command(axis, 0x53);
  }
  unsigned int Signals(int axis) { return QUORVA_MC_ReadMainSpace(board_, axis, 1); }
};

TEST_F(SimMotion, DeceleratingStopRampsDownToTheStartSpeed) {
  RunContinuous(0);
  QUORVA_SIM_AdvanceTime(2.0);
  EXPECT_EQ(Reg(0, 49) & 0xF, 0xCu);
  Command(0, 0x4A);
  const double stopAt = QUORVA_SIM_GetTime();
  const int countAtStop = Counter(0);
  EXPECT_EQ(Reg(0, 49) & 0xF, 0xDu);
  const double end = WaitIdle(0);
  EXPECT_NEAR(end - stopAt, 0.5, 2 * kQuantum) << "10000 to 1000 pps at the deceleration rate";
  EXPECT_NEAR(Counter(0) - countAtStop, 2750, 3);
  EXPECT_EQ(State(0).stopCauses, 0u);
}

TEST_F(SimMotion, ImmediateStopsAndResetsEndTheMoveAtOnce) {
  for (const unsigned int stop : {0x05u, 73u, 4u, 38u}) {
    SCOPED_TRACE(stop);
    RunContinuous(5, 0x08);
    QUORVA_SIM_AdvanceTime(1.0);
    Command(5, stop);
    const int stoppedAt = Counter(5);
    EXPECT_FALSE(Busy(5));
    QUORVA_SIM_AdvanceTime(1.0);
    EXPECT_EQ(Counter(5), stoppedAt);
    EXPECT_EQ(Reg(5, 53), 0u);
    EXPECT_LT(stoppedAt, 0);
  }
}

TEST_F(SimMotion, StopWordWithAxisBitsStopsTheChipsSelectedAxes) {
  RunContinuous(4);
  RunContinuous(6);
  RunContinuous(7);
  Command(4, 0x405);  // axis 4 and, through bit 10, axis 6
  EXPECT_FALSE(Busy(4));
  EXPECT_FALSE(Busy(6));
  EXPECT_TRUE(Busy(7));
}

TEST_F(SimMotion, EndLimitStopsTheAxisAndAMoveAwayRuns) {
  ASSERT_EQ(QUORVA_SIM_SetEndLimitPosition(0, 1, 1, 5000), 0);
  Program(1, 10000, 0x41, {});
  Command(1, 0x53);
  WaitIdle(1);
  EXPECT_EQ(Counter(1), 5000);
  EXPECT_NE(Signals(1) & (1u << 12), 0u) << "EL+ in the signal status word";
  EXPECT_NE(Reg(1, 49) & QUORVA_SIM_STOP_END_LIMIT, 0u);

  Program(1, 100, 0x41, {});
  Command(1, 0x53);
  EXPECT_FALSE(Busy(1)) << "no start towards the active limit";
  EXPECT_EQ(Counter(1), 5000);

  Program(1, -2000, 0x41, {});
  Command(1, 0x53);
  EXPECT_TRUE(Busy(1));
  WaitIdle(1);
  EXPECT_EQ(Counter(1), 3000);
  EXPECT_EQ(Signals(1) & (1u << 12), 0u);
  EXPECT_EQ(Reg(1, 49) & QUORVA_SIM_STOP_END_LIMIT, 0u);
}

TEST_F(SimMotion, EndLimitWithTheDecelerationFlagStopsBeyondIt) {
  QUORVA_MC_WriteRegister(board_, 1, 28, Reg(1, 28) | 1u << 3);
  ASSERT_EQ(QUORVA_SIM_SetEndLimitPosition(0, 1, -1, -5000), 0);
  RunContinuous(1, 0x08);
  WaitIdle(1);
  EXPECT_NEAR(Counter(1), -5000 - 2750, 2) << "the ramp from 10000 to 1000 pps";
  EXPECT_NE(Signals(1) & (1u << 13), 0u);
}

TEST_F(SimMotion, LimitAndAlarmInputsStopARunningAxis) {
  RunContinuous(2);
  QUORVA_SIM_AdvanceTime(1.0);
  ASSERT_EQ(QUORVA_SIM_SetAxisInput(0, 2, QUORVA_SIM_INPUT_EL_MINUS, 1), 0);
  EXPECT_TRUE(Busy(2)) << "the limit behind the axis does not stop it";
  ASSERT_EQ(QUORVA_SIM_SetAxisInput(0, 2, QUORVA_SIM_INPUT_EL_PLUS, 1), 0);
  EXPECT_FALSE(Busy(2));
  EXPECT_EQ(Signals(2) & (3u << 12), 3u << 12);
  QUORVA_SIM_SetAxisInput(0, 2, QUORVA_SIM_INPUT_EL_PLUS, 0);
  QUORVA_SIM_SetAxisInput(0, 2, QUORVA_SIM_INPUT_EL_MINUS, 0);

  RunContinuous(2);
  ASSERT_EQ(QUORVA_SIM_SetAxisInput(0, 2, QUORVA_SIM_INPUT_ALARM, 1), 0);
  EXPECT_FALSE(Busy(2));
  EXPECT_NE(Signals(2) & (1u << 11), 0u);
  EXPECT_NE(Reg(2, 49) & QUORVA_SIM_STOP_ALARM, 0u);
  RunContinuous(2);
  EXPECT_FALSE(Busy(2)) << "no start while the alarm is active";
  EXPECT_EQ(QUORVA_SIM_SetAxisInput(0, 2, 9, 1), -1);
  EXPECT_EQ(QUORVA_SIM_SetAxisInput(0, 8, QUORVA_SIM_INPUT_ALARM, 1), -1);
}

TEST_F(SimMotion, SoftLimitsStopTheAxisAtTheirPositions) {
  QUORVA_MC_WriteRegister(board_, 3, 39, static_cast<unsigned int>(-1000));
  QUORVA_MC_WriteRegister(board_, 3, 40, 2000);
  QUORVA_MC_WriteRegister(board_, 3, 31, 0x3838);  // comparators 1 and 2: fields 0, 6, 1
  Program(3, 5000, 0x41, {});
  Command(3, 0x53);
  WaitIdle(3);
  EXPECT_EQ(Counter(3), 2000);
  EXPECT_NE(Reg(3, 49) & QUORVA_SIM_STOP_SOFT_LIMIT, 0u);
  EXPECT_NE(Reg(3, 49) & (1u << 12), 0u);
  Program(3, -5000, 0x41, {});
  Command(3, 0x53);
  WaitIdle(3);
  EXPECT_EQ(Counter(3), -1000);
  EXPECT_NE(Reg(3, 49) & (1u << 11), 0u);

  QUORVA_MC_WriteRegister(board_, 3, 31, 0);  // no longer soft limits
  Command(3, 0x53);
  WaitIdle(3);
  EXPECT_EQ(Counter(3), -6000);
}

TEST_F(SimMotion, StartSignalReleasesAxesOfBothChipsTogether) {
  SpeedSet s;
  s.modeBits = kModeStartSignal;
  Program(1, 8000, 0x41, s);
  Program(6, -8000, 0x41, s);
  Command(1, 0x53);
  Command(6, 0x53);
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_TRUE(Busy(1));
  EXPECT_TRUE(Busy(6));
  EXPECT_NE(Reg(6, 49) & (3u << 20), 0u);
  EXPECT_EQ(Reg(6, 49) & 0xF, 0u);
  EXPECT_EQ(Counter(1), 0) << "waiting, not moving";

  Command(1, 0x06);
  const QUORVA_SIM_AXIS_STATE first = State(1);
  const QUORVA_SIM_AXIS_STATE second = State(6);
  EXPECT_EQ(first.startTime, second.startTime);
  EXPECT_EQ(first.endTime, second.endTime);
  WaitIdle(1);
  WaitIdle(6);
  EXPECT_EQ(Counter(1), 8000);
  EXPECT_EQ(Counter(6), -8000);
}

TEST_F(SimMotion, StartSignalWithAxisBitsReleasesOnlyThoseAxes) {
  SpeedSet s;
  s.modeBits = kModeStartSignal;
  for (const int axis : {0, 1, 4}) {
    Program(axis, 1000, 0x41, s);
    Command(axis, 0x51);
  }
  Command(0, 0x206);  // chip 0, axis 1
  QUORVA_SIM_AdvanceTime(0.01);
  EXPECT_EQ(State(0).busy, 2);
  EXPECT_EQ(State(1).busy, 1);
  EXPECT_EQ(State(4).busy, 2);
}

TEST_F(SimMotion, GroupStartWordStartsTheChipsAxesInOneInstant) {
  Program(1, 3000, 0x41, {});
  Program(2, 3000, 0x41, {});
  Command(1, 0x653);
  EXPECT_EQ(State(1).startTime, State(2).startTime);
  EXPECT_TRUE(Busy(2));
}

TEST_F(SimMotion, PreRegistersApplyToARunningMoveOnCommand43) {
  SpeedSet s;
  s.highSteps = 500;
  Program(0, 40000, 0x41, s);
  Command(0, 0x53);
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_EQ(Reg(0, 53), 500u);
  QUORVA_MC_WriteRegister(board_, 0, 2, 1000);
  EXPECT_EQ(Reg(0, 53), 500u) << "a pre-register alone changes nothing";
  Command(0, 43);
  EXPECT_EQ(Reg(0, 18), 1000u);
  EXPECT_EQ(Reg(0, 49) & 0xF, 0xBu) << "accelerates to the new high speed";
  QUORVA_SIM_AdvanceTime(0.6);
  EXPECT_EQ(Reg(0, 53), 1000u);
  EXPECT_EQ(Reg(0, 49) & 0xF, 0xCu);

  QUORVA_MC_WriteRegister(board_, 0, 16, 30000);  // a new end for the running move
  WaitIdle(0);
  EXPECT_EQ(Counter(0), 30000);
}

TEST_F(SimMotion, OperationCodesWithoutAModelStartNothing) {
  Program(0, 1000, 0x60, {});
  Command(0, 0x53);
  EXPECT_FALSE(Busy(0));
  EXPECT_EQ(Reg(0, 23), 0x60u) << "the pre-registers were still copied";
  EXPECT_EQ(Reg(0, 16), 1000u);
}

TEST_F(SimMotion, AxisCommandsSetTheOutputBitsOfTheSignalStatus) {
  Command(0, 24);
  Command(0, 36);
  EXPECT_EQ(Signals(0) & 3u, 3u) << "servo off and ERC output";
  Command(0, 16);
  Command(0, 37);
  EXPECT_EQ(Signals(0) & 3u, 0u);
  Command(1, 26);
  Command(1, 27);
  EXPECT_EQ(Signals(1) & 0xCu, 0xCu) << "pulse output off and EL logic";
  Command(1, 18);
  Command(1, 19);
  EXPECT_EQ(Signals(1) & 0xCu, 0u);
  QUORVA_Outpdw(board_, 3, 5, 1u << 2);  // PE off for axis 6 in the board double-word
  EXPECT_EQ(Signals(6) & 0xCu, 0x4u);
  ASSERT_EQ(QUORVA_SIM_SetAxisInput(0, 6, QUORVA_SIM_INPUT_INP, 1), 0);
  ASSERT_EQ(QUORVA_SIM_SetAxisInput(0, 6, QUORVA_SIM_INPUT_LATCH, 1), 0);
  EXPECT_EQ(Reg(6, 49) & 0x30u, 0x30u);
}

TEST_F(SimMotion, HomeSwitchIsActiveWhileTheAxisPassesIt) {
  ASSERT_EQ(QUORVA_SIM_SetHomePosition(0, 0, 2000, 100), 0);
  Program(0, 2050, 0x41, {});
  Command(0, 0x51);
  EXPECT_EQ(Signals(0) & (1u << 14), 0u);
  WaitIdle(0);
  EXPECT_NE(Signals(0) & (1u << 14), 0u);
  Program(0, 100, 0x41, {});
  Command(0, 0x51);
  WaitIdle(0);
  EXPECT_EQ(Signals(0) & (1u << 14), 0u);
}

TEST_F(SimMotion, CountersWrapAt28BitsAndFollowTheFollowingError) {
  QUORVA_MC_WriteRegister(board_, 0, 35, 0x07FFFF00);
  QUORVA_MC_WriteRegister(board_, 0, 36, 0x07FFFF00);
  ASSERT_EQ(QUORVA_SIM_SetFollowingError(0, 0, 5), 0);
  EXPECT_EQ(Reg(0, 36), 0x07FFFEFBu);
  Program(0, 1000, 0x41, {});
  Command(0, 0x51);
  WaitIdle(0);
  EXPECT_EQ(Reg(0, 35), (0x07FFFF00u + 1000) & 0x0FFFFFFFu);
  EXPECT_EQ(Counter(0), 0x07FFFF00 + 1000 - 0x10000000);
  EXPECT_EQ(Reg(0, 36), (0x07FFFF00u + 1000 - 5) & 0x0FFFFFFFu);
  EXPECT_EQ(Reg(0, 37), 5u);
}

// The requests of a scripted session and the values they read.
std::vector<std::string> Session(SimMotionTest& test, QUORVA_HANDLE board) {
  std::vector<std::string> lines;
  QUORVA_SIM_ClearRequests();
  QUORVA_MC_WriteRegister(board, 0, 0, 7000);
  QUORVA_MC_WriteRegister(board, 0, 2, 800);
  QUORVA_MC_WriteRegister(board, 0, 5, 29);
  QUORVA_MC_WriteRegister(board, 0, 7, 0x41 | 1u << 10);
  QUORVA_MC_WriteMainSpace(board, 0, 0, 0x53);
  while ((QUORVA_MC_ReadMainSpace(board, 0, 0) & 2u) != 0)
    lines.push_back(std::to_string(QUORVA_MC_ReadRegister(board, 0, 35)) + " " +
                    std::to_string(QUORVA_MC_ReadRegister(board, 0, 53)));
  for (int i = 0; i < QUORVA_SIM_RequestCount(); ++i) {
    QUORVA_SIM_REQUEST r{};
    QUORVA_SIM_GetRequest(i, &r);
    const bool write = r.code == 610 || r.code == 620;
    lines.push_back(std::to_string(r.code) + " " + std::to_string(r.slots[0]) + " " +
                    std::to_string(r.slots[1]) + " " + (write ? std::to_string(r.slots[2]) : ""));
  }
  (void)test;
  return lines;
}

TEST_F(SimMotion, TwoRunsGiveTheSameRequestsAndReadings) {
  const std::vector<std::string> first = Session(*this, board_);
  UseBoards("A508");
  board_ = Load(0xA508);
  const std::vector<std::string> second = Session(*this, board_);
  EXPECT_GT(first.size(), 1000u);
  EXPECT_EQ(first, second);
}

}  // namespace
}  // namespace quorva::test
