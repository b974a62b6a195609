#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

class SpeedSettings : public test::MotionBoardTest {};

TEST_F(SpeedSettings, OutputFormatKeepsTheOtherBitsAndReportsHighCodesAsFive) {
  QUORVA_SIM_SetAxisRegister(0, 2, 28, 0xA5A5A5A0u);
  const struct {
    int set;
    std::uint32_t stored;
    int reported;
  } cases[] = {{0, 0, 0}, {4, 4, 4}, {5, 7, 5}, {6, 7, 5}, {100, 7, 5}, {-3, 5, 5}, {-8, 0, 0}};
  for (const auto& c : cases) {
    QUORVA_MC_SetOutputMode(board_, 2, c.set);
    EXPECT_EQ(Reg(2, 28), 0xA5A5A5A0u | c.stored) << c.set;
    EXPECT_EQ(QUORVA_MC_GetOutputMode(board_, 2), c.reported) << c.set;
  }
}

TEST_F(SpeedSettings, InputModeFieldsRoundTrip) {
  QUORVA_SIM_SetAxisRegister(0, 1, 29, 0xFF8FFFFFu);
  QUORVA_MC_SetInputMode(board_, 1, 6, 3);  // mode 2, reversed
  EXPECT_EQ(Reg(1, 29), 0xFFAFFFFFu | (1u << 22));
  int mode = -1;
  int reverse = -1;
  QUORVA_MC_GetInputMode(board_, 1, &mode, &reverse);
  EXPECT_EQ(mode, 2);
  EXPECT_EQ(reverse, 1);
  QUORVA_MC_GetInputMode(board_, 1, nullptr, &reverse);
  QUORVA_MC_GetInputMode(board_, 8, &mode, &reverse);
  EXPECT_EQ(mode, 0) << "an axis beyond the board reads 0";
  EXPECT_EQ(QUORVA_MC_GetOutputMode(board_, 8), 0);
}

TEST_F(SpeedSettings, UnitFactorsReplaceZeroAndDefaultWithoutAMotionBoard) {
  QUORVA_MC_SetUnitDistance(board_, 0, 0.0);
  EXPECT_EQ(QUORVA_MC_GetUnitDistance(board_, 0), 1.0);
  QUORVA_MC_SetUnitSpeed(board_, 3, 0.0);
  EXPECT_EQ(QUORVA_MC_GetUnitSpeed(board_, 3), 1.0);
  QUORVA_MC_SetUnitDistance(board_, 0, 250.0);
  EXPECT_EQ(QUORVA_MC_GetUnitDistance(board_, 0), 250.0);
  QUORVA_MC_SetInOutRatio(board_, 0, 0.0);
  EXPECT_EQ(QUORVA_MC_GetInOutRatio(board_, 0), 0.0) << "a zero ratio is kept";
  QUORVA_MC_SetPosSrc(board_, 4, 2);
  EXPECT_EQ(context_->posSource[4], 2);

  QUORVA_HANDLE daq = QUORVA_LoadDevice(0xA101, 0);
  ASSERT_NE(daq, QUORVA_INVALID_HANDLE);
  EXPECT_EQ(QUORVA_MC_GetUnitDistance(daq, 0), 1.0);
  EXPECT_EQ(QUORVA_MC_GetUnitSpeed(daq, 0), 1.0);
  EXPECT_EQ(QUORVA_MC_GetInOutRatio(daq, 0), 1.0);
  EXPECT_EQ(QUORVA_MC_MapAxes(daq, 0, 3), 0);
}

