#include <cstring>
#include <vector>

#include "scan_test.h"

namespace quorva {
namespace {

constexpr int kChannels[] = {0, 5, 2, 7};
constexpr int kChannelCount = 4;
constexpr int kArraySize = 100;

class Us1Scan : public test::ScanTest {
 protected:
  // 250 scans at 1 kHz into a ring of 100, then stopped: the ring holds scans 151-250, scan 201
  // at its start.
  void RunAndStop() {
    ASSERT_EQ(QUORVA_US1_Start(board_, kChannelCount, kChannels, 1000, kArraySize, 0), 0);
    Started(1000.0);
    QUORVA_SIM_AdvanceTime(0.25);
    QUORVA_US1_Stop(board_, 0);
    ASSERT_EQ(QUORVA_US1_CurCount(board_), 250u);
    test::ClearLog();
  }
};

TEST_F(Us1Scan, StartSendsItsArgumentsAndCountsScansInSimulatedTime) {
  ASSERT_EQ(QUORVA_US1_Start(board_, kChannelCount, kChannels, 1000, kArraySize, 0), 0);
  EXPECT_REQUESTS({"80(4, *, 1000, 100, 0, *)"});
  QUORVA_SIM_AdvanceTime(0.0505);
  EXPECT_EQ(QUORVA_US1_CurCount(board_), 50u);
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_EQ(QUORVA_US1_CurCount(board_), 1050u) << "an endless scan wraps its ring";
  EXPECT_EQ(QUORVA_US1_ChangeScanFreq(board_, 2000), 2000);
  QUORVA_SIM_AdvanceTime(0.1);
  EXPECT_EQ(QUORVA_US1_CurCount(board_), 1250u);
  EXPECT_EQ(QUORVA_US1_ChangeScanFreq(board_, 3000), 3000) << "10 MHz / 3333, truncated";
  EXPECT_EQ(QUORVA_US1_ResetCount(board_), 1);
  EXPECT_EQ(QUORVA_US1_CurCount(board_), 0u);
}

TEST_F(Us1Scan, SampleBufferPositionsWrapWithTheRing) {
  ASSERT_EQ(QUORVA_US1_Start(board_, kChannelCount, kChannels, 1000, kArraySize, 0), 0);
  test::ClearLog();
  EXPECT_EQ(QUORVA_US1_SBPos(board_, 2, 1), 2);
  EXPECT_REQUESTS({"100(*, 0, *)"});
  EXPECT_EQ(QUORVA_US1_SBPos(board_, 2, kArraySize + 1), 2);
  EXPECT_EQ(QUORVA_US1_SBPos(board_, 1, 3), 9);
  EXPECT_EQ(QUORVA_US1_SBPos(board_, 3, 0), 3) << "scan 0 is taken as 1";
  EXPECT_EQ(QUORVA_US1_SBPos(board_, 3, -7), 3) << "so is a negative scan";
}

TEST_F(Us1Scan, StartFailuresReturnTheDriverCodeAndSetTheLastError) {
  const int badList[] = {0, 40};
  EXPECT_EQ(QUORVA_US1_Start(board_, 2, badList, 1000, 10, 0), QUORVA_SIM_SCAN_ERR_ARGUMENT);
  EXPECT_EQ(QUORVA_LastError(), QUORVA_SIM_SCAN_ERR_ARGUMENT);
  EXPECT_EQ(QUORVA_US1_Start(board_, kChannelCount, kChannels, 1000, 1 << 30, 0),
            QUORVA_SIM_SCAN_ERR_MEMORY);
  ASSERT_EQ(QUORVA_US1_Start(board_, kChannelCount, kChannels, 1000, kArraySize, 0), 0);
  EXPECT_EQ(QUORVA_US1_Start(board_, kChannelCount, kChannels, 1000, kArraySize, 0),
            QUORVA_SIM_SCAN_ERR_BUSY);
  EXPECT_EQ(QUORVA_LastError(), QUORVA_SIM_SCAN_ERR_BUSY);
  EXPECT_EQ(QUORVA_US1_Start(QUORVA_INVALID_HANDLE, 1, kChannels, 1000, 10, 0), 0);
}

TEST_F(Us1Scan, OneShotScanStopsWithAFullRingAndFreesTheEngine) {
  ASSERT_EQ(QUORVA_US1_Start(board_, kChannelCount, kChannels, 1000, kArraySize, 1), 0);
  QUORVA_SIM_AdvanceTime(5.0);
  EXPECT_EQ(QUORVA_US1_CurCount(board_), static_cast<unsigned>(kArraySize));
  EXPECT_EQ(QUORVA_US1_Start(board_, kChannelCount, kChannels, 1000, kArraySize, 0), 0);
}

TEST_F(Us1Scan, RingHoldsEveryScanAtItsPositionAndRetrvOneConvertsIt) {
  RunAndStop();
  const std::uint16_t* ring = QUORVA_US1_GetBuffer(board_);
  ASSERT_NE(ring, nullptr);
  for (int s = 151; s <= 250; ++s) {
    for (int k = 0; k < kChannelCount; ++k) {
      const unsigned digit = Digit(kChannels[k], s);
      ASSERT_EQ(ring[QUORVA_US1_SBPos(board_, k, s)], digit) << "scan " << s << " index " << k;
      ASSERT_EQ(QUORVA_US1_RetrvOne(board_, k, s), Volts(digit)) << "scan " << s;
    }
  }
  test::ClearLog();
  QUORVA_US1_RetrvOne(board_, 1, 200);
  EXPECT_REQUESTS({"86(*)", "100(*, *, *)", "20(5, *, *, *, *)"});
}

TEST_F(Us1Scan, RetrvChannelReadsAcrossTheWrapInEveryType) {
  RunAndStop();
  // Scans 180-239: ring slots 79-99, then 0-38.
  std::vector<std::uint16_t> digits(60);
  std::vector<float> floats(60);
  std::vector<double> doubles(60);
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 2, 180, 60, digits.data(), 0), 60);
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 2, 180, 60, floats.data(), 1), 60);
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 2, 180, 60, doubles.data(), 0x12), 60)
      << "only the low 4 bits choose the type";
  for (int r = 0; r < 60; ++r) {
    const unsigned digit = Digit(kChannels[2], 180 + r);
    EXPECT_EQ(digits[r], digit) << r;
    EXPECT_EQ(floats[r], Volts(digit)) << r;
    EXPECT_EQ(doubles[r], static_cast<double>(Volts(digit))) << r;
  }
}

