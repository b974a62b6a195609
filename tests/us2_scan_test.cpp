#include <vector>

#include "scan_test.h"

namespace quorva {
namespace {

constexpr int kChannels[] = {1, 3};
constexpr int kChannelCount = 2;
constexpr int kEndless = 1;

class Us2Scan : public test::ScanTest {
 protected:
  // 100 kHz into rings of 12288 scans, stopped after five transfers: the rings hold scans
  // 8193-20480, scan 12289 at their start.
  void RunAndStop() {
    ASSERT_EQ(QUORVA_US2_Start(board_, kChannelCount, kChannels, 100000, kEndless, 12288),
              100000.0);
    Started(100000.0);
    QUORVA_SIM_AdvanceTime(0.204795);
    QUORVA_US2_Stop(board_, 0);
    ASSERT_EQ(QUORVA_US2_DmaCount(board_), 5u);
    test::ClearLog();
  }
};

TEST_F(Us2Scan, StartReportsTheActualScanFrequency) {
  EXPECT_EQ(QUORVA_US2_Start(board_, kChannelCount, kChannels, 8'000'000, kEndless, 4096),
            10'000'000.0);
  EXPECT_REQUESTS({"110(2, *, 8000000, 1, 4096, *, *)"});
  QUORVA_US2_Stop(board_, 0);
  EXPECT_EQ(QUORVA_US2_Start(board_, kChannelCount, kChannels, 12'000'000, kEndless, 4096),
            20'000'000.0);
  QUORVA_US2_Stop(board_, 0);
  EXPECT_EQ(QUORVA_US2_Start(board_, kChannelCount, kChannels, 3000, kEndless, 4096),
            10'000'000.0 / 3333);
  EXPECT_EQ(QUORVA_US2_ChangeScanFreq(board_, 5'000'000), 5'000'000.0);
  EXPECT_EQ(QUORVA_US2_ChangeScanFreq(board_, 0), 0.0) << "no divider reported";
  const int badList[] = {1, 99};
  QUORVA_US2_Stop(board_, 0);
  EXPECT_EQ(QUORVA_US2_Start(board_, 2, badList, 1000, kEndless, 4096), 0.0);
  EXPECT_EQ(QUORVA_US2_Start(QUORVA_INVALID_HANDLE, 2, kChannels, 8'000'000, kEndless, 4096), 0.0);
  EXPECT_EQ(QUORVA_US2_ChangeScanFreq(QUORVA_INVALID_HANDLE, 8'000'000), 0.0);
}

TEST_F(Us2Scan, CountAdvancesInWholeTransfers) {
  ASSERT_GT(QUORVA_US2_Start(board_, kChannelCount, kChannels, 100000, kEndless, 8192), 0.0);
  QUORVA_SIM_AdvanceTime(0.04);
  EXPECT_EQ(QUORVA_US2_DmaCount(board_), 0u) << "4000 scans: no transfer complete";
  EXPECT_EQ(QUORVA_US2_IsBufFull(board_), 0);
  QUORVA_SIM_AdvanceTime(0.01);
  EXPECT_EQ(QUORVA_US2_DmaCount(board_), 1u);
  QUORVA_SIM_AdvanceTime(0.04);
  EXPECT_EQ(QUORVA_US2_DmaCount(board_), 2u);
  EXPECT_EQ(QUORVA_US2_IsBufFull(board_), 1);
  test::ClearLog();
  std::uint16_t digit = 0;
  EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, 0, 8192, 1, &digit, 0), 1);
  EXPECT_REQUESTS({"120(0, *)", "160(*, *, *)", "150(*)"});
}

