// Lines on the request log: the one-chip and cross-chip executions, the path speed of the
// master axis, gantry correction, recording, and what bad input does.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "mapping_file_fixture.h"
#include "motion/core/list_chain.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

Lines Starts() {
  Lines starts;
  for (const std::string& line : test::RawLog()) {
    if (line.rfind("620(", 0) == 0) starts.push_back(line);
  }
  return starts;
}

class LineInterpolation : public test::MotionBoardTest {
 protected:
  // Map `map` on `mask`, trapezoidal at `speed` pps with both rates `rate`.
  void UseMap(int map, int mask, double speed = 1000, double rate = 10000, int mode = 1) {
    QUORVA_MC_MapAxes(board_, map, mask);
    QUORVA_MC_SetSpeedModeMx(board_, map, mode);
    QUORVA_MC_SetSpeedMx(board_, map, speed, rate);
    test::ClearLog();
  }
};

TEST_F(LineInterpolation, OneChipLineLoadsThePathSpeedOnTheMasterAndStartsTheLowestAxis) {
  UseMap(0, 0x3);
  const double distances[] = {3000, 4000};
  QUORVA_MC_StartLine(board_, 0, distances);
  // Path speed 1000 pps on (3000, 4000): the master, axis 1, runs at 800 pps (80 steps), its
  // registers are copied to axis 0, and one command 0x353 goes to axis 0.
  EXPECT_EQ(test::RawLog(),
            (Lines{"630(0, 49, *)",   "630(1, 49, *)",   "630(0, 35, *)",   "610(0, 0, 3000)",
                   "610(0, 8, 0)",    "610(0, 7, 4193)", "630(1, 35, *)",   "610(1, 0, 4000)",
                   "610(1, 8, 0)",    "610(1, 7, 4193)", "610(1, 5, 29)",   "610(1, 27, 10)",
                   "610(1, 7, 4193)", "610(1, 1, 10)",   "610(1, 2, 80)",   "610(1, 7, 4193)",
                   "610(1, 5, 29)",   "610(1, 1, 10)",   "610(1, 2, 80)",   "610(1, 3, 6143)",
                   "610(1, 4, 6143)", "610(1, 6, 0)",    "610(1, 7, 4193)", "630(1, 2, *)",
                   "610(0, 2, 80)",   "630(1, 1, *)",    "610(0, 1, 10)",   "630(1, 5, *)",
                   "610(0, 5, 29)",   "630(1, 6, *)",    "610(0, 6, 0)",    "630(1, 3, *)",
                   "610(0, 3, 6143)", "630(1, 4, *)",    "610(0, 4, 6143)", "630(1, 9, *)",
                   "610(0, 9, 0)",    "630(1, 10, *)",   "610(0, 10, 0)",   "610(0, 7, 4193)",
                   "610(1, 7, 4193)", "620(0, 0, 851)"}));
}

TEST_F(LineInterpolation, AbsoluteLineOnTheSecondChipRoundsFromTheCounter) {
  UseMap(1, 0x30, 0, 0, 0);
  QUORVA_SIM_SetAxisRegister(0, 4, 35, 0x0FFFFFF6);  // -10
  const double targets[] = {-2000.4, 500};
  QUORVA_MC_StartLineTo(board_, 1, targets);
  // The master is the lowest axis (nothing copied); no speed profile: start code 0x51 with the
  // group field shifted down, to axis 4.
  EXPECT_EQ(test::RawLog(),
            (Lines{"630(4, 49, *)", "630(5, 49, *)",   "630(4, 35, *)",   "610(4, 0, -1990)",
                   "610(4, 8, 0)",  "610(4, 7, 4193)", "630(5, 35, *)",   "610(5, 0, 500)",
                   "610(5, 8, 0)",  "610(5, 7, 4193)", "610(4, 5, 29)",   "610(4, 27, 10)",
                   "610(4, 1, 10)", "610(4, 2, 1)",    "610(4, 7, 4193)", "610(4, 5, 29)",
                   "610(4, 1, 1)",  "610(4, 2, 1)",    "610(4, 7, 4193)", "610(5, 7, 4193)",
                   "620(4, 0, 849)"}));
  EXPECT_EQ(context_->moveStartPos[4], -10);
  EXPECT_EQ(context_->moveTargetPos[4], -2000);
}

