// quorva gcode on the simulator: programs of lines and arcs end where they were programmed in
// the time their feeds give, and a program that cannot run moves nothing.
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>

#include "tool_run.h"

namespace quorva {
namespace {

using test::Contains;
using test::RunQuorva;
using test::TempPath;

class ToolGcode : public test::SimTest {
 protected:
  std::string Program(const std::string& text) {
    const std::string path = TempPath("program.nc");
    std::ofstream(path) << text;
    return path;
  }
  static double Reported(const std::string& out, const char* label) {
    double value = 0;
    const std::size_t at = out.find(label);
    if (at != std::string::npos) std::sscanf(out.c_str() + at + std::strlen(label), "%lf", &value);
    return value;
  }
  static int Count(int axis) {
    QUORVA_HANDLE board = QUORVA_LoadDevice(0xA508, 0);
    const int count = QUORVA_MC_GetCount_C(board, axis);
    QUORVA_UnloadDevice(board);
    return count;
  }
};

TEST_F(ToolGcode, LinesAndArcsEndAtTheProgrammedPointInTheirTime) {
  const std::string path = Program(
      "G21 G90 G17\n"
      "G0 X10 Y10\n"
      "G1 X50 F1200 (20 mm/s)\n"
      "G2 X50 Y-20 R15 (half a turn clockwise)\n"
      "G91 G1 Y-10\n"
      "G3 X-20 Y0 I-10 J0 (half a turn counter-clockwise)\n"
      "G90 G4 P1.5\n"
      "G1 Z-2.5 F600\n"
      "G20 G91 G1 X-0.5 Y0.5 F60 (inches)\n"
      "M30\n");
  // Constant speed throughout, the rapids at 50 mm/s: the time is the lengths over the feeds.
  const double arcs = (15 + 10) * std::numbers::pi;
  const double expected = std::hypot(10, 10) / 50 + (40 + 10) / 20.0 + arcs / 20 + 1.5 + 2.5 / 10 +
                          std::hypot(12.7, 12.7) / 25.4;
  const test::ToolRun run =
      RunQuorva({"gcode", path, "--profile", "constant", "--start-speed", "50"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "X 0.6811  Y -0.6811  Z -0.0984 in")) << run.out;
  EXPECT_NEAR(Reported(run.out, "simulated duration "), expected, expected * 0.01) << run.out;
  EXPECT_EQ(Count(0), 17300);
  EXPECT_EQ(Count(1), -17300);
  EXPECT_EQ(Count(2), -2500);
}

TEST_F(ToolGcode, AxesMayBeMappedInAnyOrderAndInInches) {
  const std::string settings = TempPath("inch.ini");
  std::ofstream(settings) << "[axes]\nunit = in\nscale = 25400\nspeed = 2\n[gcode]\naxes = 5,4,6\n";
  const std::string path =
      Program("G21 G0 X25.4 Y0\nG2 X0 Y25.4 I-25.4 J0 F600\nG3 X-25.4 Y0 R25.4 Z2.54\nM2\n");
  const test::ToolRun run = RunQuorva({"gcode", path, "--settings", settings});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Y 0.0000  Z 2.5400 mm")) << run.out;
  // A helical step ends where its angle leads, which the counter truncates.
  EXPECT_NEAR(Count(5), -25400, 1) << "X is axis 5, one inch";
  EXPECT_EQ(Count(4), 0);
  EXPECT_EQ(Count(6), 2540) << "a tenth of an inch up along the last arc";
}

TEST_F(ToolGcode, HelicalArcsEndAtTheirDepthAfterTheirTurns) {
  // Thread milling: two clockwise turns of radius 10 down 3 mm each, a quarter turn back up
  // 0.5 mm, then straight out along X.
  const std::string path = Program(
      "G0 X10 Y0\n"
      "G2 I-10 J0 Z-3 F600\n"
      "G2 I-10 J0 Z-6\n"
      "G3 X0 Y10 I-10 J0 Z-5.5\n"
      "G1 X5\n");
  const double turn = 20 * std::numbers::pi;
  const double expected =
      10.0 / 50 + (2 * std::hypot(turn, 3) + std::hypot(turn / 4, 0.5) + 5) / 10;
  const test::ToolRun run =
      RunQuorva({"gcode", path, "--profile", "constant", "--start-speed", "50"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "X 5.0000  Y 10.0000  Z -5.5000 mm")) << run.out;
  EXPECT_NEAR(Reported(run.out, "simulated duration "), expected, expected * 0.02) << run.out;
  EXPECT_EQ(Count(2), -5500);

  EXPECT_GT(Count(3), 0) << "the arcs' steps, counted";
  const test::ToolRun taken = RunQuorva({"gcode", path, "--axes", "0,1,3"});
  EXPECT_EQ(taken.status, 1);
  EXPECT_TRUE(Contains(taken.err, path + ":2: a helical arc needs X, Y and Z on one chip"))
      << taken.err;
  EXPECT_EQ(Count(0), 0) << "nothing moved";
}

TEST_F(ToolGcode, MalformedProgramFailsWithItsLineBeforeAnyMotion) {
  const std::string path = Program("G0 X10\nG1 X20 F100\nM3 S1000\nG18 G2 X0 Z10 I5\nG0 X0\n");
  const test::ToolRun run = RunQuorva({"gcode", path});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quorva gcode: " + path + ":4: G18: only the XY plane (G17) runs\n");
  EXPECT_TRUE(run.out.empty()) << run.out;
  EXPECT_EQ(Count(0), 0) << "nothing moved";
}

TEST_F(ToolGcode, IgnoredWordsAreReportedOnceAndCheckMovesNothing) {
  const std::string path = Program("T2 M6\nS9000 M3\nG0 X5\nS100\nG4 P2\nM30\nG0 X99\n");
  const test::ToolRun run = RunQuorva({"gcode", path, "--check"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "quorva gcode: ignored T (tool change), first on line 1\n"
            "quorva gcode: ignored M6 (tool change), first on line 1\n"
            "quorva gcode: ignored S (spindle), first on line 2\n"
            "quorva gcode: ignored M3 (spindle), first on line 2\n");
  EXPECT_TRUE(Contains(run.out, "2 steps, 2.100 s")) << run.out;
  EXPECT_EQ(Count(0), 0);
}

TEST_F(ToolGcode, PlotDrawsThePathOfXAndY) {
  const std::string path = Program("G1 X20 Y10 F1200\nG3 X0 Y10 R10\nG1 Y0 Z1\n");
  const std::string svg = TempPath("path.svg");
  const test::ToolRun run = RunQuorva({"gcode", path, "--plot", svg});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string drawn = test::ReadFile(svg);
  EXPECT_TRUE(Contains(drawn, "data-series=\"X\"")) << "time charts";
  EXPECT_TRUE(Contains(drawn, "data-series=\"path\"")) << "the plane";
  EXPECT_EQ(RunQuorva({"gcode", path, "--plot", svg, "--device"}).status, 1);
}

}  // namespace
}  // namespace quorva