TEST_F(Us2Scan, PauseResumeAndMaximumScanCount) {
  ASSERT_GT(QUORVA_US2_Start(board_, kChannelCount, kChannels, 100000, kEndless, 8192), 0.0);
  QUORVA_SIM_AdvanceTime(0.05);
  EXPECT_EQ(QUORVA_US2_Pause(board_), 1);
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_EQ(QUORVA_US2_DmaCount(board_), 1u) << "paused";
  EXPECT_EQ(QUORVA_US2_Resume(board_), 1);
  QUORVA_SIM_AdvanceTime(0.04);
  EXPECT_EQ(QUORVA_US2_DmaCount(board_), 2u);
  EXPECT_EQ(QUORVA_US2_ChangeMaxScan(board_, 9000), 1);  // rounded up to 12288
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_EQ(QUORVA_US2_DmaCount(board_), 3u);
  ASSERT_GT(QUORVA_US2_Start(board_, kChannelCount, kChannels, 100000, kEndless, 8192), 0.0)
      << "a scan that reached its maximum leaves the engine free";
}

TEST_F(Us2Scan, OneShotScanStopsWhenTheRingsAreFull) {
  ASSERT_GT(QUORVA_US2_Start(board_, kChannelCount, kChannels, 100000, 0, 5000), 0.0);
  QUORVA_SIM_AdvanceTime(2.0);
  EXPECT_EQ(QUORVA_US2_DmaCount(board_), 2u) << "5000 scans round up to two transfers";
  EXPECT_EQ(QUORVA_US2_IsBufFull(board_), 1);
  test::ClearLog();
  EXPECT_EQ(QUORVA_US2_SBPos(board_, 8193), 0);
  EXPECT_REQUESTS({"160(*, 0, *)"});
  EXPECT_EQ(QUORVA_US2_SBPos(board_, 0), 0);
  EXPECT_EQ(QUORVA_US2_SBPos(board_, 100), 99);
}

TEST_F(Us2Scan, ScansConvertAtTheirTimesAcrossAPause) {
  ASSERT_GT(QUORVA_US2_Start(board_, kChannelCount, kChannels, 100000, kEndless, 8192), 0.0);
  Started(100000.0);
  QUORVA_SIM_AdvanceTime(0.03);
  QUORVA_US2_Pause(board_);  // 3001 scans converted, none transferred
  QUORVA_SIM_AdvanceTime(0.5);
  QUORVA_US2_Resume(board_);
  QUORVA_SIM_AdvanceTime(0.02);
  ASSERT_EQ(QUORVA_US2_DmaCount(board_), 1u);
  std::uint16_t digits[3000];
  ASSERT_EQ(QUORVA_US2_RetrvChannel(board_, 1, 1, 3000, digits, 0), 3000);
  for (int s = 1; s <= 3000; ++s)
    ASSERT_EQ(digits[s - 1], Digit(kChannels[1], s)) << "scan " << s << " before the pause";
}

TEST_F(Us2Scan, RingWordsCarryTheChannelAboveTheDigitAndRetrievalMasksIt) {
  RunAndStop();
  const std::uint16_t* ring = QUORVA_US2_GetBuffer(board_, 1);
  ASSERT_NE(ring, nullptr);
  EXPECT_EQ(QUORVA_US2_GetBuffer(board_, kChannelCount), nullptr);
  for (int s = 8193; s <= 20480; s += 97) {
    const unsigned digit = Digit(kChannels[1], s);
    ASSERT_EQ(ring[QUORVA_US2_SBPos(board_, s)], 0x3000 | digit) << "scan " << s;
    ASSERT_EQ(QUORVA_US2_RetrvOne(board_, 1, s), Volts(digit)) << "scan " << s;
  }
  test::ClearLog();
  QUORVA_US2_RetrvOne(board_, 1, 9000);
  EXPECT_REQUESTS({"120(1, *)", "160(*, *, *)", "20(3, *, *, *, *)"});
}

