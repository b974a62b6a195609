#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"
#include "sim_test.h"

namespace quorva {
namespace {

class BacklashCorrection : public test::MotionBoardTest {
 protected:
  void SetUp() override {
    MotionBoardTest::SetUp();
    QUORVA_SIM_SetAxisRegister(0, 0, 33, 0xABCD5555u);
    QUORVA_SIM_SetAxisRegister(0, 0, 30, 0x5A5A5A5Au);
  }
  static unsigned int Reg(int reg) { return MotionBoardTest::Reg(0, reg); }
};

TEST_F(BacklashCorrection, ZeroAmountWritesTheMethodAndControlCodes) {
  EXPECT_EQ(QUORVA_MC_SetCorrection(board_, 0, 2, 0.0, 10.0, 0x13), 1);
  EXPECT_REQUESTS(
      {"630(0, 33, *)", "610(0, 33, 0xABCD2000)", "630(0, 30, *)", "610(0, 30, 0x535A5A5A)"});
}

TEST_F(BacklashCorrection, AmountIsLimitedToTwelveBitsOfPulses) {
  QUORVA_MC_SetUnitDistance(board_, 0, 1000);
  EXPECT_EQ(QUORVA_MC_SetCorrection(board_, 0, 1, 4.0, 10.0, 0), 1);
  EXPECT_EQ(Reg(33), 0xABCD0000u | 4000u | 0x1000u);
  test::ClearLog();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double amount : {5.0, -0.002, nan, inf, -inf}) {
    EXPECT_EQ(QUORVA_MC_SetCorrection(board_, 0, 1, amount, 99.0, 0), 0) << amount;
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0) << "refused amounts change nothing";
  EXPECT_EQ(context_->correctionSpeed[0], 10.0);

  QUORVA_MC_SetUnitDistance(board_, 0, 1);
  EXPECT_EQ(QUORVA_MC_SetCorrection(board_, 0, 0, 4095.0, 10.0, 0), 1);
  EXPECT_EQ(QUORVA_MC_SetCorrection(board_, 0, 0, 4096.0, 10.0, 0), 0);
  EXPECT_EQ(QUORVA_MC_SetCorrection(board_, 0, 0, -0.5, 10.0, 0), 1) << "truncates to 0 pulses";
}

TEST_F(BacklashCorrection, NegativeOrNonFiniteSpeedIsRefused) {
  ASSERT_EQ(QUORVA_MC_SetCorrection(board_, 0, 0, 1.0, 50.0, 0), 1);
  test::ClearLog();
  for (double speed :
       {-50.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(QUORVA_MC_SetCorrection(board_, 0, 0, 2.0, speed, 0), 0) << speed;
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0);
  AxisProfilePrepare(board_, 0, *context_, 0, false, false, false);
  EXPECT_EQ(Reg(27), 5u) << "50 pps in steps of 10 pps, not a wrapped negative";
}

TEST_F(BacklashCorrection, SpeedReachesTheControllerAtTheNextPreparation) {
  QUORVA_MC_SetUnitSpeed(board_, 0, 2.0);
  ASSERT_EQ(QUORVA_MC_SetCorrection(board_, 0, 0, 1.0, 50.0, 0), 1);
  EXPECT_EQ(context_->correctionSpeed[0], 100.0);
  EXPECT_EQ(Reg(27), 0u) << "not written by the setting itself";
  AxisProfilePrepare(board_, 0, *context_, 0, false, false, false);
  EXPECT_EQ(Reg(27), 10u);
}

TEST_F(BacklashCorrection, RefusedWithoutAMotionBoardOrAnAxis) {
  QUORVA_HANDLE daq = QUORVA_LoadDevice(0xA101, 0);
  EXPECT_EQ(QUORVA_MC_SetCorrection(daq, 0, 0, 1.0, 1.0, 0), 0);
  EXPECT_EQ(QUORVA_MC_SetCorrection(board_, 8, 0, 1.0, 1.0, 0), 0);
  EXPECT_EQ(QUORVA_MC_SetCorrection(board_, -1, 0, 1.0, 1.0, 0), 0);
}

}  // namespace
}  // namespace quorva
