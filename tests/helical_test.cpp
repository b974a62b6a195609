// Helical steps and helices: the step measure, a step's registers, its speed ratio and the
// inputs it refuses; helices as a list of steps and as the worker thread's chain of arcs, on
// the request log and on the simulator, with abort and unload while the worker runs.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "device/list_entry.h"
#include "device/registry.h"
#include "library/library_lifecycle.h"
#include "motion/commands/arc_geometry.h"
#include "sim_motion_test.h"
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

class Helix : public test::MotionBoardTest {
 protected:
  void SetUp() override {
    MotionBoardTest::SetUp();
    QUORVA_MC_SetSpeedMx(board_, 0, 20000, 0);  // the worker's arcs, axes 0 and 1
    test::ClearLog();
  }
  static HelicalParams Params(int arcs, double lastAngle, double distance) {
    return {0, 2, 1000, 0, 1, arcs, lastAngle, distance};
  }
  // The function names and arguments of a level-1 trace of `run`.
  template <typename Run>
  Lines Traced(Run run) {
    const std::string path = test::TempPath("helix.dbg");
    EXPECT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
    run();
    QUORVA_EnableDebugLog(board_, path.c_str(), 0);
    Lines lines;
    std::string text = test::ReadFile(path);
    std::erase(text, '\r');  // Windows ends the lines with CR LF
    for (std::size_t at = 0; (at = text.find("  QUORVA_", at)) != std::string::npos;) {
      const std::size_t end = text.find('\n', at);
      std::string line = text.substr(at + 2, end - at - 2);
      line.erase(line.find("(0x"), line.find(',') == std::string::npos
                                       ? line.find(')') - line.find("(0x")
                                       : line.find(',') - line.find("(0x"));
      lines.push_back(line);
      at = end;
    }
    return lines;
  }
};

TEST_F(Helix, ListPlanSharesTheDistanceInProportionToTheAngles) {
  struct Case {
    int arcs;
    double last;
    Lines steps;
  };
  // Newer controller: full turns recorded, the linear axis keeping one pitch, and the last arc.
  // 3 turns ending on 180°: h = 10 / 2.5; ending on 90°: h = 10 / 2.25, the last a quarter.
  // The profile of the linear axis: its acceleration for the first turns, its deceleration for
  // the last.
  QUORVA_MC_SetSpeedMode(board_, 2, 1);
  QUORVA_MC_SetAccel(board_, 2, 5000, 7000);
  const Case cases[] = {
      {3,
       180,
       {"QUORVA_MC_SetHelOnceSpeed, 2, 1, 1000.000, 5000.000, 0.000)", "QUORVA_MC_BeginList)",
        "QUORVA_MC_StartHelOnce, 4, [0,1,2,3], [1000.000,0.000,4.000,1.000], 360.000)",
        "QUORVA_MC_StartHelOnce, 4, [0,1,2,3], [1000.000,0.000,4.000,1.000], 360.000)",
        "QUORVA_MC_SetHelOnceSpeed, 2, 1, 1000.000, 0.000, 7000.000)",
        "QUORVA_MC_StartHelOnce, 4, [0,1,2,3], [1000.000,0.000,2.000,1.000], 180.000)",
        "QUORVA_MC_EndList)", "QUORVA_MC_StartListMotion)"}},
      {3,
       -90,
       {"QUORVA_MC_SetHelOnceSpeed, 2, 1, 1000.000, 5000.000, 0.000)", "QUORVA_MC_BeginList)",
        "QUORVA_MC_StartHelOnce, 4, [0,1,2,3], [1000.000,0.000,4.444,1.000], 360.000)",
        "QUORVA_MC_StartHelOnce, 4, [0,1,2,3], [1000.000,0.000,4.444,1.000], 360.000)",
        "QUORVA_MC_SetHelOnceSpeed, 2, 1, 1000.000, 0.000, 7000.000)",
        "QUORVA_MC_StartHelOnce, 4, [0,1,2,3], [1000.000,0.000,1.111,1.000], -90.000)",
        "QUORVA_MC_EndList)", "QUORVA_MC_StartListMotion)"}},
      {1,
       45,
       {"QUORVA_MC_SetHelOnceSpeed, 2, 1, 1000.000, 5000.000, 7000.000)",
        "QUORVA_MC_StartHelOnce, 4, [0,1,2,3], [1000.000,0.000,10.000,1.000], 45.000)",
        "QUORVA_MC_EndList)", "QUORVA_MC_StartListMotion)"}},
  };
  for (const Case& c : cases) {
    HelicalParams params = Params(c.arcs, c.last, 10);
    Lines steps = Traced([&] { EXPECT_EQ(QUORVA_MC_StartHelical(board_, &params), 1); });
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), "QUORVA_MC_StartHelical, [0, 2, 1000.0, 0.0, 1, " +
                                 std::to_string(c.arcs) + ", " + std::to_string(int(c.last)) +
                                 ".0, 10.0])");
    steps.erase(steps.begin());
    EXPECT_EQ(steps, c.steps) << c.arcs << ", " << c.last;
    QUORVA_MC_AbortHelical(board_);
  }
}