TEST_F(LineInterpolation, StartCommandsByChipsSpeedModeAndAcceleration) {
  struct Case {
    unsigned mask;
    int mode;
    double rate;
    Lines starts;
  };
  const Case cases[] = {
      {0x3, 0, 500, {"620(0, 0, 849)"}},
      {0x3, 1, 0, {"620(0, 0, 850)"}},
      {0x6, 2, 500, {"620(1, 0, 1619)"}},
      {0x22, 1, 500, {"620(1, 0, 83)", "620(5, 0, 83)"}},      // both chips: each its own start
      {0x80000003, 0, 0, {"620(0, 0, 81)", "620(1, 0, 81)"}},  // bit 31: separate moves
  };
  for (const Case& c : cases) {
    QUORVA_MC_EmgStop(board_, 0);
    QUORVA_MC_EmgStop(board_, 1);
    QUORVA_MC_EmgStop(board_, 2);
    QUORVA_MC_EmgStop(board_, 5);
    UseMap(2, static_cast<int>(c.mask), 1000, c.rate, c.mode);
    const double distances[] = {300, 400};
    QUORVA_MC_StartLine(board_, 2, distances);
    EXPECT_EQ(Starts(), c.starts) << std::hex << c.mask;
  }
}

TEST_F(LineInterpolation, EqualDistancesMakeTheLowerAxisMaster) {
  UseMap(2, 0x6);
  const double distances[] = {-500, 500};
  QUORVA_MC_StartLine(board_, 2, distances);
  int masterSpeeds = 0;
  for (const std::string& line : test::RawLog()) {
    masterSpeeds += line.rfind("610(1, 2, ", 0) == 0;
    EXPECT_NE(line.rfind("610(2, 2, ", 0), 0u) << "axis 2 is not the master";
  }
  EXPECT_GT(masterSpeeds, 0);
}

TEST_F(LineInterpolation, CrossChipLineGivesTheFollowerSpeedsInProportion) {
  UseMap(2, 0x22, 10000, 100000);
  QUORVA_MC_SetSpeedMx2(board_, 2, 10000, 100000, 50000);
  const double distances[] = {30000, 40000};
  QUORVA_MC_StartLine(board_, 2, distances);
  // Master axis 5 gets the path speed as a fine positioning profile (8000 pps at M = 239, the
  // deceleration twice as long as the acceleration); follower axis 1 runs 6000 pps at a finer
  // M = 479 with rates and a ramp-down point that make its ramps last as long as the master's.
  EXPECT_EQ(
      test::RawLog(),
      (Lines{
          "630(1, 49, *)",     "630(5, 49, *)",        "630(1, 35, *)",       "610(1, 0, 30000)",
          "610(1, 8, 0)",      "610(1, 7, 4161)",      "630(5, 35, *)",       "610(5, 0, 40000)",
          "610(5, 8, 0)",      "610(5, 7, 4161)",      "610(5, 5, 29)",       "610(5, 27, 10)",
          "610(5, 7, 4161)",   "610(5, 1, 10)",        "610(5, 2, 800)",      "610(5, 7, 4161)",
          "610(5, 5, 29)",     "610(5, 5, 59)",        "610(5, 5, 119)",      "610(5, 5, 239)",
          "610(5, 1, 1)",      "610(5, 2, 6400)",      "610(5, 3, 75)",       "610(5, 4, 152)",
          "610(5, 6, 794)",    "610(5, 7, 12353)",     "630(5, 5, *)",        "630(5, 2, *)",
          "630(5, 1, *)",      "630(5, 3, *)",         "630(5, 4, *)",        "630(5, 6, *)",
          "610(1, 6, 595)",    "610(1, 7, 50344001)",  "610(1, 5, 479)",      "610(1, 1, 2)",
          "610(1, 2, 9600)",   "610(1, 3, 50)",        "610(1, 4, 101)",      "630(1, 28, *)",
          "610(1, 28, 25600)", "610(1, 8, 134217762)", "610(5, 7, 50344001)", "630(5, 28, *)",
          "610(5, 28, 25600)", "610(5, 8, 134217762)", "680(1, *, *)",        "680(5, *, *)",
          "620(1, 0, 83)",     "620(5, 0, 83)",        "630(1, 50, *)",       "680(1, *, *)",
          "630(5, 50, *)",     "680(5, *, *)",         "610(1, 7, 4161)",     "610(5, 7, 12353)"}));
  EXPECT_EQ(context_->workSpeed[5], 1000) << "the master's own settings are back";
  EXPECT_EQ(context_->speedMode[5], 0);
}

