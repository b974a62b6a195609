// Arcs on the request log: geometry and direction, the start command, the controller-version
// bit, absolute arcs, the completion step, recording, and maps an arc cannot use.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "motion/commands/arc_geometry.h"
#include "motion/core/list_chain.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

// The log without the polls of the waits.
Lines Logged() {
  Lines kept;
  for (const std::string& line : test::RawLog()) {
    if (line.rfind("640(", 0) != 0) kept.push_back(line);
  }
  return kept;
}

int Signed(unsigned value) {
  return static_cast<int>(value);
}

class ArcInterpolation : public test::MotionBoardTest {
 protected:
  void SetUp() override {
    MotionBoardTest::SetUp();
    QUORVA_MC_SetSpeedMx(board_, 0, 1000, 0);
    test::ClearLog();
  }
};

TEST_F(ArcInterpolation, SweptArcWritesEndAndCentreAndStartsBothAxesAtConstantSpeed) {
  QUORVA_MC_StartArc_a(board_, 0, 10, 0, 90);
  // Centre (10, 0): start angle 180°, end angle 270°, end (10, -10); counter-clockwise (101)
  // with bit 15, bit 27 for a controller of version 1, bits 16-17 on A; 0x351 to axis 0.
  EXPECT_EQ(
      test::RawLog(),
      (Lines{
          "630(0, 49, *)",        "630(1, 49, *)",        "630(0, 35, *)",   "610(0, 0, 10)",
          "610(0, 8, 0)",         "630(1, 35, *)",        "610(1, 0, -10)",  "610(1, 8, 0)",
          "610(0, 8, 10)",        "610(1, 8, 0)",         "610(0, 5, 29)",   "610(0, 27, 10)",
          "610(0, 1, 1)",         "610(0, 2, 100)",       "610(0, 7, 4096)", "610(1, 5, 29)",
          "610(1, 27, 10)",       "610(1, 1, 1)",         "610(1, 2, 100)",  "610(1, 7, 4096)",
          "610(0, 7, 36965)",     "610(1, 7, 36965)",     "780(*, 0)",       "610(0, 7, 134254693)",
          "610(1, 7, 134254693)", "610(0, 7, 134451301)", "620(0, 0, 849)"}));
}

TEST_F(ArcInterpolation, EndPointsAndDirections) {
  struct Case {
    const char* what;
    void (*start)(QUORVA_HANDLE);
    int endX;
    int endY;
    unsigned code;
  };
  const Case cases[] = {
      {"+90°", [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_a(h, 0, 10, 0, 90); }, 10, -10, 101},
      {"-90°", [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_a(h, 0, 10, 0, -90); }, 10, 10, 100},
      {"radius 0", [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_a(h, 0, 0, 0, 45); }, 0, 0, 101},
      {"_p, 0", [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_p(h, 0, 5, 5, 10, 0, 0); }, 10, 0, 100},
      {"_p, 1", [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_p(h, 0, 5, 5, 10, 0, 1); }, 10, 0, 101},
      {"not a number", [](QUORVA_HANDLE h) { QUORVA_MC_StartArc_a(h, 0, NAN, INFINITY, NAN); }, 0,
       0, 101},  // limited, never undefined
  };
  for (const Case& c : cases) {
    c.start(board_);
    EXPECT_EQ(Signed(Reg(0, 0)), c.endX) << c.what;
    EXPECT_EQ(Signed(Reg(1, 0)), c.endY) << c.what;
    EXPECT_EQ(context_->modeRegCache[0] & 0xFF, c.code) << c.what;
    EXPECT_EQ(context_->modeRegCache[1] & 0xFF, c.code) << c.what;
    QUORVA_MC_EmgStop(board_, 0);
  }
  const ArcGeometry arc = ArcByAngle(10, 0, 90);
  EXPECT_NEAR(arc.startAngle, 180, 1e-4);
  EXPECT_NEAR(arc.endAngle, 270, 1e-4);
}

TEST_F(ArcInterpolation, GroupFieldControllerVersionAndMapsAcrossChips) {
  struct Case {
    int mask;
    int version;
    Lines starts;
    unsigned bit27;
  };
  const Case cases[] = {
      {0x30, 1, {"620(4, 0, 849)"}, 1},
      {0x3, 0, {"620(0, 0, 849)"}, 0},
      {0x3, -1, {"620(0, 0, 849)"}, 0},  // only a version above 0 is newer
      {0x11, 1, {}, 0},                  // axes 0 and 4: no arc at all
  };
  for (const Case& c : cases) {
    QUORVA_MC_MapAxes(board_, 2, c.mask);
    QUORVA_SIM_SetControllerVersion(0, c.version);
    context_->modeRegCache[0] = context_->modeRegCache[4] = 0;
    test::ClearLog();
    QUORVA_MC_Arc_a(board_, 2, 10, 0, 90);
    Lines starts;
    for (const std::string& line : Logged()) {
      if (line.rfind("620(", 0) == 0 && line.find(", 85)") == std::string::npos)
        starts.push_back(line);
    }
    EXPECT_EQ(starts, c.starts) << std::hex << c.mask;
    const int a = c.mask == 0x30 ? 4 : 0;
    if (c.mask == 0x11) {
      EXPECT_EQ(test::RawLog(), Lines{}) << "nothing after the trace line";
    } else {
      EXPECT_EQ(Reg(a, 7) >> 27 & 1u, c.bit27) << c.version;
    }
  }
}

