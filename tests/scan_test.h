// Fixture for the buffered-scan tests: the analog board loaded, every input carrying a fast ramp
// (so neighbouring scans differ), and the expected digit and volts of any scan.
#pragma once

#include <cstdint>

#include "sim_test.h"

namespace quorva::test {

class ScanTest : public SimTest {
 protected:
  static constexpr int kBoard = 1;  // A101 in the fixture's board list

  void SetUp() override {
    SimTest::SetUp();
    board_ = Load(0xA101);
    for (int ch = 0; ch < 32; ++ch) {
      ASSERT_EQ(QUORVA_SIM_SetAnalogSignal(kBoard, ch, QUORVA_SIM_SIGNAL_RAMP, 9.0, 3.7 + ch, 0.0,
                                           0.1 * ch),
                0);
    }
  }
  // Call right after the start request: scan s converts at the start time + s / rate.
  void Started(double rate) {
    t0_ = QUORVA_SIM_GetTime();
    rate_ = rate;
  }
  unsigned Digit(int channel, std::int64_t scan) const {
    unsigned digit = 0;
    QUORVA_SIM_GetAnalogDigit(kBoard, channel, t0_ + static_cast<double>(scan) / rate_, &digit);
    return digit;
  }
  // Volts of a digit with the default range: 0-4095 over -10 V to +10 V.
  static float Volts(unsigned digit) {
    return static_cast<float>(static_cast<std::int32_t>(digit)) * 20.0f / 4095.0f - 10.0f;
  }

  QUORVA_HANDLE board_ = nullptr;
  double t0_ = 0;
  double rate_ = 1;
};

}  // namespace quorva::test
