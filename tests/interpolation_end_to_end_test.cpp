// Lines and arcs through the exported functions on the simulated controller: the axes really
// travel the path, checked point by point through the path record.
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "sim_test.h"

namespace quorva {
namespace {

constexpr double kQuantum = QUORVA_SIM_REQUEST_QUANTUM_NS * 1e-9;

class PathsOnTheSimulator : public test::MotionBoardTest {
 protected:
  // Trapezoidal paths at `speed` pps with both rates `rate` on map `map`.
  void UseMap(int map, int mask, double speed, double rate) {
    QUORVA_MC_MapAxes(board_, map, mask);
    QUORVA_MC_SetSpeedModeMx(board_, map, rate > 0 ? 1 : 0);
    QUORVA_MC_SetSpeedMx(board_, map, speed, rate);
  }
  // The recorded counters, one row per sample.
  static std::vector<std::vector<int>> Samples(int axes) {
    const int count = QUORVA_SIM_PathSampleCount(0);
    std::vector<int> flat(static_cast<std::size_t>(count * axes));
    EXPECT_EQ(QUORVA_SIM_GetPathSamples(0, 0, count, nullptr, flat.data()), count);
    std::vector<std::vector<int>> rows;
    for (int i = 0; i < count; ++i)
      rows.emplace_back(flat.begin() + i * axes, flat.begin() + (i + 1) * axes);
    return rows;
  }
  static QUORVA_SIM_AXIS_STATE State(int axis) {
    QUORVA_SIM_AXIS_STATE state{};
    QUORVA_SIM_GetAxisState(0, axis, &state);
    return state;
  }
  void WaitMap(int map) {
    while (QUORVA_MC_MxDone(board_, map) == 0) {
    }
  }
};

TEST_F(PathsOnTheSimulator, OneChipLinesArriveTogetherAndStayOnTheLine) {
  struct Case {
    int mask;
    std::vector<double> distances;
  };
  for (const Case& c : {Case{0x3, {30000, 40000}}, Case{0xF, {10000, -20000, 5000, 40000}}}) {
    UseMap(2, c.mask, 20000, 200000);
    const int axes = static_cast<int>(c.distances.size());
    std::vector<int> from(c.distances.size());
    for (int i = 0; i < axes; ++i)
      from[i] = QUORVA_MC_GetCount_C(board_, i);
    QUORVA_SIM_RecordPath(0, static_cast<unsigned>(c.mask), 0.001);
    QUORVA_MC_StartLine(board_, 2, c.distances.data());
    std::vector<unsigned> phases;
    while (QUORVA_MC_MxDone(board_, 2) == 0) {
      const unsigned phase = QUORVA_MC_ReadRegister(board_, 0, 49) & 0xF;
      if (phase != 0 && (phases.empty() || phases.back() != phase)) phases.push_back(phase);
      EXPECT_LE(QUORVA_MC_ReadRegister(board_, 0, 53), QUORVA_MC_ReadRegister(board_, 0, 2));
    }
    EXPECT_EQ(phases, (std::vector<unsigned>{0xB, 0xC, 0xD})) << "as for a single move";
    const auto master = static_cast<std::size_t>(
        std::max_element(c.distances.begin(), c.distances.end(),
                         [](double a, double b) { return std::fabs(a) < std::fabs(b); }) -
        c.distances.begin());
    for (int i = 0; i < axes; ++i) {
      EXPECT_EQ(State(i).endTime, State(0).endTime) << "axis " << i << " arrives with axis 0";
      EXPECT_EQ(QUORVA_MC_GetCount_C(board_, i), from[i] + c.distances[i]) << "axis " << i;
    }
    const auto rows = Samples(axes);
    ASSERT_GT(rows.size(), 1000u);
    double worst = 0;
    for (const std::vector<int>& row : rows) {
      const double along = (row[master] - from[master]) / c.distances[master];
      for (int i = 0; i < axes; ++i)
        worst = std::max(worst, std::fabs(row[i] - from[i] - along * c.distances[i]));
    }
    EXPECT_LE(worst, 1.0) << std::hex << c.mask;
  }
}

TEST_F(PathsOnTheSimulator, CrossChipLineAxesArriveWithinAQuantumOfEachOther) {
  UseMap(2, 0x22, 10000, 100000);
  const double distances[] = {30000, -40000};
  QUORVA_MC_Line(board_, 2, distances);
  WaitMap(2);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 30000);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 5), -40000);
  const QUORVA_SIM_AXIS_STATE follower = State(1);
  const QUORVA_SIM_AXIS_STATE master = State(5);
  EXPECT_NEAR(master.startTime - follower.startTime, kQuantum, 1e-9) << "started one by one";
  const double duration = master.endTime - master.startTime;
  EXPECT_LE(std::fabs(master.endTime - follower.endTime), kQuantum + 0.005 * duration);
}

