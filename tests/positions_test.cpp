#include <gtest/gtest.h>

#include <cstdio>

#include "config/gantry_correct.h"
#include "device/trace.h"
#include "mapping_file_fixture.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"
#include "motion/io/counter_values.h"
#include "motion/io/gantry_inverse.h"

namespace quorva {
namespace {

constexpr int kBoard = 0;  // enumeration index of the A508

void SetRegister(int axis, int reg, unsigned value) {
  ASSERT_EQ(QUORVA_SIM_SetAxisRegister(kBoard, axis, reg, value), 0);
}

unsigned Register(int axis, int reg) {
  unsigned value = 0;
  QUORVA_SIM_GetAxisRegister(kBoard, axis, reg, &value);
  return value;
}

TEST(CounterValues, ClampLimitsToTwentySevenBitsAndTruncatesTowardZero) {
  EXPECT_EQ(ClampToCounter(200000000), 134217727);
  EXPECT_EQ(ClampToCounter(-200000000), -134217727);
  EXPECT_EQ(ClampToCounter(134217727.9), 134217727);
  EXPECT_EQ(ClampToCounter(-2.9), -2);
  EXPECT_EQ(ClampToCounter(2.9), 2);
  EXPECT_EQ(ClampToCounter(1e300), 134217727);
  EXPECT_EQ(ClampToCounter(0.0 / 0.0), 0);
  EXPECT_EQ(Trunc32(-3e10), -2147483647 - 1);
  EXPECT_EQ(Trunc32(3e10), 2147483647);
  EXPECT_EQ(Trunc32(-7.9), -7);
}

TEST(CounterValues, SignExtensionUsesBitTwentySevenOrFifteen) {
  EXPECT_EQ(SignExtend28(0x0FFFFFFFu), -1);
  EXPECT_EQ(SignExtend28(0x08000000u), -134217728);
  EXPECT_EQ(SignExtend28(0x07FFFFFFu), 134217727);
  EXPECT_EQ(SignExtend28(0xF0000005u), 5) << "bits 28-31 are not part of the count";
  EXPECT_EQ(SignExtend16(0x0000FFFBu), -5);
  EXPECT_EQ(SignExtend16(0x12347FFFu), 32767);
}

class Positions : public test::MotionBoardTest {};

TEST_F(Positions, CountersReadSignExtendedExceptR) {
  SetRegister(0, 36, 0x0FFFFFFF);
  context_->unitDistance[0] = 1000;
  EXPECT_EQ(QUORVA_MC_GetCount_A(board_, 0), -1);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_A(board_, 0), -0.001);
  SetRegister(1, 35, 0x08000000);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), -134217728);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 1), -134217728.0);
  SetRegister(2, 37, 0x0000FFFB);
  EXPECT_EQ(QUORVA_MC_GetCount_D(board_, 2), -5);
  SetRegister(2, 38, 0x0FFFFFFE);
  EXPECT_EQ(QUORVA_MC_GetCount_G(board_, 2), -2);
  SetRegister(2, 52, 0x08000000);
  EXPECT_EQ(QUORVA_MC_GetCount_R(board_, 2), 0x08000000) << "R is not sign-extended";
  SetRegister(2, 52, 0xFFFFFFF0);
  EXPECT_EQ(QUORVA_MC_GetCount_R(board_, 2), -16);
}

TEST_F(Positions, CountSettersClampExceptDeviation) {
  QUORVA_MC_SetCount_G(board_, 0, 200000000);
  QUORVA_MC_SetCount_R(board_, 0, -200000000);
  QUORVA_MC_SetCount_D(board_, 0, -5);
  QUORVA_MC_SetCount_D(board_, 1, 200000000);
  QUORVA_MC_SetCount_C(board_, 0, 200000000);
  QUORVA_MC_SetCount_A(board_, 0, -7);
  EXPECT_REQUESTS({"610(0, 38, 134217727)", "610(0, 52, -134217727)", "610(0, 37, 0xFFFFFFFB)",
                   "610(1, 37, 200000000)", "610(0, 35, 134217727)", "610(0, 36, -7)"});
  EXPECT_EQ(QUORVA_MC_GetCount_D(board_, 0), -5);
}

TEST_F(Positions, PositionSettersConvertWithUnitDistanceAndRatio) {
  context_->unitDistance[0] = 1000;
  context_->inOutRatio[0] = 2;
  QUORVA_MC_SetPosition_C(board_, 0, 2.5);
  QUORVA_MC_SetPosition_A(board_, 0, 1.0);
  QUORVA_MC_SetPosition_C(board_, 0, -0.0015);  // -1.5 pulses truncate toward zero
  QUORVA_MC_SetPosition_C(board_, 0, 1e9);
  EXPECT_REQUESTS(
      {"610(0, 35, 2500)", "610(0, 36, 500)", "610(0, 35, -1)", "610(0, 35, 134217727)"});
  SetRegister(0, 35, 2500);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 0), 2.5);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_A(board_, 0), 1.0) << "500 x 2 / 1000";
}