TEST_F(ArcInterpolation, AbsoluteArcsAreRelativeToTheCountersInEachAxisUnits) {
  QUORVA_SIM_SetAxisRegister(0, 0, 35, 100);
  QUORVA_SIM_SetAxisRegister(0, 1, 35, 0x0FFFFFFF);  // -1
  QUORVA_MC_SetUnitDistance(board_, 1, 2);
  test::ClearLog();
  QUORVA_MC_StartArcTo_p(board_, 0, 110, 3, 120, -0.5, 0);
  // Centre (110, 6) and end (120, -1) pulses become (10, 7) and (20, 0) from (100, -1).
  EXPECT_EQ(
      test::RawLog(),
      (Lines{"630(0, 49, *)",   "630(1, 49, *)",        "630(0, 35, *)",        "630(1, 35, *)",
             "630(0, 35, *)",   "610(0, 0, 20)",        "610(0, 8, 0)",         "630(1, 35, *)",
             "610(1, 0, 0)",    "610(1, 8, 0)",         "610(0, 8, 10)",        "610(1, 8, 7)",
             "610(0, 5, 29)",   "610(0, 27, 10)",       "610(0, 1, 1)",         "610(0, 2, 100)",
             "610(0, 7, 4096)", "610(1, 5, 29)",        "610(1, 27, 10)",       "610(1, 1, 1)",
             "610(1, 2, 100)",  "610(1, 7, 4096)",      "610(0, 7, 36964)",     "610(1, 7, 36964)",
             "780(*, 0)",       "610(0, 7, 134254692)", "610(1, 7, 134254692)", "620(0, 0, 849)"}));
}

TEST_F(ArcInterpolation, TheBlockingFormCompletesTheArcAndClearsTheModeCode) {
  QUORVA_MC_Arc_a(board_, 0, 10, 0, 90);
  const Lines logged = Logged();
  ASSERT_GE(logged.size(), 7u);
  EXPECT_EQ(
      Lines(logged.end() - 7, logged.end()),
      (Lines{"610(0, 7, 134254693)", "610(0, 7, 134254657)", "610(1, 7, 134254657)",
             "620(0, 0, 85)", "620(1, 0, 85)", "610(0, 7, 134451200)", "610(1, 7, 134451200)"}));
  EXPECT_EQ(QUORVA_MC_MxDone(board_, 0), 1);
}

TEST_F(ArcInterpolation, RecordedArcsAddTheArcAndItsCompletionWithoutWaiting) {
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_Arc_a(board_, 0, 10, 0, 90);
  QUORVA_MC_CompleteArc(board_, 0);
  for (const std::string& line : test::RawLog()) {
    EXPECT_NE(line.rfind("620(", 0), 0u) << line;
    EXPECT_NE(line.rfind("640(", 0), 0u) << line;
  }
  const ListChain& chain = context_->listItems;
  ASSERT_EQ(chain.Size(), 3u);
  EXPECT_EQ(chain.At(0).kind, kListStartMaster);
  EXPECT_EQ(chain.At(0).command, 849u);
  for (std::size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(chain.At(i).kind, kListArcCompletion);
    EXPECT_EQ(chain.At(i).mask, 0x3u);
    EXPECT_EQ(chain.At(i).master, 0u);
    EXPECT_EQ(chain.At(i).command, 85u);
    EXPECT_EQ(chain.At(i).axisSlots[1][7] & 0xFF, 65u) << "register 7 of B in positioning mode";
  }
}

TEST_F(ArcInterpolation, AnAbortWhileWaitingStartsNothingButStillCompletes) {
  QUORVA_MC_StartMove(board_, 1, 50);
  context_->abortRequested = 1;
  test::ClearLog();
  QUORVA_MC_Arc_a(board_, 0, 10, 0, 90);
  context_->abortRequested = 0;
  const Lines logged = Logged();
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.front(), "630(0, 49, *)");
  EXPECT_EQ(std::count(logged.begin(), logged.end(), "620(0, 0, 85)"), 1);
  for (const std::string& line : logged)
    EXPECT_NE(line.rfind("610(0, 8, ", 0), 0u) << "no arc was set up";
}

TEST_F(ArcInterpolation, MxDoneLooksAtEveryAxisOfTheMap) {
  QUORVA_MC_MapAxes(board_, 5, 0);
  EXPECT_EQ(QUORVA_MC_MxDone(board_, 5), 1) << "a map without axes";
  QUORVA_MC_MapAxes(board_, 5, 0x6);
  QUORVA_MC_StartVMove(board_, 2, 1);
  EXPECT_EQ(QUORVA_MC_MxDone(board_, 5), 0);
  QUORVA_MC_EmgStop(board_, 2);
  EXPECT_EQ(QUORVA_MC_MxDone(board_, 5), 1);
  EXPECT_EQ(QUORVA_MC_MxDone(nullptr, 5), 0) << "no board";
  // Map numbers beyond 0-10 are limited into it.
  QUORVA_MC_MapAxes(board_, 10, 0x6);
  QUORVA_MC_StartVMove(board_, 1, 1);
  EXPECT_EQ(QUORVA_MC_MxDone(board_, 42), 0);
  QUORVA_MC_EmgStop(board_, 1);
  test::ClearLog();
  QUORVA_MC_CompleteArc(board_, 42);  // map 10: axes 1 and 2
  EXPECT_EQ(Logged().back(), "610(2, 7, 4096)");
}

}  // namespace
}  // namespace quorva
