// Home configuration and home searches: the requests the library sends, and the searches the
// simulated controller runs from them.
#include <cmath>
#include <string>
#include <vector>

#include "motion/core/speed_profile.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

using test::Concat;

// The values written to the mode register, and the log with those values replaced by "mode":
// the mode word carries bits of every earlier setting, checked on their own.
std::vector<unsigned> ModeWrites(const Lines& lines) {
  std::vector<unsigned> modes;
  for (const std::string& line : lines) {
    if (line.rfind("610(0, 7, ", 0) == 0) modes.push_back(std::stoul(line.substr(10)));
  }
  return modes;
}
Lines WithoutModeValues(Lines lines) {
  for (std::string& line : lines) {
    if (line.rfind("610(0, 7, ", 0) == 0) line = "610(0, 7, mode)";
  }
  return lines;
}

constexpr unsigned kStartInputMode = 1u << 18;
constexpr unsigned kLimitPlusSignal = 1u << 12;

class Homing : public test::MotionBoardTest {
 protected:
  // The requests of a profile preparation for a move without target, mode values hidden.
  Lines ProfileRequests(int axis) {
    test::ClearLog();
    AxisProfilePrepare(board_, axis, *context_, 0, false, false, false);
    const Lines lines = WithoutModeValues(test::RawLog());
    test::ClearLog();
    return lines;
  }
  QUORVA_SIM_AXIS_STATE State(int axis) {
    QUORVA_SIM_AXIS_STATE state{};
    QUORVA_SIM_GetAxisState(0, axis, &state);
    return state;
  }
  void WaitDone(int axis) {
    while (QUORVA_MC_Done(board_, axis) == 0) {
    }
  }
};

TEST_F(Homing, ConfigurationKeepsTheLowBitsOfEachField) {
  const unsigned env1 = Reg(0, 28) & ~0x880u;
  const unsigned env2 = Reg(0, 29) & ~0x800000u;
  QUORVA_MC_SetHomeConfig(board_, 0, 0x1F, 1, 0x23, 1, 1);
  EXPECT_EQ(test::RawLog(),
            (Lines{"630(0, 30, *)", "610(0, 30, 63)", "630(0, 28, *)",
                   "610(0, 28, " + std::to_string(env1 | 0x880) + ")", "630(0, 29, *)",
                   "610(0, 29, " + std::to_string(env2 | 0x800000) + ")"}));
  int got[5] = {-1, -1, -1, -1, -1};
  QUORVA_MC_GetHomeConfig(board_, 0, &got[0], &got[1], &got[2], &got[3], &got[4]);
  EXPECT_EQ(std::vector<int>(got, got + 5), (std::vector<int>{15, 1, 3, 1, 1}));
  QUORVA_MC_SetHomeConfig(board_, 0, 6, 0, 0, 0, 0);
  QUORVA_MC_GetHomeConfig(board_, 0, &got[0], nullptr, nullptr, &got[3], nullptr);
  EXPECT_EQ(got[0], 6);
  EXPECT_EQ(got[3], 0);
}

TEST_F(Homing, SearchWritesSpeedOperationCodeAndStart) {
  QUORVA_MC_HomeMove(board_, 0, 1, 100.0);
  const Lines logged = WithoutModeValues(test::RawLog());
  EXPECT_EQ(logged, Concat({{"630(0, 30, *)", "610(0, 30, 15728640)"},
                            ProfileRequests(0),
                            {"610(0, 27, 10)", "610(0, 7, mode)", "620(0, 0, 81)"}}));
  EXPECT_EQ(context_->modeRegCache[0] & 0xFF, 16u);
  struct Case {
    int direction;
    int speedMode;
    unsigned code;
    const char* start;
  };
  for (const Case& c : {Case{-1, 0, 24, "620(1, 0, 81)"}, Case{0, 1, 24, "620(1, 0, 83)"},
                        Case{1, 2, 16, "620(1, 0, 83)"}}) {
    context_->speedMode[1] = c.speedMode;
    QUORVA_MC_EmgStop(board_, 1);
    test::ClearLog();
    QUORVA_MC_HomeMove(board_, 1, c.direction, 100.0);
    EXPECT_EQ(context_->modeRegCache[1] & 0xFF, c.code) << c.direction;
    EXPECT_EQ(test::RawLog().back(), c.start) << c.direction;
  }
}

