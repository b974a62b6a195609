#include <vector>

#include "sim_test.h"

namespace quorva {
namespace {

constexpr int kAnalogBoard = 1;  // A101: 2 analog outputs, 4 counters

class AnalogOutput : public test::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    board_ = Load(0xA101);
  }
  unsigned OutputCode(int channel) {
    unsigned code = 0;
    EXPECT_EQ(QUORVA_SIM_GetAnalogOutput(kAnalogBoard, channel, &code), 0);
    return code;
  }
  QUORVA_HANDLE board_ = nullptr;
};

TEST_F(AnalogOutput, VoltsBecomeTwelveBitCodes) {
  EXPECT_EQ(QUORVA_DA_Out(board_, 1, 0.0f), 1);
  EXPECT_EQ(QUORVA_DA_Out(board_, 1, 10.0f), 1);
  EXPECT_EQ(QUORVA_DA_Out(board_, 1, -10.0f), 1);
  EXPECT_EQ(QUORVA_DA_Out(board_, 0, 2.5f), 1);
  EXPECT_REQUESTS({"400(1, 2047)", "400(1, 4095)", "400(1, 0)", "400(0, 2559)"});
  EXPECT_EQ(OutputCode(1), 0u);
  EXPECT_EQ(OutputCode(0), 2559u);
  EXPECT_EQ(QUORVA_DA_Out(QUORVA_INVALID_HANDLE, 0, 1.0f), 0);
}

TEST_F(AnalogOutput, WaveformStartChecksItsArguments) {
  std::vector<float> samples(4097, 0.0f);
  EXPECT_EQ(QUORVA_WFM_Start(board_, 0, samples.data(), 1, 1000, 0), 0);
  EXPECT_EQ(QUORVA_WFM_Start(board_, 0, samples.data(), 4097, 1000, 0), 0);
  EXPECT_EQ(QUORVA_WFM_Start(board_, 0, samples.data(), 16, 0, 0), 0);
  EXPECT_EQ(QUORVA_WFM_Start(board_, 0, nullptr, 16, 1000, 0), 0);
  EXPECT_EQ(QUORVA_WFM_Reload(board_, 0, samples.data(), 1), 0);
  EXPECT_EQ(QUORVA_WFM_RateChange(board_, 0, 0), 0);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
  EXPECT_EQ(QUORVA_WFM_Start(board_, 0, samples.data(), 4096, 1000, 0), 1000);
  EXPECT_REQUESTS({"410(0, *, 4096, 1000, 0, *)"});
  EXPECT_EQ(QUORVA_WFM_Reload(board_, 0, samples.data(), 4096), 1);
  EXPECT_EQ(QUORVA_WFM_Start(board_, 2, samples.data(), 16, 1000, 0), 0) << "no third output";
  EXPECT_EQ(QUORVA_WFM_Start(QUORVA_INVALID_HANDLE, 0, samples.data(), 16, 1000, 0), 0);
  EXPECT_EQ(QUORVA_WFM_Reload(QUORVA_INVALID_HANDLE, 0, samples.data(), 16), 0);
}

TEST_F(AnalogOutput, WaveformPositionAndLoopsAdvanceAtItsRate) {
  const float samples[] = {-10.0f, 0.0f, 5.0f, 10.0f};
  ASSERT_EQ(QUORVA_WFM_Start(board_, 1, samples, 4, 1000, 0), 1000);
  QUORVA_SIM_AdvanceTime(0.0105);  // 10 samples and a half
  EXPECT_EQ(QUORVA_WFM_GetCurPos(board_, 1), 2);
  EXPECT_EQ(QUORVA_WFM_GetCurLoops(board_, 1), 2);
  EXPECT_EQ(OutputCode(1), 3071u) << "5 V";
  EXPECT_EQ(QUORVA_WFM_RateChange(board_, 1, 2000), 2000);
  QUORVA_SIM_AdvanceTime(0.002);  // 4 more samples
  EXPECT_EQ(QUORVA_WFM_GetCurPos(board_, 1), 2);
  EXPECT_EQ(QUORVA_WFM_GetCurLoops(board_, 1), 3);
  EXPECT_EQ(QUORVA_WFM_Stop(board_, 1), 1);
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_EQ(QUORVA_WFM_GetCurLoops(board_, 1), 3) << "stopped";
  EXPECT_EQ(OutputCode(1), 3071u) << "holds its sample";
}

TEST_F(AnalogOutput, WaveformWithLoopCountEndsOnItsLastSample) {
  const float samples[] = {-10.0f, 0.0f, 5.0f, 10.0f};
  ASSERT_EQ(QUORVA_WFM_Start(board_, 0, samples, 4, 1000, 3), 1000);
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_EQ(QUORVA_WFM_GetCurLoops(board_, 0), 3);
  EXPECT_EQ(QUORVA_WFM_GetCurPos(board_, 0), 3);
  EXPECT_EQ(OutputCode(0), 4095u);
  const float ramp[] = {1.0f, 2.0f};
  EXPECT_EQ(QUORVA_WFM_Reload(board_, 0, ramp, 2), 1);
  EXPECT_EQ(QUORVA_WFM_GetCurLoops(board_, 0), 0) << "reload starts from position 0";
}

TEST_F(AnalogOutput, CountersCountInSimulatedTimeAndClear) {
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_EQ(QUORVA_ReadCounter32(board_, 1), 2000u);  // 2 kHz, plus a request quantum
  EXPECT_REQUESTS({"500(1, *, *)"});
  EXPECT_EQ(QUORVA_ClearCounter32(board_, 1), 1);
  QUORVA_SIM_AdvanceTime(0.5);
  EXPECT_EQ(QUORVA_ReadCounter32(board_, 1), 1000u);
  EXPECT_EQ(QUORVA_ClearCounter32(board_, 9), 0) << "the driver's error code is negative";
  EXPECT_EQ(QUORVA_ReadCounter32(board_, 9), 0u);
}

TEST_F(AnalogOutput, CountersWrapAtThirtyTwoBits) {
  ASSERT_EQ(QUORVA_SIM_SetCounterRate(kAnalogBoard, 0, 1e9), 0);
  QUORVA_ClearCounter32(board_, 0);
  QUORVA_SIM_AdvanceTime(5.0);
  EXPECT_EQ(
      QUORVA_ReadCounter32(board_, 0),
      static_cast<unsigned>((5'000'000'000ull + QUORVA_SIM_REQUEST_QUANTUM_NS) % (1ull << 32)))
      << "1 count per ns: 5 s and the read request's quantum";
}

TEST_F(AnalogOutput, RefusedClearIsNoSuccess) {
  ASSERT_EQ(QUORVA_SIM_RefuseCommand(510), 0);
  EXPECT_EQ(QUORVA_ClearCounter32(board_, 0), 0);
  EXPECT_EQ(QUORVA_ClearCounter32(QUORVA_INVALID_HANDLE, 0), 0);
}

}  // namespace
}  // namespace quorva
