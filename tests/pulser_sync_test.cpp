// Pulser input and synchronised start: the requests, and axes that follow a hand wheel or
// start on another axis's signal on the simulated controller.
#include <cstdlib>
#include <string>
#include <vector>

#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

class PulserAndSync : public test::MotionBoardTest {
 protected:
  // Advances simulated time one request at a time until the axis's operation state is `state`.
  double TimeOfState(int axis, int state) {
    while (QUORVA_MC_GetMotionStatus(board_, axis) != state) {
    }
    return QUORVA_SIM_GetTime();
  }
};

TEST_F(PulserAndSync, InputModeAndSyncModeFields) {
  struct Case {
    const char* name;
    void (*call)(QUORVA_HANDLE);
    unsigned reg;
    unsigned mask;
    unsigned value;
  };
  const Case cases[] = {
      {"pulser mode 5 & 3, reverse 3 & 1",
       [](QUORVA_HANDLE h) { QUORVA_MC_SetPulserInputMode(h, 7, 5, 3); }, 29, 0x7000000, 0x5000000},
      {"signal 3 of axis 2", [](QUORVA_HANDLE h) { QUORVA_MC_SetSyncMode(h, 7, 1, 2, 3); }, 32,
       0x3F0000, 0x2A0000},
      {"signal codes above 15 and source axes above 3 stay in the field",
       [](QUORVA_HANDLE h) { QUORVA_MC_SetSyncMode(h, 7, 1, 6, 0x35); }, 32, 0x7FFF0000, 0x250000},
      {"condition 2 in the mode", [](QUORVA_HANDLE h) { QUORVA_MC_SetSyncMode(h, 7, 1, 0, 0); }, 7,
       0xFC0000, 2u << 18},
      {"stop of axis 1", [](QUORVA_HANDLE h) { QUORVA_MC_SetSyncMode(h, 7, 2, 1, 0); }, 7, 0xFC0000,
       7u << 18},
      {"source axes above 15 stay in the field",
       [](QUORVA_HANDLE h) { QUORVA_MC_SetSyncMode(h, 7, 2, 0x12, 0); }, 7, 0x1FC0000,
       (2u * 4 + 3) << 18},
      {"mode 0 starts at once", [](QUORVA_HANDLE h) { QUORVA_MC_SetSyncMode(h, 7, 0, 3, 3); }, 7,
       0xC0000, 0},
  };
  QUORVA_SIM_SetAxisRegister(0, 7, 32, 0x8000FFFF);  // bits outside the field are kept
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.call(board_);
    EXPECT_EQ(Reg(7, static_cast<int>(c.reg)) & c.mask, c.value);
  }
  EXPECT_EQ(Reg(7, 32) & 0x8000FFFF, 0x8000FFFFu);
  test::ClearLog();
  QUORVA_MC_SetSyncMode(board_, 7, 3, 1, 1);
  EXPECT_EQ(test::LoggedRequestCount(), 0) << "another mode changes nothing";
}

TEST_F(PulserAndSync, PulserStartsSendTheirOperationCodes) {
  QUORVA_MC_PulserHomeMove(board_, 1, 0);
  EXPECT_EQ(test::RawLog(), (Lines{"610(1, 7, " + std::to_string(context_->modeRegCache[1]) + ")",
                                   "620(1, 0, 81)"}))
      << "no profile prepared";
  EXPECT_EQ(context_->modeRegCache[1] & 0xFF, 0x54u);
  QUORVA_MC_EmgStop(board_, 1);
  for (const auto& [start, code] :
       {std::pair{+[](QUORVA_HANDLE h) { QUORVA_MC_StartPulserVMove(h, 1); }, 0x01u},
        {+[](QUORVA_HANDLE h) { QUORVA_MC_StartPulserMove(h, 1, 5); }, 0x51u},
        {+[](QUORVA_HANDLE h) { QUORVA_MC_StartPulserMoveTo(h, 1, 5); }, 0x52u},
        {+[](QUORVA_HANDLE h) { QUORVA_MC_PulserHomeMove(h, 1, 2); }, 0x55u}}) {
    test::ClearLog();
    start(board_);
    const Lines logged = test::RawLog();
    ASSERT_GE(logged.size(), 2u);
    EXPECT_EQ(logged[logged.size() - 2],
              "610(1, 7, " + std::to_string(context_->modeRegCache[1]) + ")");
    EXPECT_EQ(context_->modeRegCache[1] & 0xFF, code);
    EXPECT_EQ(logged.back(), "620(1, 0, 81)");
    QUORVA_MC_EmgStop(board_, 1);
  }
}