TEST_F(Helix, RefusedHelicesStartNothing) {
  struct Case {
    const char* what;
    HelicalParams params;
  };
  const Case cases[] = {
      {"map 12, limited to 9, has no axes", {12, 2, 10, 0, 1, 2, 90, 10}},
      {"linear axis is an arc axis", {0, 1, 10, 0, 1, 2, 90, 10}},
      {"linear axis on the other chip", {0, 4, 10, 0, 1, 2, 90, 10}},
      {"linear axis is the counting axis", {0, 3, 10, 0, 1, 2, 90, 10}},
      {"absent linear axis", {0, 9, 10, 0, 1, 2, 90, 10}},
      {"centre not a number", {0, 2, NAN, 0, 1, 2, 90, 10}},
      {"infinite distance", {0, 2, 10, 0, 1, 2, 90, INFINITY}},
  };
  for (Case c : cases) {
    EXPECT_EQ(QUORVA_MC_StartHelical(board_, &c.params), 0) << c.what;
    EXPECT_EQ(StepRequests(), Lines{}) << c.what;
    EXPECT_EQ(QUORVA_SIM_ListEntryCount(0), 0) << c.what;
  }
  HelicalParams map12 = cases[0].params;
  QUORVA_MC_StartHelical(board_, &map12);
  EXPECT_EQ(map12.map, 9) << "written back";
  EXPECT_EQ(QUORVA_MC_StartHelical(board_, nullptr), 0);
  HelicalParams none = Params(0, 90, 10);
  EXPECT_EQ(QUORVA_MC_StartHelical(board_, &none), 1) << "no arcs: nothing to do";
  EXPECT_EQ(QUORVA_MC_StartHelical(Load(0xA101), &none), 0) << "no motion board";
  EXPECT_EQ(StepRequests(), Lines{});
}

// The list plan on the simulator: three turns, the linear axis at one pitch all along, A and B
// back where they started, the counting axis three turns' steps further.
TEST_F(Helix, ListPlanRunsOnTheSimulator) {
  QUORVA_MC_SetSpeed(board_, 2, 100, 2000);
  HelicalParams params = Params(3, 360, 3000);
  QUORVA_SIM_RecordPath(0, 0x7, 0.001);
  ASSERT_EQ(QUORVA_MC_StartHelical(board_, &params), 1);
  QUORVA_SIM_AdvanceTime(10);
  ASSERT_EQ(QUORVA_MC_CheckListMotionDone(board_), 1);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 3000);
  EXPECT_NEAR(QUORVA_MC_GetCount_C(board_, 0), 0, 1);
  EXPECT_NEAR(QUORVA_MC_GetCount_C(board_, 1), 0, 1);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 3), 3 * 5661) << "8 eighths of r / √2 and 4, 3 times";

  const int count = QUORVA_SIM_PathSampleCount(0);
  std::vector<int> c(static_cast<std::size_t>(3 * count));
  QUORVA_SIM_GetPathSamples(0, 0, count, nullptr, c.data());
  ASSERT_GT(count, 500);
  double offCircle = 0;
  double offPitch = 0;
  double turned = 0;  // degrees, counter-clockwise from the start
  double previous = 180;
  for (int i = 0; i < count; ++i) {
    const double x = c[3 * i] - 1000.0;
    const double y = c[3 * i + 1];
    offCircle = std::max(offCircle, std::fabs(std::hypot(x, y) - 1000));
    const double angle = std::atan2(y, x) * 180 / std::numbers::pi;
    turned += std::remainder(angle - previous, 360.0);
    previous = angle;
    offPitch = std::max(offPitch, std::fabs(c[3 * i + 2] - turned / 360 * 1000));
  }
  EXPECT_LE(offCircle, 1.0);
  EXPECT_NEAR(turned, 1080, 0.1);
  EXPECT_LE(offPitch, 2.0);
}