TEST_F(Us1Scan, RetrvChannelCountsBackwardsAndStopsAtTheLastScan) {
  RunAndStop();
  std::uint16_t digits[8] = {};
  test::ClearLog();
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 0, 210, -3, digits, 0), 3);
  EXPECT_REQUESTS({"86(*)", "100(*, *, *)", "95(*)"});
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(digits[r], Digit(kChannels[0], 207 + r)) << "scans 207, 208, 209";
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 0, 245, 8, digits, 0), 6) << "scans 245-250";
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 0, 251, 8, digits, 0), 0);
}

TEST_F(Us1Scan, RetrvBlockCopiesTailThenHeadInScanOrderInEveryType) {
  RunAndStop();
  // Scans 171-220: ring slots 70-99, then 0-19.
  constexpr int kScans = 50;
  std::vector<std::uint16_t> digits(kScans * kChannelCount);
  std::vector<float> floats(kScans * kChannelCount);
  std::vector<double> doubles(kScans * kChannelCount);
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 171, kScans, digits.data(), 0), kScans);
  EXPECT_REQUESTS({"86(*)", "100(*, *, *)", "20(0, *, *, *, *)", "20(5, *, *, *, *)",
                   "20(2, *, *, *, *)", "20(7, *, *, *, *)", "95(*)"});
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 171, kScans, floats.data(), 1), kScans);
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 171, kScans, doubles.data(), 2), kScans);
  for (int m = 0; m < kScans; ++m) {
    for (int q = 0; q < kChannelCount; ++q) {
      const unsigned digit = Digit(kChannels[q], 171 + m);
      const std::size_t i = static_cast<std::size_t>(m * kChannelCount + q);
      ASSERT_EQ(digits[i], digit) << "scan " << 171 + m << " index " << q;
      ASSERT_EQ(floats[i], Volts(digit)) << "scan " << 171 + m << " index " << q;
      ASSERT_EQ(doubles[i], static_cast<double>(Volts(digit))) << "scan " << 171 + m;
    }
  }
}

TEST_F(Us1Scan, RetrvBlockVoltsUseEachChannelsOwnRange) {
  ASSERT_EQ(QUORVA_AD_SetRange(board_, 5, -5.0f, 5.0f), 1);
  RunAndStop();
  float volts[kChannelCount] = {};
  ASSERT_EQ(QUORVA_US1_RetrvBlock(board_, 222, 1, volts, 1), 1);
  const std::uint16_t* ring = QUORVA_US1_GetBuffer(board_);
  const std::uint16_t fifth = ring[QUORVA_US1_SBPos(board_, 1, 222)];
  EXPECT_EQ(volts[1], static_cast<float>(fifth) * 10.0f / 4095.0f - 5.0f);
  EXPECT_EQ(volts[0], Volts(Digit(0, 222)));
}