TEST_F(PulserAndSync, AxisFollowsTheHandWheelInEachInputMode) {
  struct Case {
    int mode;
    int reverse;
    int outputPerInput;
  };
  for (const Case& c : {Case{0, 0, 1}, Case{1, 0, 2}, Case{2, 0, 4}, Case{3, 0, 1}, Case{0, 1, -1},
                        Case{2, 1, -4}}) {
    SCOPED_TRACE(c.mode * 10 + c.reverse);
    QUORVA_MC_SetPosition_C(board_, 6, 0);
    QUORVA_MC_SetPulserInputMode(board_, 6, c.mode, c.reverse);
    QUORVA_MC_StartPulserVMove(board_, 6);
    ASSERT_EQ(QUORVA_SIM_TurnPulser(0, 6, 10000, 2000), 0);
    QUORVA_SIM_AdvanceTime(2.5);
    EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 6), 5000 * c.outputPerInput) << "half way";
    EXPECT_EQ(AxisState(6).speed, 2000.0 * std::abs(c.outputPerInput));
    QUORVA_SIM_AdvanceTime(3.0);
    EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 6), 10000 * c.outputPerInput);
    EXPECT_EQ(AxisState(6).speed, 0.0) << "the wheel stands";
    EXPECT_EQ(QUORVA_MC_Done(board_, 6), 0) << "and the axis waits for it";
    QUORVA_MC_Stop(board_, 6);
    EXPECT_EQ(QUORVA_MC_Done(board_, 6), 1);
  }
  EXPECT_EQ(QUORVA_SIM_TurnPulser(0, 6, 10, 0.5), -1);
  EXPECT_EQ(QUORVA_SIM_TurnPulser(0, 8, 10, 1), -1);
}

TEST_F(PulserAndSync, PulserPositioningEndsOnItsTarget) {
  QUORVA_MC_SetUnitDistance(board_, 2, 100);
  QUORVA_SIM_TurnPulser(0, 2, 10000, 10000);
  QUORVA_MC_PulserMove(board_, 2, 30);  // returns once there
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 3000);
  EXPECT_LT(test::LoggedRequestCount(), 100) << "the wait jumps to the instant it arrives";
  QUORVA_SIM_AdvanceTime(2);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 3000) << "pulses after the end are not followed";

  // Turns queue up: forwards, back, and forwards again past the target.
  QUORVA_MC_StartPulserMoveTo(board_, 2, 60);
  const double start = QUORVA_SIM_GetTime();
  QUORVA_SIM_TurnPulser(0, 2, 2000, 10000);
  QUORVA_SIM_TurnPulser(0, 2, -1500, 10000);
  QUORVA_SIM_TurnPulser(0, 2, 10000, 10000);
  while (QUORVA_MC_Done(board_, 2) == 0) {
  }
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 6000);
  EXPECT_NEAR(AxisState(2).endTime - start, (2000 + 1500 + 2500) / 10000.0, 1e-6);

  // A new target for an operation under way: set, but nothing started.
  QUORVA_SIM_AdvanceTime(1);  // the rest of the last turn
  ASSERT_EQ(QUORVA_MC_GetCount_C(board_, 2), 6000);
  QUORVA_MC_StartPulserMove(board_, 2, -50);
  QUORVA_SIM_TurnPulser(0, 2, -2000, 10000);
  QUORVA_SIM_AdvanceTime(0.5);
  test::ClearLog();
  QUORVA_MC_StartPulserMove(board_, 2, 5);
  EXPECT_EQ(test::RawLog(),
            (Lines{"630(2, 35, *)", "610(2, 0, 500)", "610(2, 8, 0)", "640(2, 0, *)"}));
  EXPECT_EQ(context_->moveTargetPos[2], 4000 + 500) << "500 pulses from where it stands";
  QUORVA_SIM_TurnPulser(0, 2, 3000, 10000);
  QUORVA_SIM_AdvanceTime(1);
  EXPECT_EQ(QUORVA_MC_Done(board_, 2), 1);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 4500);
}

