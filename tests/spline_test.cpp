// Splines: the resampler against values worked out by hand, the thinning of the spline path and
// the times of its samples, the replay's speeds, and the replayed path on the simulator.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "device/trace.h"
#include "motion/commands/spline.h"
#include "sim_test.h"

namespace quorva {
namespace {

std::vector<double> Resampled(const std::vector<double>& values, int samples) {
  double* result = QUORVA_MC_BuildSpline(values.data(), static_cast<int>(values.size()), samples);
  if (result == nullptr) return {};
  std::vector<double> copy(result, result + samples);
  QUORVA_MC_DeleteSpline(result);
  return copy;
}

TEST(SplineResampler, KnownValues) {
  struct Case {
    const char* what;
    std::vector<double> values;
    int samples;
    std::vector<double> expected;
  };
  // Two knots with flat ends: the smoothstep 10 × (3t² − 2t³).
  const Case cases[] = {
      {"two values, middle by symmetry", {0, 1}, 3, {0, 0.5, 1}},
      {"a constant stays constant", {4, 4, 4, 4, 4}, 7, {4, 4, 4, 4, 4, 4, 4}},
      {"flat at both ends",
       {0, 10},
       11,
       {0, 0.28, 1.04, 2.16, 3.52, 5, 6.48, 7.84, 8.96, 9.72, 10}},
      {"through every knot", {0, 3, -1, 2}, 4, {0, 3, -1, 2}},
  };
  for (const Case& c : cases) {
    const std::vector<double> got = Resampled(c.values, c.samples);
    ASSERT_EQ(got.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < got.size(); ++i)
      EXPECT_NEAR(got[i], c.expected[i], 1e-12) << c.what << ", sample " << i;
  }
  // The end slopes are 0: a fine resampling of a steep line, a tenth per sample on average,
  // takes its first and last steps at a hundredth of that.
  const std::vector<double> fine = Resampled({0, 100, 200, 300}, 3001);
  EXPECT_LT(fine[1] - fine[0], 0.001);
  EXPECT_LT(fine[3000] - fine[2999], 0.001);
}

TEST(SplineResampler, RefusesWhatMakesNoCurve) {
  const double values[] = {0, 1, 2};
  const double notANumber[] = {0, NAN, 2};
  const double huge[] = {1e308, -1e308, 1e308};
  EXPECT_EQ(QUORVA_MC_BuildSpline(nullptr, 3, 10), nullptr);
  EXPECT_EQ(QUORVA_MC_BuildSpline(values, 1, 10), nullptr);
  EXPECT_EQ(QUORVA_MC_BuildSpline(values, 3, 1), nullptr);
  EXPECT_EQ(QUORVA_MC_BuildSpline(notANumber, 3, 10), nullptr);
  EXPECT_EQ(QUORVA_MC_BuildSpline(huge, 3, 10), nullptr) << "overflows between the knots";
  QUORVA_MC_DeleteSpline(nullptr);
}

class SplinePath : public test::MotionBoardTest {
 protected:
  static std::shared_ptr<const quorva::SplinePath> Path() { return CurrentSplinePath(); }
  // A trace file at level 1 and the function names of its lines.
  std::string TraceOn() {
    const std::string path = test::TempPath("spline.dbg");
    EXPECT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
    return path;
  }
  static std::vector<std::string> TracedLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = test::ReadFile(path);
    std::erase(text, '\r');  // Windows ends the lines with CR LF
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
      lines.push_back(line.substr(line.find("  ") + 2));
    return lines;
  }
};

TEST_F(SplinePath, KeepsSamplesThatMoveMoreThanTwoUnitsWithTheTimeTheyStandFor) {
  struct Case {
    double to;  // the path runs from 0 to here
    int samples;
    double unit;
    std::vector<double> kept;
    std::vector<double> steps;  // times in time steps
  };
  // To 10 in 11 samples, the smoothstep of the resampler test: 0, 0.28, 1.04, 2.16, 3.52, 5,
  // 6.48, 7.84, 8.96, 9.72, 10. With 2 pulses per unit the threshold is 4 units and the last
  // sample is left out. To 4 in 3 samples: 0, 2, 4, and a change of exactly 2 is not enough.
  const Case cases[] = {
      {10, 11, 1, {0, 2.16, 5, 7.84, 10}, {1, 3, 2, 2, 3}},
      {10, 11, 2, {0, 5, 9.72}, {1, 5, 4}},
      {4, 3, 1, {0, 4}, {1, 2}},
  };
  for (const Case& c : cases) {
    const double points[] = {0, c.to};
    QUORVA_MC_SetUnitDistance(board_, 3, c.unit);
    EXPECT_EQ(QUORVA_MC_LmSplineBuild(board_, 0x8, points, 2, c.samples, 0.25), 0);
    const auto path = Path();
    ASSERT_NE(path, nullptr);
    ASSERT_EQ(path->KeptCount(), static_cast<int>(c.kept.size())) << c.to << ", " << c.unit;
    for (int k = 0; k < path->KeptCount(); ++k) {
      EXPECT_NEAR(path->Sample(k)[0], c.kept[k], 1e-9) << c.to << ", " << c.unit << ": " << k;
      EXPECT_DOUBLE_EQ(path->times[k], 0.25 * c.steps[k]) << c.to << ", " << c.unit << ": " << k;
    }
  }
}

TEST_F(SplinePath, AStraightLineOfTwoAxesStaysOnTheLine) {
  // Axis 1 moves 3 units for every 4 of axis 4, unevenly along the points.
  const double points[] = {0, 0, 40, 30, 60, 45, 200, 150, 220, 165};
  QUORVA_MC_LmSplineBuild(board_, 0x12, points, 5, 500, 0.01);
  const auto path = Path();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->axes, (std::vector<int>{1, 4}));
  ASSERT_GT(path->KeptCount(), 50);
  for (int k = 0; k < path->KeptCount(); ++k)
    EXPECT_NEAR(path->Sample(k)[0] * 3, path->Sample(k)[1] * 4, 1e-9) << k;
}

