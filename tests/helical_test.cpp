// Helical steps and helices: the step measure, a step's registers, its speed ratio and the
// inputs it refuses; helices as a list of steps and as the worker thread's chain of arcs, on
// the request log and on the simulator, with abort and unload while the worker runs.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "device/list_entry.h"
#include "device/registry.h"
#include "library/library_lifecycle.h"
#include "motion/commands/arc_geometry.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

// The writes of registers 0, 7, 8 and 12 and the axis commands, as "610(axis, reg, value)" and
// "620(axis, 0, value)".
Lines StepRequests() {
  Lines kept;
  for (const std::string& line : test::RawLog()) {
    const bool command = line.rfind("620(", 0) == 0;
    bool wanted = false;
    for (const char* r : {", 0, ", ", 7, ", ", 8, ", ", 12, "})
      wanted = wanted || line.find(r) == line.find(',');
    if (command || (line.rfind("610(", 0) == 0 && wanted)) kept.push_back(line);
  }
  return kept;
}

TEST(ArcStepPosition, CountsEighthsAndTheWayWithinTheEighth) {
  struct Case {
    double angle;
    double x;
    double y;
    double steps;
  };
  const double r = 10;
  const Case cases[] = {
      {0, r, 0, 0},
      {90, 0, r, std::floor(2 * r / std::sqrt(2.0))},
      {45, 7.0710678, 7.0710678, 14},  // one eighth, then r√2 − |x|
      {180, -r, 0, 28},                // four eighths, |y|
      {-90, 0, -r, 42},                // as 270: six eighths, |x|
      {330, 8.660254, -5, 58},         // seven eighths, then r√2 − |y|
      {-720, r, 0, -56},               // below the domain the count runs backwards
      {NAN, r, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ArcStepPosition(c.angle, r, c.x, c.y), c.steps) << c.angle;
}

class HelicalStep : public test::MotionBoardTest {
 protected:
  void SetUp() override {
    MotionBoardTest::SetUp();
    QUORVA_MC_SetHelOnceSpeed(board_, 0, 0, 1000, 0, 0);
    test::ClearLog();
  }
  double Step(std::vector<int> axes, std::vector<double> values, double angle) {
    return QUORVA_MC_StartHelOnce(board_, static_cast<int>(axes.size()), axes.data(), values.data(),
                                  angle);
  }
};

TEST_F(HelicalStep, ThreeAxesMoveZByTheArcsStepCount) {
  // Centre (10, 0), a quarter turn counter-clockwise: step positions 28 (180°) to 42 (270°),
  // N = 14 + 4. A and B: end point, centre, mode 103 with bits 15 and 27 beside bit 12 of the
  // initial mode (0x8009067; bit 15 is cleared again by the speed setup); Z: mode 65 (0x1041)
  // and N pulses; no step count without a profile; the constant-speed start 0x751 of axes 0-2.
  EXPECT_EQ(Step({0, 1, 2}, {10, 0, 5}, 90), 18);
  EXPECT_EQ(
      StepRequests(),
      (Lines{"610(0, 0, 10)", "610(0, 8, 0)", "610(1, 0, -10)", "610(1, 8, 0)", "610(0, 8, 10)",
             "610(1, 8, 0)", "610(0, 7, 134254695)", "610(1, 7, 134254695)", "610(2, 7, 4161)",
             "610(2, 0, 18)", "610(0, 7, 134221927)", "610(1, 7, 134221927)", "610(2, 7, 4161)",
             "610(0, 12, 0)", "610(1, 12, 0)", "620(0, 0, 1873)"}));
}

TEST_F(HelicalStep, FourAxesShareTheSpeedByTheRatioMode) {
  struct Case {
    int ratioMode;
    double z;
    double ratio;
  };
  // N = 18 arc steps; the speed, 100 steps of 10 pps, scaled by the ratio on every axis.
  const Case cases[] = {
      {0, 5, 18 / std::sqrt(18.0 * 18 + 5 * 5)},
      {1, 5, 1},
      {1, 40, 40 / 18.0},
      {2, 5, 18 / 5.0},
      {2, -5, 18 / 5.0},
      {2, 40, 1},
      {2, 0, 1},  // no linear move: the arc keeps the set speed
  };
  for (const Case& c : cases) {
    QUORVA_MC_SetHelOnceSpeed(board_, c.ratioMode, 0, 1000, 0, 0);
    EXPECT_EQ(Step({0, 1, 2, 3}, {10, 0, c.z, -1}, 90), 18);
    for (int axis = 0; axis < 4; ++axis)
      EXPECT_NEAR(Reg(axis, 2), 100 * c.ratio, 1) << c.ratioMode << ", " << c.z << ", " << axis;
    EXPECT_EQ(static_cast<int>(Reg(2, 0)), static_cast<int>(c.z));
    EXPECT_EQ(static_cast<int>(Reg(3, 0)), -18) << "the auxiliary axis counts the steps";
    EXPECT_EQ(Reg(2, 7) & 0xFF, 97u);
    EXPECT_EQ(Reg(3, 7) & 0xFF, 97u);
    QUORVA_MC_EmgStop(board_, 0);
  }
}

TEST_F(HelicalStep, DirectionsProfilesAndStepCounts) {
  struct Case {
    double centerX;
    double angle;
    int speedMode;
    double steps;
    unsigned mode;
    unsigned start;
  };
  const Case cases[] = {
      {10, 90, 0, 18, 103, 0x751},
      {10, -90, 0, 18, 102, 0x751},   // 28 down to 14: the difference's size
      {-10, -90, 0, 18, 102, 0x751},  // 0 to 42 (as 270°): the rest of the turn, 56 − 42
      {10, 90, 1, 18, 103, 0x753},    // a profile: the step count in register 12
      {10, 360, 0, 60, 103, 0x751},   // a full turn: 28 to 84, eight eighths later
  };
  for (const Case& c : cases) {
    QUORVA_MC_SetHelOnceSpeed(board_, 0, c.speedMode, 1000, 5000, 5000);
    test::ClearLog();
    EXPECT_EQ(Step({0, 1, 2}, {c.centerX, 0, -5}, c.angle), c.steps) << c.angle;
    EXPECT_EQ(Reg(0, 7) & 0xFF, c.mode) << c.angle;
    EXPECT_EQ(static_cast<int>(Reg(2, 0)), -c.steps) << "Z against the sign of its value";
    EXPECT_EQ(Reg(0, 12), c.speedMode != 0 ? c.steps : 0) << c.angle;
    EXPECT_EQ(Reg(1, 12), c.speedMode != 0 ? c.steps : 0) << c.angle;
    EXPECT_EQ(StepRequests().back(), "620(0, 0, " + std::to_string(c.start) + ")") << c.angle;
    QUORVA_MC_EmgStop(board_, 0);
  }
  test::ClearLog();
  EXPECT_EQ(Step({0, 1, 2}, {10, 0, 5}, 0), 0) << "an arc of no steps";
  EXPECT_EQ(StepRequests().back().rfind("620(", 0), std::string::npos) << "nothing started";
}

TEST_F(HelicalStep, RefusedStepsSendNothing) {
  const int axes[] = {0, 1, 2};
  const double values[] = {10, 0, 5};
  struct Case {
    const char* what;
    int count;
    const int* axes;
    const double* values;
    double angle;
  };
  const int twice[] = {0, 0, 2};
  const int bothChips[] = {0, 1, 4};
  const int absent[] = {0, 1, 8};
  const double notANumber[] = {10, NAN, 5};
  const Case cases[] = {
      {"two axes", 2, axes, values, 90},
      {"five axes", 5, axes, values, 90},
      {"null axes", 3, nullptr, values, 90},
      {"null values", 3, axes, nullptr, 90},
      {"an axis twice", 3, twice, values, 90},
      {"both chips", 3, bothChips, values, 90},
      {"an absent axis", 3, absent, values, 90},
      {"a value not a number", 3, axes, notANumber, 90},
      {"an infinite angle", 3, axes, values, INFINITY},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QUORVA_MC_StartHelOnce(board_, c.count, c.axes, c.values, c.angle), 0) << c.what;
    EXPECT_EQ(QUORVA_MC_HelOnce(board_, c.count, c.axes, c.values, c.angle), 0) << c.what;
    EXPECT_EQ(test::RawLog(), Lines{}) << c.what;
  }
  EXPECT_EQ(QUORVA_MC_StartHelOnce(Load(0xA101), 3, axes, values, 90), 0) << "no motion board";
  QUORVA_MC_StartVMove(board_, 1, 1);
  context_->abortRequested = 1;
  test::ClearLog();
  EXPECT_EQ(Step({0, 1, 2}, {10, 0, 5}, 90), 0) << "an abort while B runs";
  EXPECT_EQ(StepRequests(), Lines{});
}