TEST_F(PathsOnTheSimulator, ArcsFollowTheCircleAtThePathSpeedAndCompleteAtTheEndPoint) {
  struct Case {
    const char* what;
    std::function<void(QUORVA_HANDLE)> start;
    double sweep;             // radians
    double arcEndX, arcEndY;  // where the arc ends, on the circle
    int targetX, targetY;     // where the completion takes it
  };
  const double pi = std::numbers::pi;
  const double diagonal = 10000 / std::numbers::sqrt2;
  const Case cases[] = {
      {"quarter", [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_a(h, 0, 10000, 0, 90); }, pi / 2, 10000,
       -10000, 10000, -10000},
      {"full circle", [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_p(h, 0, 10000, 0, 0, 0, 1); },
       2 * pi, 0, 0, 0, 0},
      {"end off the circle",
       [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_p(h, 0, 10000, 0, 17000, 7000, 1); }, 1.25 * pi,
       10000 + diagonal, diagonal, 17000, 7000},
  };
  UseMap(0, 0x3, 10000, 0);
  for (const Case& c : cases) {
    QUORVA_MC_SetCount_C(board_, 0, 0);
    QUORVA_MC_SetCount_C(board_, 1, 0);
    QUORVA_SIM_RecordPath(0, 0x3, 0.001);
    c.start(board_);
    WaitMap(0);
    QUORVA_SIM_RecordPath(0, 0, 0);
    const QUORVA_SIM_AXIS_STATE a = State(0);
    const double expected = 10000 * c.sweep / 10000;  // length ÷ 10000 pps
    EXPECT_NEAR(a.endTime - a.startTime, expected, 0.001 * expected) << c.what;
    EXPECT_EQ(State(1).endTime, a.endTime) << c.what;
    EXPECT_NEAR(QUORVA_MC_GetCount_C(board_, 0), c.arcEndX, 1) << c.what;
    EXPECT_NEAR(QUORVA_MC_GetCount_C(board_, 1), c.arcEndY, 1) << c.what;
    double worst = 0;
    for (const std::vector<int>& row : Samples(2))
      worst = std::max(worst, std::fabs(std::hypot(row[0] - 10000.0, row[1]) - 10000));
    EXPECT_LE(worst, 1.0) << c.what;
    QUORVA_MC_CompleteArc(board_, 0);
    EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), c.targetX) << c.what;
    EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), c.targetY) << c.what;
  }
  QUORVA_MC_Arc_a(board_, 0, -500, 0, -90);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), 17000 - 500);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 7000 - 500) << "the blocking arc returns there";
  EXPECT_EQ(QUORVA_MC_MxDone(board_, 0), 1);
}

TEST_F(PathsOnTheSimulator, APathStopsAsAWhole) {
  struct Case {
    const char* what;
    std::function<void(QUORVA_HANDLE)> stop;
  };
  const Case cases[] = {
      {"emergency stop", [](QUORVA_HANDLE h) { QUORVA_MC_EmgStop(h, 1); }},
      {"decelerating stop", [](QUORVA_HANDLE h) { QUORVA_MC_Stop(h, 1); }},
      {"alarm", [](QUORVA_HANDLE) { QUORVA_SIM_SetAxisInput(0, 1, QUORVA_SIM_INPUT_ALARM, 1); }},
      {"error", [](QUORVA_HANDLE) { QUORVA_SIM_SetAxisError(0, 0, 0x4); }},
  };
  UseMap(0, 0x3, 20000, 200000);
  for (const Case& c : cases) {
    QUORVA_SIM_SetAxisInput(0, 1, QUORVA_SIM_INPUT_ALARM, 0);
    QUORVA_MC_ResetAxis(board_, 0);  // clears an error
    QUORVA_MC_SetCount_C(board_, 0, 0);
    QUORVA_MC_SetCount_C(board_, 1, 0);
    const double distances[] = {30000, 40000};
    QUORVA_MC_StartLine(board_, 0, distances);
    QUORVA_SIM_AdvanceTime(1.0);
    c.stop(board_);
    WaitMap(0);
    const int x = QUORVA_MC_GetCount_C(board_, 0);
    const int y = QUORVA_MC_GetCount_C(board_, 1);
    EXPECT_GT(y, 10000) << c.what;
    EXPECT_LT(y, 40000) << c.what;
    EXPECT_NEAR(x, 0.75 * y, 1) << c.what << ": stopped on the line";
  }
  EXPECT_EQ(QUORVA_MC_ReadRegister(board_, 0, 50), 4u);
  EXPECT_NE(QUORVA_MC_ReadMainSpace(board_, 0, 0) & QUORVA_SIM_MAIN_ERROR, 0u);
  const double back[] = {-100, -100};
  QUORVA_MC_StartLine(board_, 0, back);
  EXPECT_EQ(QUORVA_MC_MxDone(board_, 0), 1) << "an axis with an error does not start";
  QUORVA_MC_ResetAxis(board_, 0);
  EXPECT_EQ(QUORVA_MC_ReadMainSpace(board_, 0, 0) & QUORVA_SIM_MAIN_ERROR, 0u);
}

