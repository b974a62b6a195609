// Reading G-code programs: modal motion, units and distance modes, arcs by centre and by
// radius, dwells, words reported as ignored, and the programs that must not run.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gcode/geometry.h"
#include "gcode/parser.h"

namespace quorva::gcode {
namespace {

using Kind = Step::Kind;

void ExpectPoint(const Vec3& actual, const Vec3& expected, int step) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9) << "step " << step;
  EXPECT_NEAR(actual.y, expected.y, 1e-9) << "step " << step;
  EXPECT_NEAR(actual.z, expected.z, 1e-9) << "step " << step;
}

TEST(GcodeProgram, ModalLinesUnitsAndDistanceModes) {
  const Program program = ParseProgram(
      "%\n"
      "O1000 (square)\n"
      "N10 G21 G90 G17 G94\n"
      "N20 G0 X10 Y5 Z2\n"
      "n30 g1 z-1 f120 ; 2 mm/s\n"
      "N40 X20\n"
      "N50 G91 Y 10\n"
      "N60 G20 X1\n"
      "N70 F6 G90 X2\n"
      "/N80 M30\n"
      "N90 G0 X999\n");
  const struct {
    Kind kind;
    int line;
    Vec3 to;
    double feed;
  } expected[] = {
      {Kind::kRapid, 4, {10, 5, 2}, 0},    {Kind::kLine, 5, {10, 5, -1}, 2},
      {Kind::kLine, 6, {20, 5, -1}, 2},    {Kind::kLine, 7, {20, 15, -1}, 2},
      {Kind::kLine, 8, {45.4, 15, -1}, 2}, {Kind::kLine, 9, {50.8, 15, -1}, 2.54},
  };
  ASSERT_EQ(program.steps.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const Step& step = program.steps[i];
    EXPECT_EQ(step.kind, expected[i].kind) << i;
    EXPECT_EQ(step.line, expected[i].line) << i;
    ExpectPoint(step.to, expected[i].to, static_cast<int>(i));
    if (step.kind != Kind::kRapid) {
      EXPECT_NEAR(step.feed, expected[i].feed, 1e-12) << i;
    }
  }
  EXPECT_EQ(program.finalUnits, Units::kInches);
  ASSERT_EQ(program.ignored.size(), 2u);
  EXPECT_EQ(program.ignored[0].word, "O");
  EXPECT_EQ(program.ignored[1].word, "G94");
}

TEST(GcodeProgram, ArcsByCentreAndByRadius) {
  const Program program = ParseProgram(
      "G0 X10 Y0\n"
      "G3 X0 Y10 I-10 J0 F600\n"  // quarter turn counter-clockwise around the origin
      "G2 X10 Y0 R10\n"           // back, clockwise, the short way: centre at the origin
      "G2 X0 Y10 R-10\n"          // three quarters clockwise: centre at the origin
      "G90.1 G3 X10 Y0 I0 J0\n"   // absolute centre
      "G91.1 G2 I-5 J0\n");       // a whole circle of radius 5 around (5, 0)
  ASSERT_EQ(program.steps.size(), 6u);
  const struct {
    Vec3 centre;
    bool clockwise;
    double sweep;
  } arcs[] = {
      {{0, 0, 0}, false, std::numbers::pi / 2},    {{0, 0, 0}, true, std::numbers::pi / 2},
      {{0, 0, 0}, true, 3 * std::numbers::pi / 2}, {{0, 0, 0}, false, 3 * std::numbers::pi / 2},
      {{5, 0, 0}, true, 2 * std::numbers::pi},
  };
  for (std::size_t i = 0; i < std::size(arcs); ++i) {
    const Step& before = program.steps[i];
    const Step& arc = program.steps[i + 1];
    EXPECT_EQ(arc.kind, Kind::kArc) << i;
    EXPECT_EQ(arc.clockwise, arcs[i].clockwise) << i;
    ExpectPoint(arc.centre, arcs[i].centre, static_cast<int>(i));
    EXPECT_NEAR(Sweep(before.to, arc.to, arc.centre, arc.clockwise), arcs[i].sweep, 1e-9) << i;
  }
  // Lengths over the feed of 10 mm/s, the rapid at 100 mm/s.
  const double turns = 0.25 + 0.25 + 0.75 + 0.75;
  EXPECT_NEAR(program.NominalSeconds(100), 0.1 + (turns * 20 + 10) * std::numbers::pi / 10, 1e-9);
}

TEST(GcodeProgram, HelicalArcsTakeTheirTimeAlongTheHelix) {
  // Two clockwise turns of radius 10 down 4 mm each, then a quarter turn back up 1 mm.
  const Program program = ParseProgram(
      "G0 X10 Y0\n"
      "G2 I-10 J0 Z-4 F600\n"
      "G91 G2 I-10 J0 Z-4\n"
      "G3 X-10 Y10 R10 Z1\n");
  ASSERT_EQ(program.steps.size(), 4u);
  ExpectPoint(program.steps[2].to, {10, 0, -8}, 2);
  ExpectPoint(program.steps[3].to, {0, 10, -7}, 3);
  ExpectPoint(program.steps[3].centre, {0, 0, 0}, 3);
  const double turn = 20 * std::numbers::pi;
  EXPECT_NEAR(program.NominalSeconds(100),
              0.1 + (2 * std::hypot(turn, 4) + std::hypot(turn / 4, 1)) / 10, 1e-9);
}

