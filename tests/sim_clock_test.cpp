#include "sim/sim_clock.h"

#include <limits>

#include "sim_test.h"

namespace quorva {
namespace {

using sim::ParseClockChoice;
using sim::SimClock;

TEST(SimClockChoice, ParsesTheEnvironmentSyntax) {
  EXPECT_EQ(ParseClockChoice("virtual")->mode, SimClock::Mode::kVirtual);
  EXPECT_EQ(ParseClockChoice("realtime")->mode, SimClock::Mode::kRealTime);
  EXPECT_DOUBLE_EQ(ParseClockChoice("realtime")->factor, 1.0);
  EXPECT_DOUBLE_EQ(ParseClockChoice("realtime:10")->factor, 10.0);
  EXPECT_DOUBLE_EQ(ParseClockChoice("realtime:0.5")->factor, 0.5);
  for (const char* bad : {"", "Virtual", "realtime:", "realtime:0", "realtime:-2", "realtime:x",
                          "realtime:inf", "realtime10"}) {
    EXPECT_FALSE(ParseClockChoice(bad)) << bad;
  }
  EXPECT_FALSE(ParseClockChoice(nullptr));
}

TEST(SimClockModes, SwitchingKeepsTheTimeReached) {
  SimClock clock;
  clock.UseVirtual();
  clock.Advance(5'000'000'000);
  clock.UseRealTime(1000.0);
  EXPECT_GE(clock.Now(), 5'000'000'000);
  clock.UseVirtual();
  const std::int64_t frozen = clock.Now();
  EXPECT_EQ(clock.Now(), frozen);
  clock.Advance(-1);
  EXPECT_EQ(clock.Now(), frozen) << "time never runs backwards";
}

class SimTime : public test::SimTest {};

TEST_F(SimTime, VirtualTimeMovesOneQuantumPerAnsweredRequest) {
  QUORVA_HANDLE board = Load(0xA508);
  const double start = QUORVA_SIM_GetTime();
  for (int i = 0; i < 100; ++i)
    QUORVA_MC_ReadRegister(board, 0, 1);
  EXPECT_NEAR(QUORVA_SIM_GetTime() - start, 100 * QUORVA_SIM_REQUEST_QUANTUM_NS * 1e-9, 1e-12);
  QUORVA_MC_ReadRegister(reinterpret_cast<QUORVA_HANDLE>(0x1234), 0, 1);
  EXPECT_NEAR(QUORVA_SIM_GetTime() - start, 100 * QUORVA_SIM_REQUEST_QUANTUM_NS * 1e-9, 1e-12)
      << "a request on a handle the driver does not know takes no time";
}

TEST_F(SimTime, AdvanceAndConfigure) {
  ASSERT_EQ(QUORVA_SIM_AdvanceTime(10.0), 0);
  EXPECT_NEAR(QUORVA_SIM_GetTime(), 10.0, 1e-9);
  EXPECT_EQ(QUORVA_SIM_AdvanceTime(-1.0), -1);
  EXPECT_EQ(QUORVA_SIM_AdvanceTime(std::numeric_limits<double>::quiet_NaN()), -1);
  UseBoards("A504");
  EXPECT_EQ(QUORVA_SIM_GetTime(), 0.0) << "a new bus starts at time 0";
  EXPECT_EQ(QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, 0.0), -1);
  EXPECT_EQ(QUORVA_SIM_SetClock(7, 1.0), -1);
}

}  // namespace
}  // namespace quorva