TEST_F(Us1Scan, RetrvBlockReturnsOnlyWhatTheRingStillHolds) {
  RunAndStop();
  std::vector<std::uint16_t> digits(1000 * kChannelCount, 0xBEEF);
  // Scans 1-1000 asked for: 251-1000 are not acquired, 1-150 were overwritten.
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 1, 1000, digits.data(), 0), kArraySize);
  for (int m = 0; m < kArraySize; ++m)
    ASSERT_EQ(digits[m * kChannelCount], Digit(kChannels[0], 151 + m)) << m;
  EXPECT_EQ(digits[kArraySize * kChannelCount], 0xBEEF) << "nothing stored past the scans held";
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 1, 100, digits.data(), 0), 0) << "scans 1-100 are gone";
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 260, 5, digits.data(), 0), 0) << "scans not acquired yet";
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 240, -30, digits.data(), 0), 30) << "scans 210-239";
  EXPECT_EQ(digits[0], Digit(kChannels[0], 210));
}

TEST_F(Us1Scan, NullDestinationsForeignIndicesAndUnknownTypesRetrieveNothing) {
  RunAndStop();
  std::uint16_t digits[16];
  std::fill(std::begin(digits), std::end(digits), 0xBEEF);
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 0, 200, 4, nullptr, 0), 0);
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 200, 4, nullptr, 2), 0);
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, kChannelCount, 200, 4, digits, 0), 0);
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, -1, 200, 4, digits, 0), 0);
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 40, 200, 4, digits, 1), 0);
  EXPECT_EQ(QUORVA_US1_RetrvOne(board_, kChannelCount, 200), 0.0f);
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 0, 200, 4, digits, 3), 0);
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 200, 4, digits, 7), 0);
  for (std::uint16_t d : digits)
    EXPECT_EQ(d, 0xBEEF);
}

TEST_F(Us1Scan, RingStaysValidUntilReleasedEvenAcrossANewStart) {
  EXPECT_EQ(QUORVA_US1_GetBuffer(board_), nullptr);
  std::uint16_t digits[4];
  EXPECT_EQ(QUORVA_US1_RetrvChannel(board_, 0, 1, 4, digits, 0), 0) << "no ring yet";
  EXPECT_EQ(QUORVA_US1_RetrvOne(board_, 0, 1), 0.0f);
  RunAndStop();
  const std::uint16_t* old = QUORVA_US1_GetBuffer(board_);
  const std::uint16_t first = old[0];
  ASSERT_EQ(QUORVA_US1_Start(board_, 1, kChannels, 1000, 7, 0), 0);
  EXPECT_NE(QUORVA_US1_GetBuffer(board_), old);
  QUORVA_SIM_AdvanceTime(0.1);
  EXPECT_EQ(QUORVA_US1_CurCount(board_), 100u);
  EXPECT_EQ(old[0], first) << "the earlier ring is still there";
  EXPECT_EQ(QUORVA_US1_ReleaseBuf(board_), 1);
  EXPECT_EQ(QUORVA_US1_GetBuffer(board_), nullptr);
  EXPECT_EQ(QUORVA_US1_RetrvBlock(board_, 1, 4, digits, 0), 0);
}

TEST_F(Us1Scan, InvalidHandleSendsNothing) {
  std::uint16_t digits[4];
  EXPECT_EQ(QUORVA_US1_Stop(QUORVA_INVALID_HANDLE, 0), 0);
  EXPECT_EQ(QUORVA_US1_ChangeScanFreq(QUORVA_INVALID_HANDLE, 10), 0);
  EXPECT_EQ(QUORVA_US1_ResetCount(QUORVA_INVALID_HANDLE), 0);
  EXPECT_EQ(QUORVA_US1_GetBuffer(QUORVA_INVALID_HANDLE), nullptr);
  EXPECT_EQ(QUORVA_US1_ReleaseBuf(QUORVA_INVALID_HANDLE), 0);
  EXPECT_EQ(QUORVA_US1_CurCount(QUORVA_INVALID_HANDLE), 0u);
  EXPECT_EQ(QUORVA_US1_RetrvBlock(QUORVA_INVALID_HANDLE, 1, 4, digits, 0), 0);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

}  // namespace
}  // namespace quorva