TEST_F(SpeedSettings, AxesOutsideTheTablesAreIgnored) {
  for (int axis : {-1, 8, 1000}) {
    QUORVA_MC_SetUnitDistance(board_, axis, 5);
    QUORVA_MC_SetSpeed(board_, axis, 1, 2);
    QUORVA_MC_SetAccel(board_, axis, 1, 2);
    QUORVA_MC_SetSpeedRange(board_, axis, 1000);
    QUORVA_MC_SetSpeedMode(board_, axis, 1);
    EXPECT_EQ(QUORVA_MC_GetUnitDistance(board_, axis), 1.0);
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(SpeedSettings, SpeedsAreLimitedToTheRangeOfTheResolution) {
  QUORVA_MC_SetSpeed(board_, 0, 1.0, 1e7);
  EXPECT_EQ(context_->startSpeed[0], 10.0);
  EXPECT_EQ(context_->workSpeed[0], 655350.0);
  QUORVA_MC_SetUnitSpeed(board_, 0, 2.0);
  QUORVA_MC_SetSpeed(board_, 0, 50, 400);
  EXPECT_EQ(context_->startSpeed[0], 100.0);
  EXPECT_EQ(context_->workSpeed[0], 800.0);
}

// A negative speed would wrap to the fastest step count of its register: the axis would run at
// the top of its range. Such a speed, or one that is not finite, is ignored after its trace
// line, and a move runs at the speed set before.
TEST_F(SpeedSettings, NegativeOrNonFiniteSpeedsAreIgnoredAndMovesKeepTheSpeedSetBefore) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::string path = test::TempPath("motion.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
  QUORVA_MC_SetSpeedRange(board_, 0, 100000);
  QUORVA_MC_SetSpeed(board_, 0, 10, 500);
  const double resolution = context_->speedResolution[0];
  const struct {
    double start;
    double work;
  } refused[] = {{10, -5}, {-1, 500}, {10, nan}, {nan, 500}, {10, inf}, {10, -inf}};
  for (const auto& r : refused) {
    QUORVA_MC_SetSpeed(board_, 0, r.start, r.work);
    EXPECT_EQ(context_->startSpeed[0], 10.0) << r.start << " " << r.work;
    EXPECT_EQ(context_->workSpeed[0], 500.0) << r.start << " " << r.work;
  }
  QUORVA_MC_SetUnitSpeed(board_, 0, -1.0);
  QUORVA_MC_SetSpeed(board_, 0, 10, 500);
  EXPECT_EQ(context_->workSpeed[0], 500.0) << "negative in pulses per second";
  QUORVA_MC_SetUnitSpeed(board_, 0, 1.0);

  QUORVA_MC_StartVMove(board_, 0, 1);
  QUORVA_SIM_AdvanceTime(0.1);
  EXPECT_EQ(Reg(0, 2), static_cast<unsigned>(500 / resolution));
  QUORVA_SIM_AXIS_STATE state{};
  QUORVA_SIM_GetAxisState(0, 0, &state);
  EXPECT_NEAR(state.speed, 500, resolution);
  QUORVA_MC_EmgStop(board_, 0);

  const std::string log = test::ReadFile(path);
  EXPECT_NE(log.find(", 0, 10.000, -5.000)"), std::string::npos) << "traced, then ignored";
  EXPECT_NE(log.find(", 0, 10.000, nan)"), std::string::npos) << log;
}

TEST_F(SpeedSettings, MapSpeedsIgnoreANegativeOrNonFiniteSpeed) {
  QUORVA_MC_SetSpeedMx2(board_, 0, 300, 40, 50);
  for (double speed : {-300.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
    QUORVA_MC_SetSpeedMx(board_, 0, speed, 70);
    QUORVA_MC_SetSpeedMx2(board_, 0, speed, 70, 80);
    EXPECT_EQ(context_->mapWorkSpeed[0], 300.0) << speed;
    EXPECT_EQ(context_->mapAccel[0], 40.0) << "the whole call is ignored";
    EXPECT_EQ(context_->mapDecel[0], 50.0);
  }
}

TEST_F(SpeedSettings, SpeedRangeSetsTheResolutionAndItsRegisters) {
  QUORVA_MC_SetSpeedRange(board_, 0, 65535.0);
  EXPECT_REQUESTS({"610(0, 5, 299)", "610(0, 27, 100)"});
  EXPECT_EQ(context_->speedResolution[0], 1.0);
  double low = 0;
  double high = 0;
  QUORVA_MC_GetSpeedRange(board_, 0, &low, &high);
  EXPECT_EQ(low, 1.0);
  EXPECT_EQ(high, 65535.0);

  QUORVA_MC_SetUnitSpeed(board_, 0, 10.0);
  QUORVA_MC_SetSpeedRange(board_, 0, 65535.0);  // 655350 pps
  EXPECT_EQ(context_->maxSpeed[0], 655350.0);
  EXPECT_EQ(context_->speedResolution[0], 10.0);
  QUORVA_MC_GetSpeedRange(board_, 0, nullptr, &high);
  EXPECT_EQ(high, 65535.0) << "reported in user units";
}

TEST_F(SpeedSettings, SpeedRangeWithoutAPositiveFiniteSpeedIsIgnored) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double v : {0.0, -0.0, -65535.0, nan, inf, -inf}) {
    QUORVA_MC_SetSpeedRange(board_, 0, v);
    EXPECT_EQ(context_->speedResolution[0], 10.0) << v;
    EXPECT_EQ(context_->maxSpeed[0], 655350.0) << v;
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(SpeedSettings, SpeedRangeBeyondTheMagnificationsIsLimitedToThem) {
  QUORVA_MC_SetSpeedRange(board_, 0, 1e-300);  // the finest magnification
  EXPECT_EQ(Reg(0, 5), 4095u);
  EXPECT_EQ(context_->speedResolution[0], 300.0 / 4096);
  QUORVA_MC_SetSpeedRange(board_, 0, 1e9);  // the coarsest
  EXPECT_EQ(Reg(0, 5), 1u);
  EXPECT_EQ(context_->speedResolution[0], 150.0);
}

TEST_F(SpeedSettings, AccelerationKeepsThePreviousDeceleration) {
  QUORVA_MC_SetUnitSpeed(board_, 0, 3.0);
  QUORVA_MC_SetAccel(board_, 0, 10, 100);
  QUORVA_MC_SetAccel(board_, 0, 20, 200);
  EXPECT_EQ(context_->accel[0], 60.0);
  EXPECT_EQ(context_->prevDecel[0], 300.0);
  EXPECT_EQ(context_->decel[0], 600.0);
  QUORVA_MC_SetScurve(board_, 0, 5, 6);
  EXPECT_EQ(context_->scurveAccel[0], 0.0);
  EXPECT_EQ(context_->scurveDecel[0], 0.0);
}

TEST_F(SpeedSettings, MapsAcceptZeroToEightAndTenAndUseTheirLowestAxisUnits) {
  EXPECT_EQ(QUORVA_MC_MapAxes(board_, 9, 3), 0);
  EXPECT_EQ(QUORVA_MC_MapAxes(board_, 11, 3), 0);
  EXPECT_EQ(QUORVA_MC_MapAxes(board_, -1, 3), 0);
  EXPECT_EQ(QUORVA_MC_MapAxes(board_, 10, 3), 1);
  EXPECT_EQ(context_->mapAxisMask[10], 3u);
  QUORVA_MC_SetSpeedModeMx(board_, 15, 1);
  EXPECT_EQ(context_->mapSpeedMode[10], 1);
  QUORVA_MC_SetSpeedModeMx(board_, -4, 2);
  EXPECT_EQ(context_->mapSpeedMode[0], 2);

  QUORVA_MC_SetUnitSpeed(board_, 1, 4.0);
  QUORVA_MC_SetUnitSpeed(board_, 2, 9.0);
  ASSERT_EQ(QUORVA_MC_MapAxes(board_, 3, 0x6), 1);
  QUORVA_MC_SetSpeedMx(board_, 3, 100, 50);
  EXPECT_EQ(context_->mapWorkSpeed[3], 400.0);
  EXPECT_EQ(context_->mapAccel[3], 200.0);
  EXPECT_EQ(context_->mapDecel[3], 200.0);
  QUORVA_MC_SetSpeedMx2(board_, 3, 100, 50, 25);
  EXPECT_EQ(context_->mapDecel[3], 100.0);
  QUORVA_MC_SetSpeedMx(board_, 5, 100, 50);  // no axes: unit 1
  EXPECT_EQ(context_->mapWorkSpeed[5], 100.0);
}

TEST_F(SpeedSettings, TraceLinesUseTheirFormatsAndLevels) {
  const std::string path = test::TempPath("motion.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
  QUORVA_MC_SetUnitDistance(board_, 1, 2.5);
  QUORVA_MC_SetSpeed(board_, 1, 10, 2000);
  QUORVA_MC_GetUnitDistance(board_, 1);  // level 2: not written at level 1
  int flag = 0;
  QUORVA_MC_GetMioCfgDR(board_, 1, &flag);  // level 1
  QUORVA_MC_GetMioCfgALM(board_, 1, &flag, nullptr);
  QUORVA_MC_SetCorrection(board_, 1, 2, 0.5, 10, 0xC);
  QUORVA_EnableDebugLog(board_, path.c_str(), 0);

  char h[32];
  std::snprintf(h, sizeof h, "0x%x",
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(board_)));
  const std::string log = test::ReadFile(path);
  const std::string hs = h;
  EXPECT_NE(log.find("QUORVA_MC_SetUnitDistance(" + hs + ", 1, 2.50)"), std::string::npos) << log;
  EXPECT_NE(log.find("QUORVA_MC_SetSpeed(" + hs + ", 1, 10.000, 2000.000)"), std::string::npos);
  EXPECT_NE(log.find("QUORVA_MC_GetMioCfgDR(" + hs + ", 1, 0x"), std::string::npos);
  EXPECT_NE(log.find("QUORVA_MC_SetCorrection(" + hs + ", 1, 2, 0.500, 10.000, c)"),
            std::string::npos);
  EXPECT_EQ(log.find("GetUnitDistance"), std::string::npos);
  EXPECT_EQ(log.find("GetMioCfgALM"), std::string::npos);
}

}  // namespace
}  // namespace quorva