TEST_F(SplinePath, InputThatMakesNoPathLeavesThePathAsItWas) {
  const double points[] = {0, 0, 10, 10, 20, 0};
  const double notANumber[] = {0, 0, NAN, 10};
  QUORVA_MC_LmSplineBuild(board_, 0x3, points, 3, 20, 0.1);
  const auto before = Path();
  ASSERT_NE(before, nullptr);
  struct Case {
    const char* what;
    int mask;
    const double* points;
    int count;
    int samples;
    double step;
  };
  const Case cases[] = {
      {"null points", 0x3, nullptr, 3, 20, 0.1},
      {"one point", 0x3, points, 1, 20, 0.1},
      {"one sample", 0x3, points, 3, 1, 0.1},
      {"time step 0", 0x3, points, 3, 20, 0},
      {"negative time step", 0x3, points, 3, 20, -0.1},
      {"time step not a number", 0x3, points, 3, 20, NAN},
      {"infinite time step", 0x3, points, 3, 20, INFINITY},
      {"a point not a number", 0x3, notANumber, 2, 20, 0.1},
      {"no axes", 0, points, 3, 20, 0.1},
      {"an axis the board lacks", 0x101, points, 3, 20, 0.1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QUORVA_MC_LmSplineBuild(board_, c.mask, c.points, c.count, c.samples, c.step), 0);
    EXPECT_EQ(Path(), before) << c.what;
  }
  const QUORVA_HANDLE analog = Load(0xA101);
  EXPECT_EQ(Path(), nullptr) << "a board load empties the path";
  QUORVA_MC_LmSplineBuild(analog, 0x3, points, 3, 20, 0.1);
  EXPECT_EQ(Path(), nullptr) << "not a motion board";
  test::ClearLog();
  EXPECT_EQ(QUORVA_MC_LmSplineMoveStart(board_, 2), 0);
  EXPECT_EQ(test::RawLog(), std::vector<std::string>{}) << "nothing to replay";
}