TEST_F(Homing, SearchSpeedIsLimitedToTheRegisterRange) {
  // 10 pulses per second per step: 1e7 pps would be 1000000 steps, wrapping to 16960.
  for (const auto& [speed, steps] : {std::pair{1e7, 65535u},
                                     {655350.0, 65535u},
                                     {0.5, 1u},
                                     {-100.0, 1u},
                                     {NAN, 1u},
                                     {25.0, 2u}}) {
    QUORVA_MC_HomeMove(board_, 2, 1, speed);
    EXPECT_EQ(Reg(2, 27), steps) << speed;
    QUORVA_MC_EmgStop(board_, 2);
  }
}

TEST_F(Homing, AutomaticSearchCodesFollowTheHomeMode) {
  QUORVA_MC_SetHomeConfig(board_, 0, 3, 0, 0, 0, 0);
  QUORVA_MC_SetUnitDistance(board_, 0, 1000);
  test::ClearLog();
  QUORVA_MC_HomeMoveAuto(board_, 0, 1, 50.0, -2.0);
  const Lines logged = WithoutModeValues(test::RawLog());
  EXPECT_EQ(logged, Concat({{"620(0, 0, 5)", "630(0, 28, *)", "630(0, 30, *)", "630(0, 30, *)",
                             "610(0, 30, 15728643)", "610(0, 16, -2000)"},
                            ProfileRequests(0),
                            {"610(0, 27, 5)", "610(0, 7, mode)", "620(0, 0, 81)"}}))
      << "no move before the search; the offset keeps its sign";
  EXPECT_EQ(context_->modeRegCache[0] & 0xFF, 21u);
  QUORVA_MC_HomeMoveAuto(board_, 0, -1, 50.0, 2.0);
  EXPECT_EQ(context_->modeRegCache[0] & 0xFF, 29u);
}

TEST_F(Homing, AutomaticSearchBacksOffTheLimitWithTheStartInputOff) {
  QUORVA_MC_SetHomeConfig(board_, 0, 7, 0, 0, 0, 0);
  QUORVA_MC_SetMioCfgSTA(board_, 0, 1, 1);
  QUORVA_SIM_SetEndLimitPosition(0, 0, 1, 0);  // the axis stands on EL+
  const std::string env1 = "610(0, 28, " + std::to_string(Reg(0, 28)) + ")";
  test::ClearLog();
  QUORVA_MC_HomeMoveAuto(board_, 0, 1, 100.0, 0.5);

  const Lines log = test::RawLog();
  const Lines before = {"620(0, 0, 5)",    "630(0, 28, *)", "630(0, 30, *)",      // stop, mode
                        "630(0, 49, *)",   "640(0, 1, *)",  "630(0, 28, *)",      // limit status
                        "630(0, 28, *)",                                          // STA read
                        "610(0, 7, mode)", "630(0, 28, *)", env1};                // STA off
  const Lines after = Concat({{"610(0, 7, mode)", "630(0, 28, *)", env1,          // STA back
                               "630(0, 49, *)", "640(0, 1, *)", "630(0, 28, *)",  // limit clear
                               "630(0, 30, *)", "610(0, 30, 15728647)", "610(0, 16, 0)"},
                              ProfileRequests(0),
                              {"610(0, 27, 10)", "610(0, 7, mode)", "620(0, 0, 81)"}});
  ASSERT_GT(log.size(), before.size() + after.size());
  const Lines masked = WithoutModeValues(log);
  EXPECT_EQ(Lines(masked.begin(), masked.begin() + before.size()), before);
  EXPECT_EQ(Lines(masked.end() - after.size(), masked.end()), after);
  const Lines move(log.begin() + before.size(), log.end() - after.size());
  EXPECT_EQ(move[2], "610(0, 0, -1)") << "one pass of -|offset|, rounded to a pulse";

  const std::vector<unsigned> modes = ModeWrites(log);
  EXPECT_EQ(modes.front() & kStartInputMode, 0u) << "start input off for the back-off";
  EXPECT_EQ(modes[modes.size() - 2] & kStartInputMode, kStartInputMode) << "and restored";
  EXPECT_EQ(modes.back() & 0xFF, 16u);
}