// An older controller: the helix runs on the worker thread.
class ThreadedHelix : public Helix {
 protected:
  void SetUp() override {
    Helix::SetUp();
    QUORVA_SIM_SetControllerVersion(0, 0);
    QUORVA_MC_SetSpeed(board_, 2, 100, 3500);
    test::ClearLog();
  }
  // Waits, sending no request, until the worker has ended its helix.
  void AwaitWorker() {
    while (context_->helicalRunning != 0)
      std::this_thread::yield();
  }
  // Waits, sending no request, until the worker's requests have moved the clock past `seconds`.
  static void AwaitTime(double seconds) {
    while (QUORVA_SIM_GetTime() < seconds)
      std::this_thread::yield();
  }
  static Lines Commands() {
    Lines commands;
    for (const std::string& line : test::RawLog()) {
      if (line.rfind("620(", 0) == 0) commands.push_back(line);
    }
    return commands;
  }
  static bool Stopped(QUORVA_HANDLE board) {
    const int axes[] = {0, 1, 2};
    return QUORVA_MC_AllDone(board, 3, axes) == 1;
  }
};

TEST_F(ThreadedHelix, OneArcAndTheLinearMoveStartTogetherOnCommand42) {
  HelicalParams params = Params(1, -270, 3000);
  ASSERT_EQ(QUORVA_MC_StartHelical(board_, &params), 1);
  AwaitWorker();
  // Z's move, the arc of A and B (axes 0 and 1, 3 × 256 + 81), both held for the start signal
  // and released by 42 with the group field of A, B and Z; the arc ends first here (4712 pulses
  // at 20000 pps against 3000 of Z at 3500): Z stopped, A and B completed with 85.
  EXPECT_EQ(Commands(), (Lines{"620(2, 0, 81)", "620(0, 0, 849)", "620(0, 0, 1834)",
                               "620(2, 0, 74)", "620(0, 0, 85)", "620(1, 0, 85)"}));
}

TEST_F(ThreadedHelix, ThreeTurnsEndWithTheLinearAxisAtItsDistanceAndTheArcsOnTheCircle) {
  const unsigned modes[] = {Reg(0, 7), Reg(1, 7), Reg(2, 7)};
  const unsigned environments[] = {Reg(0, 28), Reg(1, 28), Reg(2, 28)};
  HelicalParams params = Params(3, 360, 3000);
  QUORVA_SIM_RecordPath(0, 0x7, 0.001);
  ASSERT_EQ(QUORVA_MC_StartHelical(board_, &params), 1);
  AwaitWorker();
  while (!Stopped(board_)) {
  }
  // 3000 pulses at 3500 pps end before three turns of 6283 at 20000: Z arrives, the arcs stop.
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 3000);
  const int count = QUORVA_SIM_PathSampleCount(0);
  std::vector<int> c(static_cast<std::size_t>(3 * count));
  QUORVA_SIM_GetPathSamples(0, 0, count, nullptr, c.data());
  ASSERT_GT(count, 800);
  double offCircle = 0;
  for (int i = 0; i < count; ++i)
    offCircle = std::max(offCircle, std::fabs(std::hypot(c[3 * i] - 1000.0, c[3 * i + 1]) - 1000));
  EXPECT_LE(offCircle, 1.5);
  EXPECT_GT(std::hypot(c[3 * count - 3], c[3 * count - 2]), 100) << "stopped within a turn";
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_EQ(Reg(axis, 7), modes[axis]) << axis;
    EXPECT_EQ(Reg(axis, 28), environments[axis]) << axis;
  }
}

TEST_F(ThreadedHelix, AbortMidHelixStopsAllThreeAxes) {
  // On the host's clock: the abort comes at a known point of the helix, however far the
  // worker's waits would let the virtual clock jump.
  QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, 1.0);
  HelicalParams params = Params(3, 360, 3000);
  ASSERT_EQ(QUORVA_MC_StartHelical(board_, &params), 1);
  EXPECT_EQ(QUORVA_MC_StartHelical(board_, &params), 0) << "one helix at a time";
  AwaitTime(0.4);
  EXPECT_EQ(QUORVA_MC_AbortHelical(board_), 1);
  EXPECT_EQ(context_->helicalRunning, 0);
  EXPECT_EQ(context_->abortRequested, 0);
  EXPECT_EQ(context_->stopRequested, 0);
  while (!Stopped(board_)) {
  }
  EXPECT_LT(QUORVA_MC_GetCount_C(board_, 2), 2500);
  const Lines commands = Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "620(0, 0, 1866)"), 1)
      << "the decelerating stop of axes 0-2";
  EXPECT_EQ(QUORVA_MC_StartHelical(board_, &params), 1) << "the next helix may start";
  EXPECT_EQ(QUORVA_MC_AbortHelical(board_), 1);
}

