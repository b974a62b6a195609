// Positioning moves of the simulated controller against the closed-form profile: arrival
// time, final count, speed bound, monotonic counters and the states seen on the way.
#include <cmath>
#include <cstdlib>
#include <set>

#include "sim_motion_test.h"

namespace quorva::test {
namespace {

struct ProfileCase {
  const char* name;
  std::uint32_t startCode;
  std::uint32_t operation;
  int amount;
  SpeedSet speeds;
  std::set<unsigned int> states;  // operation states the move passes through
};

// Duration of the move by the controller's definition: a ramp over n steps with rate value r
// lasts (r + 1) × n × 4 / 19660800 seconds (× 8 for an S-curve) and covers the mean of its
// two speeds for that time; the rest runs at the high speed.
double AnalyticDuration(const ProfileCase& c) {
  const SpeedSet& s = c.speeds;
  const double step = StepPps(s.magnification);
  const double low = s.startSteps * step;
  const double high = s.highSteps * step;
  const double n = std::abs(c.amount);
  if (c.startCode == 0x51) return n / high;
  const double k = (s.modeBits & kModeSCurve) != 0 ? 8 : 4;
  const double upTime =
      c.startCode == 0x53 ? (s.accelRate + 1) * (s.highSteps - s.startSteps) * k / 19660800 : 0;
  const double downTime = (s.decelRate + 1) * (s.highSteps - s.startSteps) * k / 19660800;
  const double first = c.startCode == 0x53 ? low : high;
  const double up = (first + high) / 2 * upTime;
  const double down = (high + low) / 2 * downTime;
  if (up + down <= n) return upTime + downTime + (n - up - down) / high;
  // Triangular: the two ramps meet at the peak speed p, with mean rates a and d.
  const double a = (high - low) / upTime;
  const double d = (high - low) / downTime;
  const double peak =
      std::sqrt((n + low * low / (2 * a) + low * low / (2 * d)) / (1 / (2 * a) + 1 / (2 * d)));
  return (peak - low) / a + (peak - low) / d;
}

// The high speed the library lowers a short move to (8 % below the peak of the triangle).
int LoweredHighSteps(const SpeedSet& s, int distance) {
  const double t = s.accelRate + s.decelRate + 2;
  const double a = (s.magnification + 1) * 32768.0 * distance / t;
  const double b = ((s.accelRate + 1.0) * s.startSteps * s.startSteps +
                    (s.decelRate + 1.0) * s.startSteps * s.startSteps) /
                   t;
  return static_cast<int>(std::sqrt(a + b) * 0.92);
}

SpeedSet SCurve() {
  SpeedSet s;
  s.modeBits = kModeSCurve;
  return s;
}

SpeedSet Lowered() {
  SpeedSet s;
  s.highSteps = LoweredHighSteps(s, 4000);
  return s;
}

const ProfileCase kCases[] = {
    {"constant", 0x51, 0x41, 20000, {}, {0xC}},
    {"trapezoidal", 0x53, 0x41, 30000, {}, {0xB, 0xC, 0xD}},
    {"trapezoidal negative", 0x53, 0x41, -30000, {}, {0xB, 0xC, 0xD}},
    {"decelerating only", 0x52, 0x41, 30000, {}, {0xC, 0xD}},
    {"triangular", 0x53, 0x41, 4000, {}, {0xB, 0xD}},
    {"lowered high speed", 0x53, 0x41, 4000, Lowered(), {0xB, 0xC, 0xD}},
    {"S-curve", 0x53, 0x41, 30000, SCurve(), {0xB, 0xC, 0xD}},
    {"S-curve triangular", 0x53, 0x56, 6000, SCurve(), {0xB, 0xD}},
};

class SimMotionProfile : public SimMotionTest {};

TEST_F(SimMotionProfile, PositioningMovesFollowTheClosedFormProfile) {
  for (const ProfileCase& c : kCases) {
    SCOPED_TRACE(c.name);
    UseBoards("A508");
    board_ = Load(0xA508);
    const int axis = 2;
    Program(axis, c.amount, c.operation, c.speeds);
    Command(axis, c.startCode);
    const double start = QUORVA_SIM_GetTime();
    const int direction = c.amount < 0 ? -1 : 1;
    unsigned int count = 0;
    unsigned int speed = 0;
    unsigned int status = 0;
    unsigned int remaining = 0;
    int last = 0;
    unsigned int fastest = 0;
    bool monotonic = true;
    bool remainingAgrees = true;
    std::set<unsigned int> states;
    while (Busy(axis)) {
      // The control interface reads without a driver request, so sampling takes no time.
      QUORVA_SIM_GetAxisRegister(0, axis, 35, &count);
      QUORVA_SIM_GetAxisRegister(0, axis, 53, &speed);
      QUORVA_SIM_GetAxisRegister(0, axis, 49, &status);
      QUORVA_SIM_GetAxisRegister(0, axis, 52, &remaining);
      const int now = static_cast<int>(count << 4) >> 4;
      monotonic = monotonic && (now - last) * direction >= 0;
      remainingAgrees = remainingAgrees && static_cast<int>(remaining) == std::abs(c.amount - now);
      last = now;
      fastest = std::max(fastest, speed);
      states.insert(status & 0xF);
      EXPECT_NE(status & 0x300000u, 0u);
    }
    const double duration = QUORVA_SIM_GetTime() - start;
    const double expected = AnalyticDuration(c);
    EXPECT_NEAR(duration, expected, kQuantum + 0.001 * expected);
    EXPECT_GE(duration, expected - 1e-9) << "the end is never seen before it happens";
    EXPECT_EQ(Counter(axis), c.amount);
    EXPECT_EQ(Reg(axis, 36) & 0x0FFFFFFFu, static_cast<unsigned int>(c.amount) & 0x0FFFFFFFu);
    EXPECT_LE(fastest, static_cast<unsigned int>(c.speeds.highSteps));
    EXPECT_TRUE(monotonic);
    EXPECT_TRUE(remainingAgrees);
    EXPECT_EQ(states, c.states);
    EXPECT_EQ(Reg(axis, 53), 0u);
    EXPECT_EQ(Reg(axis, 49) & 0x30000Fu, 0u);
  }
}

TEST_F(SimMotionProfile, SCurveRampFollowsASmoothSpeedCurve) {
  Program(0, 0, 0x00, SCurve());
  Command(0, 0x53);
  // The S ramp from 100 to 1000 steps lasts 1 s; a quarter in, the speed has covered
  // 3u² - 2u³ = 0.15625 of the change (a linear ramp: 0.25); halfway, exactly half.
  QUORVA_SIM_AdvanceTime(0.25 - kQuantum);
  EXPECT_NEAR(Reg(0, 53), 100 + 900 * 0.15625, 1.0);
  QUORVA_SIM_AdvanceTime(0.25 - kQuantum);
  EXPECT_NEAR(Reg(0, 53), 550, 1.0);
}

TEST_F(SimMotionProfile, AbsoluteMoveEndsAtItsTarget) {
  QUORVA_MC_WriteRegister(board_, 0, 35, static_cast<unsigned int>(-500));
  Program(0, -2500, 0x42, {});
  Command(0, 0x53);
  WaitIdle(0);
  EXPECT_EQ(Counter(0), -2500);
  EXPECT_EQ(State(0).direction, -1);
}

TEST_F(SimMotionProfile, ManualRampDownPointStartsTheDeceleration) {
  SpeedSet s;
  s.modeBits = kModeManualRampDown;
  s.rampDown = 3000;  // more than the 2750 pulses of the ramp: the end is reached at FL
  Program(1, 30000, 0x41, s);
  Command(1, 0x53);
  const double start = QUORVA_SIM_GetTime();
  unsigned int status = 0;
  unsigned int remaining = 0;
  unsigned int remainingAtRampDown = 0;
  while (Busy(1)) {
    QUORVA_SIM_GetAxisRegister(0, 1, 49, &status);
    QUORVA_SIM_GetAxisRegister(0, 1, 52, &remaining);
    if ((status & 0xF) == 0xD && remainingAtRampDown == 0) remainingAtRampDown = remaining;
  }
  EXPECT_LE(remainingAtRampDown, 3000u);
  EXPECT_GE(remainingAtRampDown, 2999u);
  // Ramp 0.5 s and 2750 pulses each way, 30000 - 2750 - 3000 pulses at 10000 pps, the last
  // 250 at 1000 pps.
  const double expected = 0.5 + 2.425 + 0.5 + 0.25;
  EXPECT_NEAR(QUORVA_SIM_GetTime() - start, expected, kQuantum + 0.001 * expected);
  EXPECT_EQ(Counter(1), 30000);
}

TEST_F(SimMotionProfile, AutomaticRampDownOffsetShiftsTheDeceleration) {
  SpeedSet s;
  s.rampDown = 500;  // decelerate 500 pulses early and finish them at the start speed
  Program(1, 30000, 0x41, s);
  Command(1, 0x53);
  const double start = QUORVA_SIM_GetTime();
  const double expected = 0.5 + (30000 - 5500 - 500) / 10000.0 + 0.5 + 500 / 1000.0;
  EXPECT_NEAR(WaitIdle(1) - start, expected, kQuantum + 0.001 * expected);
  EXPECT_EQ(Counter(1), 30000);
}

TEST_F(SimMotionProfile, ContinuousRunCostsTheSameAfterAMillionSeconds) {
  SpeedSet s;
  s.magnification = 0;  // 300 pps per step
  s.highSteps = 20000;  // 6 Mpps
  Program(3, 0, 0x00, s);
  Command(3, 0x51);
  const double start = QUORVA_SIM_GetTime();
  ASSERT_EQ(QUORVA_SIM_AdvanceTime(1e6), 0);
  const unsigned int speed = Reg(3, 53);
  const double elapsed = QUORVA_SIM_GetTime() - start;
  const auto pulses = static_cast<long long>(std::floor(elapsed * 6e6 + 1e-3));
  unsigned int count = 0;
  QUORVA_SIM_GetAxisRegister(0, 3, 35, &count);
  EXPECT_EQ(count, static_cast<unsigned int>(pulses) & 0x0FFFFFFFu) << "28-bit counter wraps";
  EXPECT_EQ(speed, 20000u);
  EXPECT_TRUE(Busy(3));
  Program(3, 0, 0x08, s);  // a second start while running changes nothing
  Command(3, 0x51);
  EXPECT_EQ(State(3).direction, 1);
}

}  // namespace
}  // namespace quorva::test