TEST_F(SplinePath, ReplayRecordsOneLinePerSampleAtSmoothedSpeeds) {
  const double points[] = {0, 10};
  QUORVA_MC_LmSplineBuild(board_, 0x1, points, 2, 11, 0.1);
  QUORVA_SIM_SetAxisRegister(0, 0, 35, static_cast<unsigned>(-10));
  const std::string trace = TraceOn();
  EXPECT_EQ(QUORVA_MC_LmSplineMoveStart(board_, 2), 0);

  // Kept 0, 2.16, 5, 7.84, 10 after 1, 3, 2, 2, 3 steps; from -10 the raw speeds are 100,
  // 7.2, 14.2, 14.2, 7.2. The window starts full of the first; the newest weighs 10/55.
  const double raw[] = {100, 7.2, 14.2, 14.2, 7.2};
  std::vector<double> window(10, raw[0]);
  std::vector<std::string> expected = {"QUORVA_MC_SetListMotionAxes(0x%x, 0x1)",
                                       "QUORVA_MC_BeginList(0x%x)",
                                       "QUORVA_MC_MapAxes(0x%x, 2, 0x1)"};
  const double kept[] = {0, 2.16, 5, 7.84, 10};
  for (int k = 0; k < 5; ++k) {
    window.erase(window.begin());
    window.push_back(raw[k]);
    double smoothed = 0;
    for (int j = 0; j < 10; ++j)
      smoothed += (j + 1) / 55.0 * window[j];
    char speed[200];
    std::snprintf(speed, sizeof speed, "QUORVA_MC_SetSpeedMx(0x%%x, 2, %.3f, 0.000)", smoothed);
    char line[200];
    std::snprintf(line, sizeof line, "QUORVA_MC_LineTo(0x%%x, 2, [%.3f])", kept[k]);
    expected.insert(expected.end(), {"QUORVA_MC_SetSpeedModeMx(0x%x, 2, 0)", speed, line});
  }
  expected.insert(expected.end(), {"QUORVA_MC_EndList(0x%x)", "QUORVA_MC_StartListMotion(0x%x)"});
  char handle[20];
  std::snprintf(handle, sizeof handle, "0x%x", TraceWord(board_));
  for (std::string& line : expected)
    line.replace(line.find("0x%x"), 4, handle);
  EXPECT_EQ(TracedLines(trace), expected);
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(0), 5);
}

// Six points of a two-axis path, resampled and replayed: the axes follow the lines between the
// kept samples to within 2 pulses and end on the last one.
TEST_F(SplinePath, ReplayedPathFollowsTheResampledPath) {
  const double points[] = {0, 0, 300, 100, 500, 400, 400, 700, 100, 800, -200, 600};
  QUORVA_MC_LmSplineBuild(board_, 0x3, points, 6, 400, 0.01);
  const auto path = Path();
  ASSERT_NE(path, nullptr);
  QUORVA_SIM_RecordPath(0, 0x3, 0.0005);
  QUORVA_MC_LmSplineMoveStart(board_, 2);
  QUORVA_SIM_AdvanceTime(10);
  ASSERT_EQ(QUORVA_MC_CheckListMotionDone(board_), 1);
  const int kept = path->KeptCount();
  EXPECT_NEAR(QUORVA_MC_GetPosition_C(board_, 0), path->Sample(kept - 1)[0], 0.5);
  EXPECT_NEAR(QUORVA_MC_GetPosition_C(board_, 1), path->Sample(kept - 1)[1], 0.5);

  const int count = QUORVA_SIM_PathSampleCount(0);
  std::vector<int> counts(static_cast<std::size_t>(2 * count));
  ASSERT_EQ(QUORVA_SIM_GetPathSamples(0, 0, count, nullptr, counts.data()), count);
  ASSERT_GT(count, 1000);
  double worst = 0;
  for (int i = 0; i < count; ++i) {
    const double x = counts[2 * i];
    const double y = counts[2 * i + 1];
    double nearest = std::hypot(x, y);  // the start
    for (int k = 0; k < kept; ++k) {
      const double* to = path->Sample(k);
      const double* from = k > 0 ? path->Sample(k - 1) : nullptr;
      const double fx = from ? from[0] : 0;
      const double fy = from ? from[1] : 0;
      const double dx = to[0] - fx;
      const double dy = to[1] - fy;
      const double length2 = dx * dx + dy * dy;
      const double t =
          length2 > 0 ? std::clamp(((x - fx) * dx + (y - fy) * dy) / length2, 0.0, 1.0) : 0;
      nearest = std::min(nearest, std::hypot(x - fx - t * dx, y - fy - t * dy));
    }
    worst = std::max(worst, nearest);
  }
  EXPECT_LE(worst, 2.0);
}

// One thread replays the path again and again while another builds new ones: a replay keeps
// the path it started with.
class ThreadedSplinePath : public SplinePath {};

TEST_F(ThreadedSplinePath, RebuiltWhileReplaying) {
  const double points[] = {0, 0, 30, 10, 60, 40};
  QUORVA_MC_LmSplineBuild(board_, 0x3, points, 3, 200, 0.001);
  std::thread builder([&] {
    for (int i = 0; i < 40; ++i) {
      const double moved[] = {0, 0, 30.0 + i, 10, 60, 40.0 - i};
      QUORVA_MC_LmSplineBuild(board_, 0x3, moved, 3, 200 + i, 0.001);
    }
  });
  for (int i = 0; i < 40; ++i)
    QUORVA_MC_LmSplineMoveStart(board_, 2);
  builder.join();
  EXPECT_GE(QUORVA_SIM_ListEntryCount(0), 1);
}

}  // namespace
}  // namespace quorva