TEST_F(LineInterpolation, ACrossChipFollowerTooSlowForRampsRunsTheWholeTimeAtOneSpeed) {
  UseMap(2, 0x22, 10000, 100000);
  const double distances[] = {10, 40000};
  QUORVA_MC_StartLine(board_, 2, distances);
  // 10 pulses in the master's 4.1 s: at the finest magnification (0.0732 pps per step) the
  // speed is 33 steps, only 16 above the start speed: no ramps (rates 1, ramp-down point 0,
  // manual ramp-down bit 13 set), 10 pulses over the whole time.
  const Lines logged = test::RawLog();
  const Lines follower(logged.begin() + 32, logged.begin() + 39);
  EXPECT_EQ(follower, (Lines{"610(1, 6, 0)", "610(1, 7, 50344001)", "610(1, 5, 4095)",
                             "610(1, 1, 17)", "610(1, 2, 33)", "610(1, 3, 1)", "610(1, 4, 1)"}));
}

TEST_F(LineInterpolation, ACrossChipLineShorterThanAPulseStartsNothing) {
  UseMap(2, 0x22);
  const double distances[] = {0.4, -0.2};
  QUORVA_MC_StartLine(board_, 2, distances);
  EXPECT_EQ(test::RawLog(),
            (Lines{"630(1, 49, *)", "630(5, 49, *)", "630(1, 35, *)", "610(1, 0, 0)",
                   "610(1, 8, 0)", "610(1, 7, 4161)", "630(5, 35, *)", "610(5, 0, 0)",
                   "610(5, 8, 0)", "610(5, 7, 4161)"}));
}

TEST_F(LineInterpolation, RecordedLinesChainAndAddOneEntryWithoutWaiting) {
  UseMap(2, 0x6);
  UseMap(3, 0x41);
  QUORVA_MC_BeginList(board_);
  const double first[] = {100, 200};
  const double targets[] = {150, 250};
  QUORVA_MC_Line(board_, 2, first);
  QUORVA_MC_LineTo(board_, 2, targets);
  QUORVA_MC_Line(board_, 3, first);  // both chips: a start code to each axis
  EXPECT_EQ(Starts(), Lines{});
  for (const std::string& line : test::RawLog())
    EXPECT_NE(line.rfind("640(", 0), 0u) << "recorded lines are not waited for";
  EXPECT_EQ(context_->moveTargetPos[1], 150);
  EXPECT_EQ(context_->moveStartPos[1], 100) << "the second line starts at the first's target";
  const ListChain& chain = context_->listItems;
  ASSERT_EQ(chain.Size(), 3u);
  EXPECT_EQ(chain.At(1).axisSlots[0][0], 50u) << "register 0: 150 from the recorded 100";
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(chain.At(i).kind, kListStartMaster);
    EXPECT_EQ(chain.At(i).mask, 0x6u);
    EXPECT_EQ(chain.At(i).master, 1u);
    EXPECT_EQ(chain.At(i).command, 0x653u);
  }
  EXPECT_EQ(chain.At(2).kind, kListStartEach);
  EXPECT_EQ(chain.At(2).mask, 0x41u);
  EXPECT_EQ(chain.At(2).master, 6u) << "the axis with the longer distance";
  EXPECT_EQ(chain.At(2).command, 0x53u);
}

