// Helpers for driving the simulated controller through the raw register and command
// functions.
#pragma once

#include <cstdint>

#include "sim_test.h"

namespace quorva::test {

// Speed registers of one move (step counts, rate values, magnification, mode bits above the
// operation code, ramp-down register).
struct SpeedSet {
  int startSteps = 100;
  int highSteps = 1000;
  int accelRate = 2730;
  int decelRate = 2730;
  int magnification = 29;  // 10 pulses per second per step
  std::uint32_t modeBits = 0;
  int rampDown = 0;
};

inline constexpr std::uint32_t kModeSCurve = 1u << 10;
inline constexpr std::uint32_t kModeManualRampDown = 1u << 13;
inline constexpr std::uint32_t kModeStartSignal = 1u << 18;

inline constexpr double kQuantum = QUORVA_SIM_REQUEST_QUANTUM_NS * 1e-9;

double StepPps(int magnification);

class SimMotionTest : public SimTest {
 protected:
  void SetUp() override;

  // Writes the pre-registers of a move: amount, speeds, rates, magnification, ramp-down point
  // and the mode (operation code | mode bits).
  void Program(int axis, int amount, std::uint32_t operation, const SpeedSet& speeds);
  void Command(int axis, std::uint32_t word);
  bool Busy(int axis);
  // Polls the main status word, one request per pass, until the axis is idle; the simulated
  // time then.
  double WaitIdle(int axis);
  // Register 35 as a signed 28-bit count.
  int Counter(int axis);
  unsigned int Reg(int axis, int reg);
  QUORVA_SIM_AXIS_STATE State(int axis);

  QUORVA_HANDLE board_ = nullptr;
};

}  // namespace quorva::test