TEST_F(Homing, BackOffThatCannotClearTheLimitStartsNoSearch) {
  QUORVA_MC_SetHomeConfig(board_, 3, 12, 0, 0, 0, 0);
  struct Case {
    double offset;
    bool limitStays;
    int moves;
  };
  // An offset below half a pulse never moves; a limit input that never clears is left after
  // the last allowed pass.
  for (const Case& c :
       {Case{0.0, false, 0}, Case{0.4, false, 0}, Case{1.0, true, QUORVA_HOME_BACKOFF_PASSES}}) {
    QUORVA_SIM_SetAxisInput(0, 3, QUORVA_SIM_INPUT_EL_MINUS, 1);
    QUORVA_SIM_SetMainStatus(0, 3, 1, c.limitStays ? 1u << 13 : 0);
    test::ClearLog();
    QUORVA_MC_HomeMoveAuto(board_, 3, -1, 100.0, c.offset);
    EXPECT_EQ(QUORVA_LastError(), QUORVA_ERR_HOME_BACKOFF) << c.offset;
    int moves = 0;
    for (const std::string& line : test::RawLog()) {
      moves += line == "620(3, 0, 81)";
      EXPECT_NE(line.rfind("610(3, 16,", 0), 0u) << "nothing of the search is prepared";
    }
    EXPECT_EQ(moves, c.moves) << c.offset;
    QUORVA_SIM_SetAxisInput(0, 3, QUORVA_SIM_INPUT_EL_MINUS, 0);
  }
}

TEST_F(Homing, AllVariantPreparesEveryAxisBeforeStartingAny) {
  const std::string path = test::TempPath("home.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
  const unsigned axes[] = {5, 1};
  const unsigned directions[] = {1, 0xFFFFFFFF};
  const double speeds[] = {100, 200.5};
  const double offsets[] = {1, -2};
  QUORVA_MC_HomeMoveAutoAll(board_, 2, axes, directions, speeds, offsets);
  QUORVA_MC_HomeMoveAutoAll(board_, 0, nullptr, nullptr, nullptr, nullptr);
  const std::string log = test::ReadFile(path);
  EXPECT_NE(log.find(", 2, [5,1], [1,-1], [100.000,200.500], [1.000,-2.000])"), std::string::npos)
      << log;
  EXPECT_NE(log.find("QUORVA_MC_EmgStop("), std::string::npos) << "inner calls trace";
  EXPECT_NE(log.find(", 0, [], [], [], [])"), std::string::npos) << log;

  Lines commands;
  for (const std::string& line : test::RawLog()) {
    if (line.rfind("620(", 0) == 0) commands.push_back(line);
  }
  EXPECT_EQ(commands, (Lines{"620(5, 0, 5)", "620(1, 0, 5)", "620(5, 0, 81)", "620(1, 0, 81)"}));
  EXPECT_EQ(context_->modeRegCache[1] & 0xFF, 29u);
}

TEST_F(Homing, UnusableCallsSendNothing) {
  const unsigned twice[] = {1, 1};
  const unsigned outside[] = {1, 8};
  const unsigned nine[] = {0, 1, 2, 3, 4, 5, 6, 7, 0};
  const double values[9] = {};
  QUORVA_MC_HomeMoveAutoAll(board_, 2, twice, nine, values, values);
  QUORVA_MC_HomeMoveAutoAll(board_, 2, outside, nine, values, values);
  QUORVA_MC_HomeMoveAutoAll(board_, 9, nine, nine, values, values);
  QUORVA_MC_HomeMoveAutoAll(board_, -1, nine, nine, values, values);
  QUORVA_MC_HomeMoveAutoAll(board_, 2, nine, nullptr, values, values);
  QUORVA_MC_HomeMoveAutoAll(board_, 2, nine, nine, values, nullptr);
  QUORVA_MC_HomeMove(board_, 8, 1, 10);
  QUORVA_MC_HomeMoveAuto(board_, -1, 1, 10, 1);
  const QUORVA_HANDLE analog = Load(0xA101);
  QUORVA_MC_HomeMove(analog, 0, 1, 10);
  QUORVA_MC_HomeMoveAuto(analog, 0, 1, 10, 1);
  QUORVA_MC_HomeMoveAutoAll(analog, 1, nine, nine, values, values);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

// On the simulated controller: 1000 pulses per second search speed.
TEST_F(Homing, SearchStopsOnTheSwitchEdgeSeenFromItsSide) {
  QUORVA_SIM_SetHomePosition(0, 0, 1000, 200);
  QUORVA_SIM_SetHomeHysteresis(0, 0, 5);
  struct Case {
    int from;
    int direction;
    int stop;
  };
  for (const Case& c : {Case{0, 1, 1005}, Case{2000, -1, 1194}, Case{1100, 1, 1100}}) {
    QUORVA_MC_SetCount_C(board_, 0, c.from);
    QUORVA_MC_HomeMove(board_, 0, c.direction, 1000);
    WaitDone(0);
    EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), c.stop) << c.from;
    const int status = QUORVA_MC_GetMioStatus(board_, 0);
    EXPECT_EQ(status >> 4 & 1, 1) << "on the home switch";
    EXPECT_EQ(status >> 7 & 7, 0) << "no stop cause";
  }
  const double took = State(0).endTime - State(0).startTime;
  EXPECT_NEAR(took, 0.0, 1e-3) << "an axis on the switch stops where it is";
}

