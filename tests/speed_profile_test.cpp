#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "motion/core/axis_primitives.h"
#include "motion/core/last_profile.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"
#include "motion/core/speed_profile.h"
#include "sim_test.h"

namespace quorva {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class SpeedProfile : public test::MotionBoardTest {
 protected:
  void TearDown() override {
    lastProfile[0].holdRampDown = 0;
    SimTest::TearDown();
  }

  // A trapezoidal axis 0 with the default speeds (100 and 1000 pps, resolution 10).
  void Trapezoid(double accel = 10000, double decel = 10000) {
    QUORVA_MC_SetSpeedMode(board_, 0, kSpeedModeTrapezoid);
    QUORVA_MC_SetAccel(board_, 0, accel, decel);
    test::ClearLog();
  }
  void Prepare(int distance, bool apply = false, bool overrideSpeed = false,
               bool fineStart = false) {
    AxisProfilePrepare(board_, 0, *context_, distance, apply, overrideSpeed, fineStart);
  }
};

// The opening steps: magnification and correction speed at the stored resolution, S-curve bit,
// preliminary speeds, bit 15 cleared.
const std::vector<std::string> kOpening = {"610(0, 5, 29)", "610(0, 27, 10)", "610(0, 7, 0x1000)",
                                           "610(0, 1, 10)", "610(0, 2, 100)", "610(0, 7, 0x1000)"};
// The resolution refinement of a positioning move at 1000 pps: halved until 3200 steps.
const std::vector<std::string> kRefinement = {"610(0, 5, 29)",  "610(0, 5, 59)",  "610(0, 5, 119)",
                                              "610(0, 5, 239)", "610(0, 5, 479)", "610(0, 5, 959)"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(SpeedProfile, TrapezoidalPositioningMoveWritesTheWorkedExample) {
  Trapezoid();
  Prepare(10000);
  EXPECT_REQUESTS(Join({kOpening,
                        kRefinement,
                        {"610(0, 1, 320)", "610(0, 2, 3200)", "610(0, 3, 152)", "610(0, 4, 152)",
                         "610(0, 6, 47)", "610(0, 7, 0x3000)"}}));
  const ProfileRecord& p = lastProfile[0];
  EXPECT_EQ(p.curSpeedSteps, 320);
  EXPECT_EQ(p.startSteps, 320);
  EXPECT_EQ(p.highSteps, 3200);
  EXPECT_EQ(p.accelRate, 152);
  EXPECT_EQ(p.decelRate, 152);
  EXPECT_EQ(p.magnification, 959);
  EXPECT_EQ(context_->speedResolution[0], 10.0) << "the finer resolution lives in the registers";
}

TEST_F(SpeedProfile, ShortMoveIsLoweredAndComputedOnceMore) {
  Trapezoid();
  Prepare(50);
  // The ramps to 3200 steps cover 98 pulses: the top is lowered to 2105 steps, and the second
  // pass starts afresh from the cached mode, so bit 26 of the first pass is not carried over.
  EXPECT_REQUESTS(
      Join({kOpening,
            kRefinement,
            {"610(0, 1, 320)", "610(0, 2, 3200)", "610(0, 3, 152)", "610(0, 4, 152)",
             "610(0, 2, 2105)", "610(0, 5, 959)", "610(0, 1, 320)", "610(0, 2, 2105)",
             "610(0, 3, 152)", "610(0, 4, 152)", "610(0, 6, 19)", "610(0, 7, 0x3000)"}}));
  EXPECT_EQ(lastProfile[0].highSteps, 2105);
}

TEST_F(SpeedProfile, MovesOfFewerThanTwoPulsesAreNeverLowered) {
  Trapezoid();
  Prepare(-1);
  EXPECT_EQ(Reg(0, reg::kHighSpeed), 3200u);
  EXPECT_EQ(lastProfile[0].highSteps, 3200);
}

TEST_F(SpeedProfile, ConstantSpeedMoveClearsRampDownAndLoweredBits) {
  Trapezoid();
  AxisRegWrite(board_, 0, reg::kMode, 0x1000 | kModeManualRampDown | kModeSpeedLowered);
  test::ClearLog();
  Prepare(0);
  EXPECT_REQUESTS({"610(0, 5, 29)", "610(0, 27, 10)", "610(0, 7, 0x4003000)", "610(0, 1, 10)",
                   "610(0, 2, 100)", "610(0, 7, 0x4003000)", "610(0, 5, 29)", "610(0, 1, 10)",
                   "610(0, 2, 100)", "610(0, 3, 4914)", "610(0, 4, 4914)", "610(0, 6, 0)",
                   "610(0, 7, 0x1000)"});
}

TEST_F(SpeedProfile, StartAtWorkingSpeedRampsOverOneStep) {
  Trapezoid();
  QUORVA_MC_SetSpeed(board_, 0, 1000, 1000);
  Prepare(0);
  EXPECT_EQ(Reg(0, reg::kStartSpeed), 99u);
  EXPECT_EQ(Reg(0, reg::kHighSpeed), 100u);
  EXPECT_EQ(Reg(0, reg::kAccelRate), 4914u);
}

TEST_F(SpeedProfile, OneStepWorkingSpeedStopsAfterTheSpeeds) {
  Trapezoid();
  QUORVA_MC_SetSpeed(board_, 0, 1, 1);  // both become one step of 10 pps
  Prepare(0);
  EXPECT_REQUESTS(
      Join({{"610(0, 5, 29)", "610(0, 27, 10)", "610(0, 7, 0x1000)", "610(0, 1, 1)", "610(0, 2, 1)",
             "610(0, 7, 0x1000)", "610(0, 5, 29)", "610(0, 1, 1)", "610(0, 2, 1)"}}));
}

TEST_F(SpeedProfile, ConstantSpeedModeWritesNoRates) {
  QUORVA_MC_SetAccel(board_, 0, 10000, 10000);
  test::ClearLog();
  Prepare(10000);
  EXPECT_REQUESTS(Join(
      {{"610(0, 5, 29)", "610(0, 27, 10)", "610(0, 1, 10)", "610(0, 2, 100)", "610(0, 7, 0x1000)"},
       kRefinement,
       {"610(0, 1, 320)", "610(0, 2, 3200)", "610(0, 6, 0)"}}));
}

TEST_F(SpeedProfile, UnknownSpeedModeStopsAfterTheSpeeds) {
  QUORVA_MC_SetSpeedMode(board_, 0, 3);
  Prepare(0);
  EXPECT_REQUESTS({"610(0, 5, 29)", "610(0, 27, 10)", "610(0, 1, 10)", "610(0, 2, 100)",
                   "610(0, 7, 0x1000)", "610(0, 5, 29)", "610(0, 1, 10)", "610(0, 2, 100)"});
}

TEST_F(SpeedProfile, ZeroRatesGiveInstantRampsAndNoRampDownPoint) {
  Trapezoid(0, 0);
  Prepare(10000);
  EXPECT_EQ(Reg(0, reg::kAccelRate), 0u);
  EXPECT_EQ(Reg(0, reg::kDecelRate), 1u);
  EXPECT_EQ(Reg(0, reg::kRampDownPoint), 0u);
  EXPECT_EQ(context_->modeRegCache[0], 0x3000u) << "bit 13 set";
}

TEST_F(SpeedProfile, ScurveWritesZeroSectionsAndDoubledRamps) {
  QUORVA_MC_SetSpeedMode(board_, 0, 0x12);  // only the low 4 bits select the shape
  QUORVA_MC_SetAccel(board_, 0, 10000, 10000);
  test::ClearLog();
  Prepare(10000);
  EXPECT_REQUESTS(Join({{"610(0, 5, 29)", "610(0, 27, 10)", "610(0, 7, 0x1400)", "610(0, 1, 10)",
                         "610(0, 2, 100)", "610(0, 7, 0x1400)"},
                        kRefinement,
                        {"610(0, 1, 320)", "610(0, 2, 3200)", "610(0, 9, 0)", "610(0, 3, 75)",
                         "610(0, 10, 0)", "610(0, 4, 75)", "610(0, 6, 46)", "610(0, 7, 0x3400)"}}));
}

TEST_F(SpeedProfile, AutomaticRampDownWritesOnlyTheOffset) {
  Trapezoid();
  QUORVA_MC_SetMioProperty(board_, 0, 31, 1);
  context_->rampDownOffset[0] = 0.5;
  QUORVA_MC_SetUnitDistance(board_, 0, 10);
  Prepare(10000);
  EXPECT_EQ(Reg(0, reg::kRampDownPoint), 5u);
  EXPECT_EQ(context_->modeRegCache[0], 0x1000u) << "bit 13 clear";

  // A deceleration at least twice as slow as the acceleration keeps the manual point.
  QUORVA_MC_SetAccel(board_, 0, 10000, 5000);
  Prepare(10000);
  EXPECT_EQ(Reg(0, reg::kDecelRate), 306u);
  EXPECT_EQ(Reg(0, reg::kRampDownPoint), 98u + 5u - 2u);
  EXPECT_EQ(context_->modeRegCache[0], 0x3000u);
}

TEST_F(SpeedProfile, HeldRampDownPointIsNotWritten) {
  Trapezoid();
  QUORVA_SIM_SetAxisRegister(0, 0, reg::kRampDownPoint, 777);
  lastProfile[0].holdRampDown = 1;
  Prepare(10000);
  EXPECT_EQ(Reg(0, reg::kRampDownPoint), 777u);
  EXPECT_EQ(context_->modeRegCache[0], 0x3000u);
}

TEST_F(SpeedProfile, OverrideStartsFromThePresentSpeedAndApplies) {
  Trapezoid();
  QUORVA_SIM_SetAxisRegister(0, 0, reg::kMagnificationInForce, 29);
  QUORVA_SIM_SetAxisRegister(0, 0, reg::kPresentSpeed, 0xABCD0000u | 200u);
  Prepare(10000, /*apply=*/true, /*overrideSpeed=*/true);
  // 200 steps of 10 pps are 6400 steps of 0.3125 pps: above the top, which is kept.
  EXPECT_REQUESTS(
      Join({kOpening,
            {"630(0, 21, *)"},
            kRefinement,
            {"610(0, 1, 320)", "610(0, 2, 3200)", "630(0, 53, *)", "610(0, 3, 152)",
             "610(0, 4, 152)", "610(0, 6, 47)", "610(0, 7, 0x3000)", "620(0, 0, 43)"}}));
  EXPECT_EQ(lastProfile[0].curSpeedSteps, 6400);
}

TEST_F(SpeedProfile, FineStartUsesOneStepAndAFinerResolution) {
  Trapezoid();
  Prepare(10000, false, false, /*fineStart=*/true);
  EXPECT_EQ(Reg(0, reg::kStartSpeed), 1u);
  EXPECT_EQ(Reg(0, reg::kHighSpeed), 6400u);
  EXPECT_EQ(Reg(0, reg::kMagnification), 1919u);
}

TEST_F(SpeedProfile, AxesOutsideTheBoardSendNothing) {
  UseBoards("A504");
  QUORVA_HANDLE board = Load(0xA504);
  lastProfile[4] = ProfileRecord{};
  AxisProfilePrepare(board, 4, *ContextOf(board), 10000, true, true, true);
  AxisProfilePrepare(board, -1, *ContextOf(board), 10000, true, true, true);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
  EXPECT_EQ(lastProfile[4].highSteps, 0);
}

TEST(SpeedProfileBlocks, RampPulsesByMode) {
  EXPECT_EQ(RampPulses(0, 3200, 320, 152, 959), 0);
  EXPECT_EQ(RampPulses(1, 3200, 320, 152, 959), 49);
  EXPECT_EQ(RampPulses(1, 320, 3200, 152, 959), 49) << "order of the speeds does not matter";
  EXPECT_EQ(RampPulses(2, 3200, 320, 75, 959), 48);
}

TEST(SpeedProfileBlocks, TopSpeedLimitCases) {
  EXPECT_EQ(TopSpeedLimit(1, 320, 320, 3200, 152, 152, 959, 1.9), 0) << "under two pulses";
  EXPECT_EQ(TopSpeedLimit(1, 4000, 320, 3200, 152, 152, 959, 50), 3200) << "already above";
  EXPECT_EQ(TopSpeedLimit(1, 320, 320, 3200, 152, 152, 959, 10000), 0) << "ramps fit";
  EXPECT_EQ(TopSpeedLimit(1, 320, 320, 3200, 152, 152, 959, -50), 2105);
  // A top of one step is kept rather than rounded down to none by the margin.
  EXPECT_EQ(TopSpeedLimit(1, 1, 1, 2, 0, 0, -0.99999, 2), 1);
}

TEST(RegisterConversion, TruncationsAreDefinedForEveryDouble) {
  EXPECT_EQ(TruncLow32(3.99), 3u);
  EXPECT_EQ(TruncLow32(-1.5), 0xFFFFFFFFu) << "low 32 bits of -1";
  EXPECT_EQ(TruncLow32(4294967296.0 + 7), 7u);
  EXPECT_EQ(TruncLow32(kNaN), 0u);
  EXPECT_EQ(TruncLow32(kInf), 0xFFFFFFFFu);
  EXPECT_EQ(TruncLow32(-kInf), 0u);
  EXPECT_EQ(TruncLow32(1e300), 0xFFFFFFFFu);
  EXPECT_EQ(Trunc32(-3.99), -3);
  EXPECT_EQ(Trunc32(kNaN), 0);
  EXPECT_EQ(Trunc32(kInf), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(Trunc32(-1e300), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(SpeedStepsLimit(kNaN), 1.0);
  EXPECT_EQ(SpeedStepsLimit(70000), 65535.0);
}

// Register values a profile wrote, scanned from the request log.
struct WrittenProfile {
  std::vector<std::pair<int, std::uint32_t>> writes;  // (register, value) in order
};

WrittenProfile ScanWrites() {
  WrittenProfile w;
  for (int i = 0; i < QUORVA_SIM_RequestCount(); ++i) {
    QUORVA_SIM_REQUEST r{};
    QUORVA_SIM_GetRequest(i, &r);
    if (r.code == 610)
      w.writes.emplace_back(static_cast<int>(r.slots[1]), static_cast<std::uint32_t>(r.slots[2]));
  }
  return w;
}

double LogUniform(std::mt19937& rng, double low, double high) {
  return std::exp(std::uniform_real_distribution<double>(std::log(low), std::log(high))(rng));
}

// A speed value: mostly plausible, sometimes zero, negative or not finite.
double AnySpeed(std::mt19937& rng, double low, double high) {
  switch (std::uniform_int_distribution<int>(0, 19)(rng)) {
    case 0:
      return 0;
    case 1:
      return -LogUniform(rng, low, high);
    case 2:
      return kNaN;
    case 3:
      return kInf;
    default:
      return LogUniform(rng, low, high);
  }
}

TEST_F(SpeedProfile, EveryWrittenRegisterStaysInItsRange) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> coin(0, 1);
  int lowered = 0;
  for (int round = 0; round < 4000; ++round) {
    SCOPED_TRACE(round);
    QUORVA_MC_SetUnitSpeed(board_, 0, LogUniform(rng, 0.01, 100));
    QUORVA_MC_SetSpeedRange(board_, 0, AnySpeed(rng, 10, 1e8));
    QUORVA_MC_SetSpeed(board_, 0, AnySpeed(rng, 0.1, 1e6), AnySpeed(rng, 0.1, 1e7));
    QUORVA_MC_SetAccel(board_, 0, AnySpeed(rng, 1, 1e8), AnySpeed(rng, 1, 1e8));
    QUORVA_MC_SetSpeedMode(board_, 0, std::uniform_int_distribution<int>(0, 3)(rng));
    QUORVA_MC_SetMioProperty(board_, 0, 31, coin(rng));
    context_->rampDownOffset[0] = AnySpeed(rng, 0.1, 1e4);
    QUORVA_SIM_SetAxisRegister(0, 0, reg::kMagnificationInForce, rng() % 5000);
    QUORVA_SIM_SetAxisRegister(0, 0, reg::kPresentSpeed, rng());
    const int distance =
        coin(rng) ? 0 : static_cast<int>(LogUniform(rng, 1, 1e7)) * (coin(rng) ? 1 : -1);
    const double workPps = context_->workSpeed[0];
    test::ClearLog();
    Prepare(distance, false, coin(rng) == 1, coin(rng) == 1);

    std::uint32_t magnification = 0;
    std::uint32_t passHigh = 0;
    int previous = -1;
    for (const auto& [reg, value] : ScanWrites().writes) {
      if (reg == reg::kStartSpeed || reg == reg::kHighSpeed) {
        EXPECT_GE(value, 1u) << reg;
        EXPECT_LE(value, 65535u) << reg;
      }
      if (reg == reg::kMagnification) {
        EXPECT_GE(value, 1u);
        EXPECT_LE(value, 4095u);
        magnification = value;
      }
      if (reg == reg::kAccelRate) {
        EXPECT_LE(value, 65535u);
      }
      if (reg == reg::kDecelRate) {
        EXPECT_GE(value, 1u);
        EXPECT_LE(value, 65535u);
      }
      // A high speed written right after the rates is a lowered one.
      if (reg == reg::kHighSpeed && previous == reg::kDecelRate) {
        ++lowered;
        EXPECT_LT(value, passHigh);
        const double stepPps = ResolutionOfMagnification(magnification);
        if (workPps >= stepPps) {
          EXPECT_LE(value * stepPps, workPps);
        }
      } else if (reg == reg::kHighSpeed) {
        passHigh = value;
      }
      previous = reg;
    }
  }
  EXPECT_GT(lowered, 100) << "the inputs reach the lowering often enough to matter";
}

}  // namespace
}  // namespace quorva