TEST_F(LineInterpolation, BadInputStopsAfterTheTraceLine) {
  const std::string path = test::TempPath("line.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
  UseMap(10, 0x3);
  const double distances[] = {1, 2};
  QUORVA_MC_StartLine(board_, 12, distances);  // map 12 is map 10
  EXPECT_EQ(Starts(), Lines{"620(0, 0, 851)"});
  QUORVA_MC_EmgStop(board_, 0);
  test::ClearLog();
  QUORVA_MC_Line(board_, -3, nullptr);
  QUORVA_MC_MapAxes(board_, 4, 0);
  QUORVA_MC_LineTo(board_, 4, distances);
  EXPECT_EQ(test::RawLog(), Lines{}) << "a null array or a map without axes does nothing";
  const std::string trace = test::ReadFile(path);
  EXPECT_NE(trace.find(", 12, [1.000,2.000])"), std::string::npos) << trace;
  EXPECT_NE(trace.find("QUORVA_MC_Line(0x"), std::string::npos);
  EXPECT_NE(trace.find(", -3, [])"), std::string::npos) << trace;
  EXPECT_NE(trace.find(", 4, [])"), std::string::npos) << trace;

  // Numbers that are not finite reach the registers limited, never undefined.
  UseMap(2, 0x22, std::numeric_limits<double>::infinity(), 1e300);
  const double wild[] = {std::numeric_limits<double>::infinity(), std::nan("")};
  QUORVA_MC_StartLine(board_, 2, wild);
  EXPECT_EQ(Reg(1, 0), 134217727u);
  EXPECT_EQ(Reg(5, 0), 0u);
}

class GantryLine : public test::MappingFileTest {};

TEST_F(GantryLine, AMapWithOneGantryAxisGainsTheOtherAndMovesFromANegativeCount) {
  const QUORVA_HANDLE board = Load(0xA508);
  // A 3 × 3 grid over 0-200 pulses correcting X by +5 and Y by -3 everywhere.
  SetGrid(board, 0, 1, 0, 0, 100, 100, 3, 3, std::vector<double>(9, 5), std::vector<double>(9, -3));
  ASSERT_EQ(QUORVA_MC_2DMATRIX_SetEnable(board, 1), 1);
  QUORVA_MC_MapAxes(board, 2, 0x5);                  // X and axis 2
  QUORVA_SIM_SetAxisRegister(0, 0, 35, 0x0FFFFFF6);  // X at -10 pulses
  test::ClearLog();
  const double distances[] = {50, 7};
  QUORVA_MC_StartLine(board, 2, distances);
  // X reads -15 through the table; the target 35 is corrected to 40, 50 pulses from -10.
  // Y, added with distance 0, is corrected from 3 to 0, where it is.
  EXPECT_EQ(test::RawLog(),
            (Lines{"630(0, 35, *)",   "630(1, 35, *)",   "630(0, 35, *)",   "630(1, 35, *)",
                   "630(0, 35, *)",   "630(1, 35, *)",   "630(0, 49, *)",   "630(1, 49, *)",
                   "630(2, 49, *)",   "630(0, 35, *)",   "610(0, 0, 50)",   "610(0, 8, 0)",
                   "610(0, 7, 4193)", "630(1, 35, *)",   "610(1, 0, 0)",    "610(1, 8, 0)",
                   "610(1, 7, 4193)", "630(2, 35, *)",   "610(2, 0, 7)",    "610(2, 8, 0)",
                   "610(2, 7, 4193)", "610(0, 5, 29)",   "610(0, 27, 10)",  "610(0, 1, 10)",
                   "610(0, 2, 1)",    "610(0, 7, 4193)", "610(0, 5, 29)",   "610(0, 1, 1)",
                   "610(0, 2, 1)",    "610(0, 7, 4193)", "610(1, 7, 4193)", "610(2, 7, 4193)",
                   "620(0, 0, 1873)"}));
  EXPECT_EQ(ContextOf(board)->mapAxisMask[2], 0x7u) << "the map keeps the second gantry axis";
}

}  // namespace
}  // namespace quorva