TEST_F(PathsOnTheSimulator, ACrossChipAxisReportingAnErrorStopsTheWholeLine) {
  UseMap(2, 0x22, 10000, 100000);
  QUORVA_SIM_SetAxisError(0, 5, 0x1);
  test::ClearLog();
  const double distances[] = {30000, 40000};
  QUORVA_MC_StartLine(board_, 2, distances);
  std::vector<std::string> checks;
  for (const std::string& line : test::RawLog()) {
    if (line.rfind("620(", 0) == 0 || line.rfind("680(", 0) == 0 ||
        line.find(", 50, ") != std::string::npos)
      checks.push_back(line);
  }
  EXPECT_EQ(checks,
            (std::vector<std::string>{"680(1, *, *)", "680(5, *, *)", "620(1, 0, 83)",
                                      "620(5, 0, 83)", "630(1, 50, *)", "680(1, *, *)",
                                      "630(5, 50, *)", "620(1, 0, 517)", "620(5, 0, 517)"}));
  EXPECT_EQ(QUORVA_MC_MxDone(board_, 2), 1) << "both stopped at once";
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 5), 0);
  EXPECT_LT(QUORVA_MC_GetCount_C(board_, 1), 100);
}

TEST_F(PathsOnTheSimulator, ARecordedRoundedRectangleRunsFromTheList) {
  UseMap(0, 0x3, 20000, 200000);
  QUORVA_MC_BeginList(board_);
  const double sides[][2] = {{4400, 0}, {0, 1400}, {-4400, 0}, {0, -1400}};
  const double centres[][2] = {{0, 800}, {-800, 0}, {0, -800}, {800, 0}};
  for (int k = 0; k < 4; ++k) {
    QUORVA_MC_Line(board_, 0, sides[k]);
    QUORVA_MC_Arc_a(board_, 0, centres[k][0], centres[k][1], 90);
  }
  QUORVA_MC_EndList(board_);
  QUORVA_SIM_RecordPath(0, 0x3, 0.001);
  QUORVA_MC_StartListMotion(board_);
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(0), 12) << "4 lines, 4 arcs and their completions";
  QUORVA_SIM_AdvanceTime(2.0);  // the whole list runs between two requests
  EXPECT_EQ(QUORVA_MC_CheckListMotionDone(board_), 1);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), 0);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 0);
  // The outline of a 6000 × 3000 rectangle with corners of radius 800, from the bottom edge's
  // left end: every point 800 pulses from the inner rectangle (0, 800) - (4400, 2200), and no
  // two samples 1 ms apart further than 20000 pps allow.
  const auto rows = Samples(2);
  ASSERT_GT(rows.size(), 500u);
  double offOutline = 0;
  double longestStep = 0;
  int reach[2][2] = {{0, 0}, {0, 0}};  // lowest and highest count per axis
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int x = rows[i][0];
    const int y = rows[i][1];
    const double outside =
        std::hypot(std::max({0, -x, x - 4400}), std::max({0, 800 - y, y - 2200}));
    offOutline = std::max(offOutline, std::fabs(outside - 800));
    if (i > 0)
      longestStep = std::max(longestStep, std::hypot(x - rows[i - 1][0], y - rows[i - 1][1]));
    for (int k = 0; k < 2; ++k) {
      reach[k][0] = std::min(reach[k][0], rows[i][k]);
      reach[k][1] = std::max(reach[k][1], rows[i][k]);
    }
  }
  EXPECT_LE(offOutline, 1.0);
  EXPECT_LE(longestStep, 21.5) << "20 pulses, and the rounding of both counters";
  EXPECT_EQ(reach[0][0], -800);
  EXPECT_EQ(reach[0][1], 5200);
  EXPECT_EQ(reach[1][0], 0);
  EXPECT_EQ(reach[1][1], 3000);
}

TEST_F(PathsOnTheSimulator, ThePathRecordKeepsItsSamplesAndChecksItsArguments) {
  ASSERT_EQ(QUORVA_SIM_RecordPath(0, 0x81, 0.01), 0);
  QUORVA_SIM_AdvanceTime(0.0499);
  ASSERT_EQ(QUORVA_SIM_RecordPath(0, 0, 0.01), 0) << "stops; the samples stay";
  QUORVA_SIM_AdvanceTime(1.0);
  ASSERT_EQ(QUORVA_SIM_PathSampleCount(0), 5);
  double times[6] = {};
  int counts[12] = {};
  EXPECT_EQ(QUORVA_SIM_GetPathSamples(0, 3, 6, times, counts), 2);
  EXPECT_NEAR(times[1] - times[0], 0.01, 1e-12);
  EXPECT_EQ(QUORVA_SIM_GetPathSamples(0, 9, 1, times, counts), 0);
  EXPECT_EQ(QUORVA_SIM_GetPathSamples(0, -1, 1, times, counts), -1);
  EXPECT_EQ(QUORVA_SIM_GetPathSamples(0, 0, 1, times, nullptr), -1);
  EXPECT_EQ(QUORVA_SIM_RecordPath(7, 0x1, 0.01), -1);
  EXPECT_EQ(QUORVA_SIM_SetAxisError(0, 8, 1), -1);
}

}  // namespace
}  // namespace quorva