TEST_F(Us2Scan, RetrvChannelReadsAcrossTheWrapInEveryType) {
  RunAndStop();
  // Scans 11000-13999: ring positions 10999-12287, then 0-1711.
  constexpr int kCount = 3000;
  std::vector<std::uint16_t> digits(kCount);
  std::vector<float> floats(kCount);
  std::vector<double> doubles(kCount);
  for (int k = 0; k < kChannelCount; ++k) {
    EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, k, 11000, kCount, digits.data(), 0), kCount);
    EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, k, 11000, kCount, floats.data(), 1), kCount);
    EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, k, 11000, kCount, doubles.data(), 2), kCount);
    for (int r = 0; r < kCount; ++r) {
      const unsigned digit = Digit(kChannels[k], 11000 + r);
      ASSERT_EQ(digits[r], digit) << "index " << k << " scan " << 11000 + r;
      ASSERT_EQ(floats[r], Volts(digit)) << "index " << k << " scan " << 11000 + r;
      ASSERT_EQ(doubles[r], static_cast<double>(Volts(digit))) << "scan " << 11000 + r;
    }
  }
  EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, 0, 20470, 100, digits.data(), 0), 11);
  EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, 0, 0, 2, digits.data(), 0), 2) << "start 0 is 1";
}

TEST_F(Us2Scan, NullDestinationsAndForeignIndicesRetrieveNothing) {
  RunAndStop();
  std::uint16_t digits[4] = {0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF};
  EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, 0, 9000, 4, nullptr, 0), 0);
  EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, kChannelCount, 9000, 4, digits, 0), 0);
  EXPECT_EQ(QUORVA_US2_RetrvChannel(board_, -3, 9000, 4, digits, 2), 0);
  EXPECT_EQ(QUORVA_US2_RetrvOne(board_, 5, 9000), 0.0f);
  EXPECT_EQ(digits[0], 0xBEEF);
}

TEST_F(Us2Scan, RingsStayValidUntilReleased) {
  RunAndStop();
  const std::uint16_t* old = QUORVA_US2_GetBuffer(board_, 0);
  const std::uint16_t word = old[5];
  ASSERT_GT(QUORVA_US2_Start(board_, 1, kChannels, 100000, kEndless, 4096), 0.0);
  QUORVA_SIM_AdvanceTime(0.2);
  EXPECT_EQ(QUORVA_US2_DmaCount(board_), 4u);
  EXPECT_EQ(old[5], word);
  EXPECT_EQ(QUORVA_US2_ReleaseBuf(board_), 1);
  EXPECT_EQ(QUORVA_US2_GetBuffer(board_, 0), nullptr);
  EXPECT_EQ(QUORVA_US2_RetrvOne(board_, 0, 1), 0.0f);
}

TEST_F(Us2Scan, TriggerEventSendsLevelAndPercentageCodes) {
  EXPECT_EQ(QUORVA_US2_SetTriggerEvent(board_, 1, 2, 3, 0.0f, 50.0f), 1);
  EXPECT_REQUESTS({"108(1, 2, 3, 2010, 2048)"});
}

TEST_F(Us2Scan, InvalidHandleSendsNothing) {
  EXPECT_EQ(QUORVA_US2_SetTriggerEvent(QUORVA_INVALID_HANDLE, 1, 2, 3, 0.0f, 50.0f), 0);
  EXPECT_EQ(QUORVA_US2_Pause(QUORVA_INVALID_HANDLE), 0);
  EXPECT_EQ(QUORVA_US2_Resume(QUORVA_INVALID_HANDLE), 0);
  EXPECT_EQ(QUORVA_US2_ChangeMaxScan(QUORVA_INVALID_HANDLE, 10), 0);
  EXPECT_EQ(QUORVA_US2_Stop(QUORVA_INVALID_HANDLE, 0), 0);
  EXPECT_EQ(QUORVA_US2_GetBuffer(QUORVA_INVALID_HANDLE, 0), nullptr);
  EXPECT_EQ(QUORVA_US2_ReleaseBuf(QUORVA_INVALID_HANDLE), 0);
  EXPECT_EQ(QUORVA_US2_DmaCount(QUORVA_INVALID_HANDLE), 0u);
  EXPECT_EQ(QUORVA_US2_IsBufFull(QUORVA_INVALID_HANDLE), 0);
  EXPECT_EQ(QUORVA_US2_SBPos(QUORVA_INVALID_HANDLE, 5), 0);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

}  // namespace
}  // namespace quorva