TEST_F(HelicalStep, RecordedStepIsOneListEntryAndTheBlockingFormWaits) {
  QUORVA_MC_BeginList(board_);
  const int axes[] = {4, 5, 6};
  const double values[] = {10, 0, 5};
  EXPECT_EQ(QUORVA_MC_HelOnce(board_, 3, axes, values, 90), 18) << "recorded: no wait";
  QUORVA_MC_EndList(board_);
  EXPECT_EQ(StepRequests().back().rfind("620(", 0), std::string::npos);
  QUORVA_MC_StartListMotion(board_);
  ASSERT_EQ(QUORVA_SIM_ListEntryCount(0), 1);
  ListEntry entry{};
  QUORVA_SIM_GetListEntry(0, 0, &entry);
  EXPECT_EQ(entry.kind, kListStartMaster);
  EXPECT_EQ(entry.mask, 0x70u);
  EXPECT_EQ(entry.master, 4u);
  EXPECT_EQ(entry.command, 0x751u) << "axes 4-6 as the chip's first three";
  QUORVA_SIM_AdvanceTime(1);

  const std::string trace = test::TempPath("step.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, trace.c_str(), 1), 0);
  EXPECT_EQ(QUORVA_MC_HelOnce(board_, 3, axes, values, 90), 18);
  EXPECT_EQ(QUORVA_MC_Done(board_, 4), 1) << "returns once A is done";
  const std::string lines = test::ReadFile(trace);
  EXPECT_NE(lines.find("QUORVA_MC_HelOnce(0x"), std::string::npos);
  EXPECT_NE(lines.find(", 3, [4,5,6], [10.000,0.000,5.000], 90.000)"), std::string::npos);
  EXPECT_EQ(lines.find("StartHelOnce"), std::string::npos) << lines;
}

}  // namespace
}  // namespace quorva
