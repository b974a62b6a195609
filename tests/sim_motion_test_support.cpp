#include "sim_motion_test.h"

namespace quorva::test {

double StepPps(int magnification) {
  return 19660800.0 / ((magnification + 1) * 65536.0);
}

void SimMotionTest::SetUp() {
  SimTest::SetUp();
  board_ = Load(0xA508);
}

void SimMotionTest::Program(int axis, int amount, std::uint32_t operation, const SpeedSet& speeds) {
  const unsigned int values[][2] = {
      {0, static_cast<unsigned int>(amount)},
      {1, static_cast<unsigned int>(speeds.startSteps)},
      {2, static_cast<unsigned int>(speeds.highSteps)},
      {3, static_cast<unsigned int>(speeds.accelRate)},
      {4, static_cast<unsigned int>(speeds.decelRate)},
      {5, static_cast<unsigned int>(speeds.magnification)},
      {6, static_cast<unsigned int>(speeds.rampDown)},
      {7, operation | speeds.modeBits},
  };
  for (const auto& [reg, value] : values)
    QUORVA_MC_WriteRegister(board_, axis, static_cast<int>(reg), value);
}

void SimMotionTest::Command(int axis, std::uint32_t word) {
  QUORVA_MC_WriteMainSpace(board_, axis, 0, word);
}

bool SimMotionTest::Busy(int axis) {
  return (QUORVA_MC_ReadMainSpace(board_, axis, 0) & 2u) != 0;
}

double SimMotionTest::WaitIdle(int axis) {
  while (Busy(axis)) {
  }
  return QUORVA_SIM_GetTime();
}

int SimMotionTest::Counter(int axis) {
  const unsigned int field = QUORVA_MC_ReadRegister(board_, axis, 35) & 0x0FFFFFFFu;
  return (field & 0x08000000u) != 0 ? static_cast<int>(field) - 0x10000000
                                    : static_cast<int>(field);
}

unsigned int SimMotionTest::Reg(int axis, int reg) {
  return QUORVA_MC_ReadRegister(board_, axis, reg);
}

QUORVA_SIM_AXIS_STATE SimMotionTest::State(int axis) {
  QUORVA_SIM_AXIS_STATE state{};
  EXPECT_EQ(QUORVA_SIM_GetAxisState(0, axis, &state), 0);
  return state;
}

}  // namespace quorva::test
