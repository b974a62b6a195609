#include <string>
#include <vector>

#include "device/trace.h"
#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

using test::Concat;

class SingleAxisMoves : public test::MotionBoardTest {
 protected:
  // The requests a profile preparation for `distance` sends in the axis's present state.
  Lines ProfileRequests(int axis, int distance) {
    test::ClearLog();
    AxisProfilePrepare(board_, axis, *context_, distance, false, false, false);
    Lines lines = test::RawLog();
    test::ClearLog();
    return lines;
  }
};

TEST_F(SingleAxisMoves, RelativeMoveWritesAmountModeProfileThenStarts) {
  QUORVA_MC_StartMove(board_, 0, 2.5);
  const Lines logged = test::RawLog();
  const Lines expected = Concat({
      {"630(0, 49, *)", "630(0, 35, *)", "610(0, 0, 3)", "610(0, 8, 0)", "610(0, 7, 4161)"},
      ProfileRequests(0, 2),
      {"620(0, 0, 81)"},
  });
  EXPECT_EQ(logged, expected);
}

TEST_F(SingleAxisMoves, NegativeHalvesRoundAwayFromZero) {
  QUORVA_MC_StartMove(board_, 1, -2.5);
  unsigned amount = 0;
  QUORVA_SIM_GetAxisRegister(0, 1, 0, &amount);
  EXPECT_EQ(static_cast<int>(amount), -3);
  EXPECT_EQ(context_->moveTargetPos[1], -2.5);
}

TEST_F(SingleAxisMoves, AbsoluteMovePreparesTheProfileBeforeTheOperationCode) {
  QUORVA_SIM_SetAxisRegister(0, 2, 35, 0x0FFFFFF6);  // -10
  QUORVA_MC_StartMoveTo(board_, 2, 40);
  const Lines logged = test::RawLog();
  ASSERT_GE(logged.size(), 6u);
  EXPECT_EQ(Lines(logged.begin(), logged.begin() + 4),
            (Lines{"630(2, 49, *)", "630(2, 35, *)", "610(2, 0, 40)", "610(2, 8, 0)"}));
  EXPECT_EQ(logged[logged.size() - 2],
            "610(2, 7, " + std::to_string(context_->modeRegCache[2]) + ")");
  EXPECT_EQ(context_->modeRegCache[2] & 0xFF, 0x42u);
  EXPECT_EQ(logged.back(), "620(2, 0, 81)");
  EXPECT_EQ(context_->moveStartPos[2], -10);
  EXPECT_EQ(context_->moveTargetPos[2], 40);
}

TEST_F(SingleAxisMoves, StartCodeFollowsSpeedModeAndAcceleration) {
  struct Case {
    int speedMode;
    double accel;
    const char* start;
  };
  for (const Case& c : {Case{0, 0, "620(3, 0, 81)"}, Case{0, 500, "620(3, 0, 81)"},
                        Case{1, 0, "620(3, 0, 82)"}, Case{1, 500, "620(3, 0, 83)"}}) {
    context_->speedMode[3] = c.speedMode;
    context_->accel[3] = c.accel;
    context_->decel[3] = 500;
    test::ClearLog();
    QUORVA_MC_StartMove(board_, 3, 100);
    EXPECT_EQ(test::RawLog().back(), c.start) << c.speedMode << " " << c.accel;
  }
}

TEST_F(SingleAxisMoves, ContinuousRunsChooseDirectionAndRamp) {
  QUORVA_MC_StartVMove(board_, 4, 0);
  EXPECT_EQ(context_->modeRegCache[4] & 0xFF, 0x08u) << "direction 0 runs negative";
  EXPECT_EQ(test::RawLog().front(), "610(4, 8, 0)") << "no idle wait before a continuous run";
  EXPECT_EQ(test::RawLog().back(), "620(4, 0, 81)");
  QUORVA_MC_EmgStop(board_, 4);
  context_->speedMode[4] = 1;
  test::ClearLog();
  QUORVA_MC_StartVMove(board_, 4, 1);
  EXPECT_EQ(context_->modeRegCache[4] & 0xFF, 0x00u);
  EXPECT_EQ(test::RawLog().back(), "620(4, 0, 83)");
  QUORVA_MC_EmgStop(board_, 4);
  QUORVA_MC_StartVMoveEx(board_, 4);
  EXPECT_EQ(context_->modeRegCache[4] & 0xFF, 0x02u);
  QUORVA_MC_EmgStop(board_, 4);
  QUORVA_MC_StartMoveEx(board_, 4, 10);
  EXPECT_EQ(context_->modeRegCache[4] & 0xFF, 0x56u);
}

TEST_F(SingleAxisMoves, StopsReleaseAHeldInPositionWait) {
  QUORVA_MC_Stop(board_, 5);
  EXPECT_EQ(test::RawLog(), (Lines{"620(5, 0, 74)", "630(5, 28, *)"}))
      << "in-position input disabled: only the stop";
  QUORVA_MC_SetMioCfgINP(board_, 5, 1, 0);
  test::ClearLog();
  QUORVA_MC_EmgStop(board_, 5);
  const Lines logged = test::RawLog();
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.front(), "620(5, 0, 5)");
  unsigned env = 0;
  QUORVA_SIM_GetAxisRegister(0, 5, 28, &env);
  EXPECT_EQ(env >> 22 & 1u, 0u) << "logic restored after the inverted pulse";
  int writesOf28 = 0;
  for (const std::string& line : logged)
    writesOf28 += line.rfind("610(5, 28,", 0) == 0;
  EXPECT_EQ(writesOf28, 2) << "inverted, then restored";
}

TEST_F(SingleAxisMoves, RecordedMovesChainFromEachOthersTargets) {
  QUORVA_SIM_SetAxisRegister(0, 0, 35, 100);
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_Move(board_, 0, 10);
  QUORVA_MC_Move(board_, 0, 5);
  EXPECT_EQ(context_->moveTargetPos[0], 115);
  EXPECT_EQ(context_->moveStartPos[0], 110);
  EXPECT_EQ(context_->listItems.Size(), 2u);
  for (const std::string& line : test::RawLog()) {
    EXPECT_NE(line.rfind("620(0, 0,", 0), 0u) << "recorded moves are not started: " << line;
    EXPECT_NE(line, "640(0, 0, *)") << "and not waited for";
  }
}

TEST_F(SingleAxisMoves, ABlockingMoveTracesOnlyItself) {
  const std::string path = test::TempPath("move.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
  QUORVA_MC_Move(board_, 0, 10);
  const std::string log = test::ReadFile(path);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("QUORVA_MC_Move(0x"), std::string::npos);
  EXPECT_NE(log.find(", 0, 10.000)"), std::string::npos);
}

TEST_F(SingleAxisMoves, NoContextOrBadAxisMovesNothing) {
  const QUORVA_HANDLE analog = Load(0xA101);
  QUORVA_MC_Move(analog, 0, 10);
  QUORVA_MC_StartVMove(analog, 0, 1);
  QUORVA_MC_Stop(analog, 0);
  for (int axis : {-1, 8, 1000}) {
    QUORVA_MC_StartMove(board_, axis, 10);
    QUORVA_MC_MoveTo(board_, axis, 10);
    QUORVA_MC_StartVMove(board_, axis, 1);
    QUORVA_MC_StartMoveEx(board_, axis, 1);
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

}  // namespace
}  // namespace quorva