TEST_F(ThreadedHelix, AbortRightAfterTheStartIsNotLost) {
  QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, 1.0);
  for (int i = 0; i < 20; ++i) {
    HelicalParams params = Params(2, 90, 1000);
    const int from = QUORVA_MC_GetCount_C(board_, 2);
    ASSERT_EQ(QUORVA_MC_StartHelical(board_, &params), 1);
    EXPECT_EQ(QUORVA_MC_AbortHelical(board_), 1);
    while (!Stopped(board_)) {
    }
    EXPECT_LT(QUORVA_MC_GetCount_C(board_, 2) - from, 1000) << i;
  }
}

TEST_F(ThreadedHelix, AbortWithoutAHelixReturnsAtOnce) {
  EXPECT_EQ(QUORVA_MC_AbortHelical(board_), 1);
  EXPECT_EQ(test::RawLog(), Lines{"780(*, 0)"});
  EXPECT_EQ(QUORVA_MC_AbortHelical(Load(0xA101)), 0);
}

TEST_F(ThreadedHelix, UnloadingTheBoardOrTheLibraryStopsTheWorkerFirst) {
  HelicalParams params = Params(50, 360, 50000);
  ASSERT_EQ(QUORVA_MC_StartHelical(board_, &params), 1);
  AwaitTime(0.2);
  QUORVA_UnloadDevice(board_);
  EXPECT_FALSE(FindDevice(board_));
  EXPECT_FALSE(ContextExists(0xA508, 0));
  const int count = QUORVA_SIM_RequestCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(QUORVA_SIM_RequestCount(), count) << "no request once the board is gone";

  board_ = Load(0xA508);
  QUORVA_MC_SetSpeedMx(board_, 0, 20000, 0);
  ASSERT_EQ(QUORVA_MC_StartHelical(board_, &params), 1);
  AwaitTime(QUORVA_SIM_GetTime() + 0.2);
  TearDownLibrary();
  EXPECT_FALSE(FindDevice(board_));
}

// The simulated controller's helical step, programmed register by register: a half turn of
// axes 0 and 1 around (1000, 0) with axis 2 moving 500 pulses along, and the step count that
// places the deceleration.
class SimulatedHelicalStep : public test::SimMotionTest {
 protected:
  // Runs the step with start code 0x53 and `stepCount` in register 12 of axis 0; the states of
  // axis 0 it went through.
  std::vector<unsigned> Run(unsigned stepCount) {
    test::SpeedSet speeds;
    speeds.highSteps = 500;
    Program(0, 2000, 103, speeds);
    QUORVA_MC_WriteRegister(board_, 0, 8, 1000);
    Program(1, 0, 103, speeds);
    QUORVA_MC_WriteRegister(board_, 1, 8, 0);
    Program(2, 500, 65, speeds);
    QUORVA_MC_WriteRegister(board_, 0, 12, stepCount);
    const double centreX = Counter(0) + 1000.0;
    Command(0, 0x753);
    std::vector<unsigned> states;
    while (Busy(0)) {
      const unsigned state = Reg(0, 49) & 0xF;
      if (state != 0 && (states.empty() || states.back() != state)) states.push_back(state);
      EXPECT_LE(std::fabs(std::hypot(Counter(0) - centreX, Counter(1)) - 1000), 1.5);
    }
    return states;
  }
};

TEST_F(SimulatedHelicalStep, LinearAxisArrivesWithTheArcAndTheStepCountPlacesTheDeceleration) {
  EXPECT_EQ(Run(2832), (std::vector<unsigned>{0xB, 0xC, 0xD}));
  EXPECT_EQ(Counter(0), 2000);
  EXPECT_EQ(Counter(1), 0);
  EXPECT_EQ(Counter(2), 500);
  EXPECT_EQ(State(2).endTime, State(0).endTime) << "all arrive in the same instant";
  EXPECT_EQ(Run(0), (std::vector<unsigned>{0xB, 0xC})) << "no step count: no deceleration";
  EXPECT_EQ(Counter(0), 4000);
  EXPECT_EQ(Counter(2), 1000);
}

}  // namespace
}  // namespace quorva