TEST_F(Positions, ZeroRatioReadsZeroAndPresetsWithoutRatio) {
  context_->unitDistance[3] = 1000;
  context_->inOutRatio[3] = 0;
  QUORVA_MC_SetPosition_A(board_, 3, 1.0);
  EXPECT_EQ(Register(3, 36), 1000u);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_A(board_, 3), 0.0);
}

// Moves keep moveStartPos / moveTargetPos in pulses and take their base from the command
// counter; a preset records the raw count it wrote, so both agree for any unit distance.
TEST_F(Positions, CommandPresetsRecordTheWrittenCountInPulses) {
  context_->unitDistance[1] = 250;
  QUORVA_MC_SetPosition_C(board_, 1, 2.0);
  EXPECT_EQ(Register(1, 35), 500u);
  EXPECT_DOUBLE_EQ(context_->moveStartPos[1], 500.0);
  EXPECT_DOUBLE_EQ(context_->moveTargetPos[1], 500.0);
  QUORVA_MC_SetCount_C(board_, 1, -300000000);
  EXPECT_DOUBLE_EQ(context_->moveStartPos[1], -134217727.0);
  EXPECT_DOUBLE_EQ(context_->moveTargetPos[1], -134217727.0);
  QUORVA_MC_SetPosition_A(board_, 1, 9.0);
  EXPECT_DOUBLE_EQ(context_->moveTargetPos[1], -134217727.0) << "counter A is no move base";
}

TEST_F(Positions, InvalidAxesAndBoardsWithoutMotionDoNothing) {
  context_->moveStartPos[7] = 11;
  for (int axis : {-1, 8, 1000}) {
    QUORVA_MC_SetPosition_C(board_, axis, 1.0);
    QUORVA_MC_SetCount_C(board_, axis, 1);
    QUORVA_MC_SetPosition_A(board_, axis, 1.0);
    QUORVA_MC_SetCount_G(board_, axis, 1);
    EXPECT_EQ(QUORVA_MC_GetPosition_C(board_, axis), 0.0);
    EXPECT_EQ(QUORVA_MC_GetCount_A(board_, axis), 0);
    EXPECT_EQ(QUORVA_MC_GetCount_R(board_, axis), 0);
  }
  const QUORVA_HANDLE analog = Load(0xA101);
  QUORVA_MC_SetPosition_C(analog, 0, 1.0);
  QUORVA_MC_SetCount_D(analog, 0, 1);
  EXPECT_EQ(QUORVA_MC_GetPosition_A(analog, 0), 0.0);
  EXPECT_EQ(QUORVA_MC_GetCount_C(analog, 0), 0);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
  EXPECT_EQ(context_->moveStartPos[7], 11.0);
}

TEST_F(Positions, TraceLinesFollowTheContextLookup) {
  const std::string log = test::TempPath("motion.dbg");
  const QUORVA_HANDLE analog = Load(0xA101);
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, log.c_str(), 3), 0);
  QUORVA_MC_GetCount_C(board_, 1);
  QUORVA_MC_SetPosition_C(board_, 2, 2.5);
  QUORVA_MC_SetCount_A(board_, 3, -4);
  QUORVA_MC_GetCount_R(board_, 4);
  // Without a context only the position setters and the plain counters trace.
  QUORVA_MC_GetPosition_C(analog, 0);
  QUORVA_MC_SetCount_C(analog, 0, 1);
  QUORVA_MC_SetPosition_A(analog, 0, 1.0);
  QUORVA_MC_SetCount_G(analog, 0, 1);
  char h[16];
  char a[16];
  std::snprintf(h, sizeof h, "0x%x", TraceWord(board_));
  std::snprintf(a, sizeof a, "0x%x", TraceWord(analog));
  std::string expected;
  for (const std::string& line : {"QUORVA_MC_GetCount_C(" + std::string(h) + ", 1)",
                                  "QUORVA_MC_SetPosition_C(" + std::string(h) + ", 2, 2.500)",
                                  "QUORVA_MC_SetCount_A(" + std::string(h) + ", 3, -4)",
                                  "QUORVA_MC_GetCount_R(" + std::string(h) + ", 4)",
                                  "QUORVA_MC_SetPosition_A(" + std::string(a) + ", 0, 1.000)",
                                  "QUORVA_MC_SetCount_G(" + std::string(a) + ", 0, 1)"}) {
    expected += line + "\n";
  }
  std::string actual;
  const std::string text = test::ReadText(log);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    actual += line.substr(line.find("  ") + 2) + "\n";  // drop the time stamp
    at = end + 1;
  }
  EXPECT_EQ(actual, expected);
}