TEST_F(PulserAndSync, PulserHomeSearchStopsOnTheSwitch) {
  QUORVA_SIM_SetHomePosition(0, 4, -700, 50);
  QUORVA_MC_SetPulserInputMode(board_, 4, 2, 1);  // 4 output pulses, reversed
  QUORVA_MC_PulserHomeMove(board_, 4, 0);
  const double start = QUORVA_SIM_GetTime();
  QUORVA_SIM_TurnPulser(0, 4, -100, 1000);  // away from the switch: not followed
  QUORVA_SIM_TurnPulser(0, 4, 1000, 1000);
  QUORVA_SIM_AdvanceTime(2);
  EXPECT_EQ(QUORVA_MC_Done(board_, 4), 1);
  EXPECT_NEAR(AxisState(4).endTime - start, 0.1 + 0.163, 1e-6) << "the input pulse that reaches it";
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 4), -651) << "the switch's edge, within a group of 4";
}

TEST_F(PulserAndSync, HeldStartsBeginInTheInstantOfTheirEvent) {
  // Axis 1 waits for the stop of axis 5 (the other chip); axis 3 for axis 1's start signal.
  QUORVA_MC_SetSyncMode(board_, 1, 2, 5, 0);
  QUORVA_MC_SetSyncMode(board_, 3, 1, 1, 0);
  QUORVA_MC_StartMove(board_, 1, 1000);
  QUORVA_MC_StartMove(board_, 3, 1000);
  QUORVA_MC_StartMove(board_, 5, 2000);
  QUORVA_MC_WriteMainSpace(board_, 0, 0, 0x06);  // the start signal is not what they wait for
  EXPECT_EQ(AxisState(1).busy, 2);
  EXPECT_EQ(AxisState(3).busy, 2);
  ASSERT_EQ(QUORVA_SIM_RunUntilIdle(0, 1u << 5), 0);
  const double stopped = AxisState(5).endTime;
  QUORVA_SIM_AdvanceTime(0.01);
  EXPECT_EQ(AxisState(1).startTime, stopped);
  EXPECT_EQ(AxisState(3).startTime, stopped);

  // The signals of a running axis: its high speed and its deceleration.
  QUORVA_MC_SetSpeedMode(board_, 0, 1);
  QUORVA_MC_SetAccel(board_, 0, 2000, 2000);
  for (const auto& [condition, state] : {std::pair{2, 0xC}, {3, 0xD}}) {
    SCOPED_TRACE(condition);
    QUORVA_MC_SetSyncMode(board_, 2, 1, 0, condition);
    QUORVA_MC_StartMove(board_, 2, 100);
    QUORVA_MC_StartMove(board_, 0, 2000);
    const double at = TimeOfState(0, state);
    EXPECT_NEAR(AxisState(2).startTime, at, QUORVA_SIM_REQUEST_QUANTUM_NS * 1e-9);
    QUORVA_MC_EmgStop(board_, 0);
    QUORVA_MC_EmgStop(board_, 2);
  }
  QUORVA_MC_SetSyncMode(board_, 2, 1, 0, 5);  // code 5: a signal that never comes
  QUORVA_MC_StartMove(board_, 2, 100);
  QUORVA_MC_Move(board_, 0, 100);
  EXPECT_EQ(AxisState(2).busy, 2);
  QUORVA_MC_Stop(board_, 2);
  EXPECT_EQ(QUORVA_MC_Done(board_, 2), 1) << "a stop ends the wait";
}

}  // namespace
}  // namespace quorva