TEST(GcodeProgram, DwellsInSecondsOrMilliseconds) {
  EXPECT_DOUBLE_EQ(ParseProgram("G4 P1.5\n").steps.at(0).seconds, 1.5);
  ParseOptions milliseconds;
  milliseconds.dwellInMilliseconds = true;
  EXPECT_DOUBLE_EQ(ParseProgram("G04 P500\n", milliseconds).steps.at(0).seconds, 0.5);
  EXPECT_DOUBLE_EQ(ParseProgram("G4 P2\nG1 X1 F60\n").NominalSeconds(1), 3.0);
}

TEST(GcodeProgram, WordsThatMoveNoAxisAreReportedOnceEach) {
  const Program program = ParseProgram(
      "T1 M6\n"
      "G54 G40 G49 G80\n"
      "S12000 M3 M8\n"
      "G43 H1 Z5 G0\n"
      "S8000 M3 (again)\n"
      "G64 P0.01 M9 M5 M30\n");
  std::vector<std::string> words;
  for (const IgnoredWord& w : program.ignored)
    words.push_back(w.word + "@" + std::to_string(w.line));
  EXPECT_EQ(words,
            (std::vector<std::string>{"T@1", "M6@1", "G54@2", "G40@2", "G49@2", "G80@2", "S@3",
                                      "M3@3", "M8@3", "G43@4", "H@4", "G64@6", "M9@6", "M5@6"}));
  EXPECT_EQ(program.ignored[7].reason, "spindle");
  EXPECT_EQ(program.steps.size(), 1u) << "G43's Z move itself runs";
}

TEST(GcodeProgram, WhatCannotRunFailsWithItsLine) {
  const struct {
    const char* program;
    int line;
    const char* message;
  } cases[] = {
      {"G0 X1\nG18\n", 2, "only the XY plane (G17) runs"},
      {"G0 X1\n\nG28 X0\n", 3, "G28 (return to reference) cannot run"},
      {"G81 X1 Y1 Z-1 R1 F100\n", 1, "G81 is a canned cycle"},
      {"G41 D1\n", 1, "G41 (cutter compensation)"},
      {"G93\n", 1, "only feeds in units per minute"},
      {"G55\n", 1, "no work offsets other than G54"},
      {"G1 X10\n", 1, "no feed rate"},
      {"X10\n", 1, "without a motion mode"},
      {"G0 G1 X1\n", 1, "two motion codes on one line"},
      {"G1 F100 X1 X2\n", 1, "two X words on one line"},
      {"G2 X10 Y0 I4 J0 F100\n", 1, "not on the circle (radius 4.0000 at the start, 6.0000"},
      {"G2 X30 Y0 R10 F100\n", 1, "further away than the diameter"},
      {"G2 R10 F100\n", 1, "an R arc needs an end point away from its start"},
      {"G2 X10 R5 I1 F100\n", 1, "R or I and J, not both"},
      {"G2 X10 F100\n", 1, "an arc needs I and J, or R"},
      {"G2 X0 Y0 I0 J0 F100\n", 1, "the arc's centre is its start point"},
      {"G17 G2 X1 K1 F100\n", 1, "K belongs to another plane"},
      {"G0 X1 I1\n", 1, "I, J or R without G2 or G3"},
      {"G0 A10\n", 1, "word A: only X, Y and Z move"},
      {"G0 X1 Q2\n", 1, "word Q is not supported"},
      {"M98 P100\n", 1, "M98 is not supported"},
      {"G1 X1 F100 (open comment\n", 1, "comment without ')'"},
      {"G1 X F100\n", 1, "'X' without a number"},
      {"G1 X1.2.3 F100\n", 1, "'X' without a number"},
      {"G0 X1 # 2\n", 1, "unexpected '#'"},
      {"F0\n", 1, "F must be above 0"},
      {"G4\n", 1, "G4 needs P"},
      {"G4 X2\n", 1, "G4 takes P and no coordinates"},
      {"G0 X1 P2\n", 1, "P without G4"},
      {"G38.2 Z-5 F10\n", 1, "G38.2 is not supported"},
  };
  for (const auto& c : cases) {
    try {
      ParseProgram(c.program);
      ADD_FAILURE() << "accepted: " << c.program;
    } catch (const ProgramError& error) {
      EXPECT_EQ(error.Line(), c.line) << c.program;
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
          << c.program << " -> " << error.what();
    }
  }
}

}  // namespace
}  // namespace quorva::gcode