// Axes 0 and 1 mapped through a 3 x 3 grid with 1000-pulse pitch.
class MappedPositions : public test::MappingFileTest {
 protected:
  void SetUp() override {
    MappingFileTest::SetUp();
    board_ = Load(0xA508);
    context_ = ContextOf(board_);
    ASSERT_NE(context_, nullptr);
  }
  void LoadGrid(const std::vector<double>& dx, const std::vector<double>& dy) {
    SetGrid(board_, 0, 1, 0, 0, 1000, 1000, 3, 3, dx, dy);
    ASSERT_EQ(QUORVA_MC_2DMATRIX_SetEnable(board_, 1), 1);
    test::ClearLog();
  }
  QUORVA_HANDLE board_ = nullptr;
  MotionContext* context_ = nullptr;
};

TEST_F(MappedPositions, ZeroTableBehavesAsUnmapped) {
  LoadGrid(std::vector<double>(9, 0.0), std::vector<double>(9, 0.0));
  SetRegister(0, 36, 1234);
  SetRegister(1, 36, 0x0FFFFFFF);
  EXPECT_EQ(QUORVA_MC_GetCount_A(board_, 0), 1234);
  EXPECT_EQ(QUORVA_MC_GetCount_A(board_, 1), -1);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_A(board_, 1), -1.0);
  test::ClearLog();
  QUORVA_MC_SetCount_C(board_, 1, 777);
  QUORVA_MC_SetPosition_C(board_, 0, 1500.0);
  EXPECT_REQUESTS({"630(0, 35, *)", "610(1, 35, 777)", "630(1, 35, *)", "610(0, 35, 1500)"});
}

TEST_F(MappedPositions, MappedGettersRemoveTheCorrectionOfBothAxes) {
  // Corrections of +4 pulses in X and -2 in Y everywhere.
  LoadGrid(std::vector<double>(9, 4.0), std::vector<double>(9, -2.0));
  SetRegister(0, 35, 1504);
  SetRegister(1, 35, 498);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), 1500);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 500);
  EXPECT_REQUESTS({"630(0, 35, *)", "630(1, 35, *)", "630(0, 35, *)", "630(1, 35, *)"});
  QUORVA_MC_2DMATRIX_Reset(board_);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), 1504) << "mapping off: raw counts";
}

TEST_F(MappedPositions, OtherAxesAreReadAndPresetAsWithoutMapping) {
  LoadGrid(std::vector<double>(9, 4.0), std::vector<double>(9, -2.0));
  SetRegister(2, 36, 100);
  EXPECT_EQ(QUORVA_MC_GetCount_A(board_, 2), 100);
  QUORVA_MC_SetCount_A(board_, 2, 50);
  EXPECT_REQUESTS({"630(2, 36, *)", "610(2, 36, 50)"});
}

// A smoothly varying table: every preset on a mapped axis reads back as set.
TEST_F(MappedPositions, SettersWriteTheRawCountWhoseMappedValueIsRequested) {
  std::vector<double> dx(9);
  std::vector<double> dy(9);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      dx[i * 3 + j] = 3.0 * i - 1.5 * j;
      dy[i * 3 + j] = -2.0 + 2.5 * j + i;
    }
  }
  LoadGrid(dx, dy);
  context_->unitDistance[0] = 10;
  context_->unitDistance[1] = 10;
  context_->inOutRatio[1] = 2;
  SetRegister(1, 35, 1200);
  QUORVA_MC_SetPosition_C(board_, 0, 130.0);
  EXPECT_NE(Register(0, 35), 1300u) << "the correction is applied";
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 0), 130.0);
  EXPECT_DOUBLE_EQ(context_->moveTargetPos[0], static_cast<int>(Register(0, 35)));
  for (int count : {0, 1, 999, 1000, 1777, 2000, 2500, -40}) {
    QUORVA_MC_SetCount_C(board_, 1, count);
    EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), count) << count;
    QUORVA_MC_SetCount_A(board_, 0, count);
    EXPECT_EQ(QUORVA_MC_GetCount_A(board_, 0), count) << count;
  }
  SetRegister(0, 36, 800);
  QUORVA_MC_SetPosition_A(board_, 1, 61.0);  // 61 x 10 / 2 = 305 mapped pulses
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_A(board_, 1), 61.0);
  const GantryPoint mapped = InverseGantryCorrection(*context_, 800, Register(1, 36));
  EXPECT_DOUBLE_EQ(mapped.y, 305.0);
}

}  // namespace
}  // namespace quorva
