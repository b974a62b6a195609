#include <cmath>
#include <limits>
#include <numbers>

#include "daq/volt_codes.h"
#include "sim_test.h"

namespace quorva {
namespace {

constexpr int kAnalogBoard = 1;  // A101 in the fixture's board list

class AnalogInput : public test::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    board_ = Load(0xA101);
  }
  void SetConstant(int channel, double volts) {
    ASSERT_EQ(QUORVA_SIM_SetAnalogSignal(kAnalogBoard, channel, QUORVA_SIM_SIGNAL_CONSTANT, 0, 0,
                                         volts, 0),
              0);
  }
  QUORVA_HANDLE board_ = nullptr;
};

TEST_F(AnalogInput, RangeLimitsConvertToTheirVolts) {
  SetConstant(3, -10.0);
  SetConstant(4, 10.0);
  EXPECT_EQ(QUORVA_AD_GetDigit(board_, 3), 0);
  EXPECT_EQ(QUORVA_AD_GetDigit(board_, 4), 4095);
  test::ClearLog();
  EXPECT_EQ(QUORVA_AD_GetVolt(board_, 3), -10.0f);
  EXPECT_REQUESTS({"30(3, *)", "20(3, *, *, *, *)"});
  EXPECT_EQ(QUORVA_AD_GetVolt(board_, 4), 10.0f);
}

TEST_F(AnalogInput, SetRangeTruncatesTheLimitsAndVoltsFollowTheRange) {
  EXPECT_EQ(QUORVA_AD_SetRange(board_, 2, -5.7f, 5.9f), 1);
  EXPECT_REQUESTS({"15(2, -5, 5)"});
  SetConstant(2, 2.5);
  const int digit = QUORVA_AD_GetDigit(board_, 2);
  EXPECT_EQ(digit, 3071);  // (2.5 + 5) / 10 of 4095, rounded
  EXPECT_EQ(QUORVA_AD_GetVolt(board_, 2), static_cast<float>(digit) * 10.0f / 4095.0f - 5.0f);
}

TEST_F(AnalogInput, DifferentialInputTypeMeasuresChannelPairs) {
  SetConstant(0, 3.0);
  SetConstant(16, 1.0);
  EXPECT_EQ(QUORVA_AD_SetInputType(board_, 1), 1);
  int type = -1;
  QUORVA_SIM_GetAnalogInputType(kAnalogBoard, &type);
  EXPECT_EQ(type, 1);
  EXPECT_NEAR(QUORVA_AD_GetVolt(board_, 0), 2.0f, 0.005f);
  EXPECT_EQ(QUORVA_AD_SetInputType(board_, 7), 0) << "the driver refuses an unknown type";
  EXPECT_EQ(QUORVA_AD_SetInputType(board_, 0), 1);
  EXPECT_NEAR(QUORVA_AD_GetVolt(board_, 0), 3.0f, 0.005f);
}

TEST_F(AnalogInput, SignalsFollowSimulatedTime) {
  ASSERT_EQ(QUORVA_SIM_SetAnalogSignal(kAnalogBoard, 5, QUORVA_SIM_SIGNAL_SINE, 4.0, 2.0, 1.0, 0),
            0);
  for (double t : {0.1, 0.125, 0.3, 0.55}) {
    unsigned int digit = 0;
    ASSERT_EQ(QUORVA_SIM_GetAnalogDigit(kAnalogBoard, 5, t, &digit), 0);
    const double volts = 1.0 + 4.0 * std::sin(2 * std::numbers::pi * 2.0 * t);
    EXPECT_NEAR(digit, (volts + 10) / 20 * 4095, 0.5) << t;
  }
  EXPECT_EQ(QUORVA_SIM_SetAnalogSignal(kAnalogBoard, 5, 9, 0, 0, 0, 0), -1);
  EXPECT_EQ(QUORVA_SIM_SetAnalogSignal(kAnalogBoard, 32, 0, 0, 0, 0, 0), -1);
}

TEST_F(AnalogInput, InvalidHandleSendsNothingAndReturnsZero) {
  EXPECT_EQ(QUORVA_AD_SetRange(QUORVA_INVALID_HANDLE, 0, -1, 1), 0);
  EXPECT_EQ(QUORVA_AD_SetInputType(QUORVA_INVALID_HANDLE, 0), 0);
  EXPECT_EQ(QUORVA_AD_GetDigit(QUORVA_INVALID_HANDLE, 0), 0);
  EXPECT_EQ(QUORVA_AD_GetVolt(QUORVA_INVALID_HANDLE, 0), 0.0f);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST(VoltCodes, EqualDigitLimitsGiveTheLowerVoltInsteadOfDividingByZero) {
  const daq::VoltScale scale(daq::ChannelRange{100, 100, -3, 7});
  EXPECT_EQ(scale(100), -3.0f);
  EXPECT_EQ(scale(4000), -3.0f);
}

TEST(VoltCodes, DigitConversionIsSinglePrecisionWithIntegerDifferences) {
  const daq::ChannelRange range{-2048, 2047, -10, 10};
  const daq::VoltScale scale(range);
  for (std::uint32_t digit : {0u, 1u, 1234u, 2047u, 4095u}) {
    const float expected =
        static_cast<float>(static_cast<std::int32_t>(digit) + 2048) * 20.0f / 4095.0f - 10.0f;
    EXPECT_EQ(scale(digit), expected) << digit;
  }
}

TEST(VoltCodes, OutputAndTriggerCodesAreTruncatedAndLimited) {
  EXPECT_EQ(daq::AnalogOutputCode(0.0f), 2047u);
  EXPECT_EQ(daq::AnalogOutputCode(10.0f), 4095u);
  EXPECT_EQ(daq::AnalogOutputCode(-10.0f), 0u);
  EXPECT_EQ(daq::AnalogOutputCode(25.0f), 4095u);
  EXPECT_EQ(daq::AnalogOutputCode(-1e30f), 0u);
  EXPECT_EQ(daq::AnalogOutputCode(std::numeric_limits<float>::quiet_NaN()), 0u);
  EXPECT_EQ(daq::TriggerLevelCode(0.0f), 2010u);  // 2009.5 + 0.5
  EXPECT_EQ(daq::TriggerLevelCode(-10.0f), 0u);
  EXPECT_EQ(daq::TriggerLevelCode(-20.0f), 0u);
  EXPECT_EQ(daq::TriggerLevelCode(1e9f), 0xFFFFu);
  EXPECT_EQ(daq::TriggerPercentCode(50.0f), 2048u);
  EXPECT_EQ(daq::TriggerPercentCode(12.5f), 512u);
  EXPECT_EQ(daq::TruncateToInt(-5.7f), -5);
  EXPECT_EQ(daq::TruncateToInt(3e10f), std::numeric_limits<std::int32_t>::max());
}

}  // namespace
}  // namespace quorva