TEST_F(Homing, AutomaticSearchMovesOnByTheOffsetAndZeroesTheCounters) {
  QUORVA_MC_SetHomeConfig(board_, 2, 3, 0, 0, 0, 0);
  QUORVA_SIM_SetHomePosition(0, 2, -3000, 500);
  QUORVA_SIM_SetFollowingError(0, 2, 7);
  const double start = QUORVA_SIM_GetTime();
  QUORVA_MC_HomeMoveAuto(board_, 2, -1, 1000, 100);
  WaitDone(2);
  // 2501 pulses to the switch's last pulse, then 100 back, at 1000 pulses per second.
  EXPECT_NEAR(QUORVA_SIM_GetTime() - start, 2.601, 0.01);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 0);
  EXPECT_EQ(QUORVA_MC_GetCount_A(board_, 2), 0);
  EXPECT_EQ(QUORVA_MC_GetMioStatus(board_, 2) >> 4 & 1, 0) << "100 pulses above the switch";
  EXPECT_EQ(State(2).stopCauses, 0u);
}

TEST_F(Homing, SearchThatMeetsALimitStopsThereAndTheNextOneBacksOff) {
  QUORVA_MC_SetHomeConfig(board_, 1, 0, 0, 0, 0, 0);
  QUORVA_SIM_SetHomePosition(0, 1, -500, 100);  // behind the search
  QUORVA_SIM_SetEndLimitPosition(0, 1, 1, 800);
  QUORVA_MC_HomeMove(board_, 1, 1, 1000);
  WaitDone(1);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 800);
  EXPECT_EQ(State(1).stopCauses, static_cast<unsigned>(QUORVA_SIM_STOP_END_LIMIT));

  // Home mode 6 takes the limit as its origin: back off, then find the limit again.
  QUORVA_MC_SetHomeConfig(board_, 1, 6, 0, 0, 0, 0);
  QUORVA_MC_HomeMoveAuto(board_, 1, 1, 1000, 30);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 770) << "backed off before the search starts";
  WaitDone(1);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 800);
  EXPECT_EQ(State(1).stopCauses, 0u) << "the origin was found";
  unsigned signals = 0;
  QUORVA_SIM_GetMainStatus(0, 1, 1, &signals);
  EXPECT_EQ(signals & kLimitPlusSignal, kLimitPlusSignal);
}

TEST_F(Homing, AllVariantHomesAxesOnBothChips) {
  const unsigned axes[] = {1, 6, 2};
  const unsigned directions[] = {1, 1, 0};
  const double speeds[] = {1000, 2000, 500};
  const double offsets[] = {10, 0, -10};
  for (unsigned axis : axes) {
    QUORVA_MC_SetHomeConfig(board_, static_cast<int>(axis), 1, 0, 0, 0, 0);
    QUORVA_SIM_SetHomePosition(0, static_cast<int>(axis), axis == 2 ? -400 : 400, 50);
  }
  QUORVA_MC_HomeMoveAutoAll(board_, 3, axes, directions, speeds, offsets);
  for (unsigned axis : axes)
    WaitDone(static_cast<int>(axis));
  for (unsigned axis : axes) {
    const int a = static_cast<int>(axis);
    EXPECT_EQ(QUORVA_MC_GetCount_C(board_, a), 0) << axis;
    EXPECT_EQ(QUORVA_MC_GetMioStatus(board_, a) >> 4 & 1, 1) << axis << " on its switch";
    EXPECT_EQ(State(a).stopCauses, 0u) << axis;
  }
  // Started one after the other: request time apart, the slow axis ends last.
  EXPECT_LT(State(1).startTime, State(2).startTime);
  EXPECT_GT(State(2).endTime, State(6).endTime);
}

}  // namespace
}  // namespace quorva
