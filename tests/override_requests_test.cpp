// Speed and end-point override, the present and the measured speed: the requests they send,
// against a move the controller reports on an axis at rest.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "motion/core/last_profile.h"
#include "motion/core/speed_profile.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

constexpr unsigned kAccelerating = 0xB;
constexpr unsigned kHighSpeed = 0xC;
constexpr unsigned kDecelerating = 0xD;

Lines Concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::string Read(int axis, int reg) {
  return "630(" + std::to_string(axis) + ", " + std::to_string(reg) + ", *)";
}

std::string Write(int axis, int reg, int value) {
  return "610(" + std::to_string(axis) + ", " + std::to_string(reg) + ", " + std::to_string(value) +
         ")";
}

// The move the controller reports: what register 16, the state, the remaining pulses, the
// counter and the present speed say.
struct Reported {
  int amountInForce;
  unsigned state;
  int remaining;
  int counter;
  int speedSteps;
};

// Axis speeds 100 to 1000 pps with 10000 pps/s ramps: the profile last written has 320 and 3200
// steps at magnification 959 with rate values 152, and needs 49 pulses to stop from 3200 steps.
class OverrideRequests : public test::MotionBoardTest {
 protected:
  static constexpr ProfileRecord kWritten = {0, 3200, 320, 3200, 152, 152, 959};

  void SetUp() override {
    MotionBoardTest::SetUp();
    for (int axis = 0; axis < 8; ++axis) {
      QUORVA_MC_SetSpeedMode(board_, axis, 1);
      QUORVA_MC_SetAccel(board_, axis, 10000, 10000);
      lastProfile[axis] = kWritten;
      for (const auto& [reg, value] : {std::pair{17, 320}, {18, 3200}, {20, 152}, {21, 959}})
        QUORVA_SIM_SetAxisRegister(0, axis, reg, static_cast<unsigned>(value));
    }
    test::ClearLog();
  }
  void TearDown() override {
    for (ProfileRecord& record : lastProfile)
      record.holdRampDown = 0;
    MotionBoardTest::TearDown();
  }

  void Report(int axis, const Reported& r) {
    const int values[][2] = {{16, r.amountInForce},
                             {49, static_cast<int>(r.state)},
                             {52, r.remaining},
                             {35, r.counter},
                             {53, r.speedSteps}};
    for (const auto& [reg, value] : values)
      QUORVA_SIM_SetAxisRegister(0, axis, reg, static_cast<unsigned>(value));
    context_->moveStartPos[axis] = 0;
    context_->moveTargetPos[axis] = r.amountInForce;
    lastProfile[axis] = kWritten;
    test::ClearLog();
  }

  // The requests of the profile computation for `distance` in the axis's present state,
  // leaving that state as it was.
  Lines Profile(int axis, int distance, bool fromPresentSpeed, bool holdRampDown = false) {
    const ProfileRecord saved = lastProfile[axis];
    const std::uint32_t mode = context_->modeRegCache[axis];
    lastProfile[axis].holdRampDown = holdRampDown ? 1 : 0;
    test::ClearLog();
    SpeedProfileCompute(board_, axis, *context_, context_->startSpeed[axis],
                        context_->workSpeed[axis], context_->accel[axis], context_->decel[axis],
                        distance, fromPresentSpeed, false);
    Lines lines = test::RawLog();
    lastProfile[axis] = saved;
    context_->modeRegCache[axis] = mode;
    test::ClearLog();
    return lines;
  }

  // Comparator 3 set to start the next operation at `position`, reached counting up or down.
  Lines WayBack(int axis, int position, bool up, int amount, int distance) {
    unsigned config = (Reg(axis, 31) & 0xFFFCFFFF) | 0x600000;
    config = (config & 0xFFE3FFFF) | (up ? 0x140000 : 0x100000);
    return Concat({{Read(axis, 31), Write(axis, 41, position),
                    Write(axis, 31, static_cast<int>(config)), Write(axis, 0, amount)},
                   Profile(axis, distance, false)});
  }

  static Lines Reads(int axis, std::initializer_list<int> regs) {
    Lines lines;
    for (int reg : regs)
      lines.push_back(Read(axis, reg));
    return lines;
  }
  static Lines Ends(int axis, int amount) {
    return {Write(axis, 16, amount), "640(" + std::to_string(axis) + ", 0, *)"};
  }
};

TEST_F(OverrideRequests, SpeedOverrideProfilesWhatIsLeftFromThePresentSpeed) {
  struct Case {
    const char* name;
    unsigned modeInForce;
    unsigned state;
    double decel;  // set after 10000
    Lines before;  // reads before the profile
    int distance;
    bool profiled;
  };
  const int a = 7;
  const Case cases[] = {
      {"continuous run", 0x08, kHighSpeed, 10000, Reads(a, {23}), 0, true},
      {"positioning at high speed", 0x41, kHighSpeed, 10000, Reads(a, {23, 49, 52}), 900, true},
      {"decelerating, gentler", 0xC2, kDecelerating, 5000, Reads(a, {23, 49}), 0, false},
      {"decelerating, the same", 0x42, kDecelerating, 5000, Reads(a, {23, 49}), 0, false},
      {"decelerating, steeper", 0x42, kDecelerating, 20000, Reads(a, {23, 49, 52}), 900, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QUORVA_MC_SetAccel(board_, a, 10000, c.decel);
    QUORVA_SIM_SetAxisRegister(0, a, 23, c.modeInForce);
    Report(a, {1000, c.state, 900, 100, 3200});
    Lines expected = c.before;
    if (c.profiled) {
      const std::uint32_t mode = context_->modeRegCache[a];
      AxisProfilePrepare(board_, a, *context_, c.distance, true, true, false);
      const Lines prepared = test::RawLog();
      expected.insert(expected.end(), prepared.begin(), prepared.end());
      context_->modeRegCache[a] = mode;
      test::ClearLog();
      EXPECT_EQ(prepared.back(), "620(7, 0, 43)");
    }
    QUORVA_MC_OverrideSpeedSet(board_, a);
    EXPECT_EQ(test::RawLog(), expected);
  }
}

TEST_F(OverrideRequests, SpeedOverrideOfSeveralAxesGoesInListOrder) {
  const int axes[] = {5, 2};
  QUORVA_MC_OverrideSpeedSetAll(board_, 2, axes);
  const Lines logged = test::RawLog();
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.front(), Read(5, 23));
  EXPECT_EQ(std::count(logged.begin(), logged.end(), Read(2, 23)), 1);
  EXPECT_EQ(logged.back(), "620(2, 0, 43)");
  const int twice[] = {2, 2};
  QUORVA_MC_OverrideSpeedSetAll(board_, 2, twice);
  QUORVA_MC_OverrideSpeedSetAll(board_, 1, nullptr);
  EXPECT_EQ(test::RawLog(), logged) << "lists that cannot be read send nothing";
}

TEST_F(OverrideRequests, PresentSpeedIsTheSpeedRegisterAtItsMagnification) {
  QUORVA_SIM_SetAxisRegister(0, 0, 53, 0xABCD0000 | 1000);  // high bits are not the speed
  QUORVA_SIM_SetAxisRegister(0, 0, 21, 29);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetCurSpeed(board_, 0), 10000.0);
  QUORVA_MC_SetUnitSpeed(board_, 0, 4);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetCurSpeed(board_, 0), 2500.0);
  EXPECT_EQ(test::RawLog(), Concat({Reads(0, {21, 53}), Reads(0, {21, 53})}));
}

TEST_F(OverrideRequests, MeasuredSpeedCheckLimitsItsIntervalAndScalesTheResult) {
  QUORVA_MC_EnableActSpdChk(board_, 1);
  QUORVA_MC_EnableActSpdChk(board_, 10000);
  QUORVA_MC_DisableActSpdChk(board_);
  EXPECT_EQ(test::RawLog(), (Lines{"690(10)", "690(5000)", "700()"}));
  EXPECT_EQ(QUORVA_MC_GetActualSpeed(board_, 3), 0.0) << "no interval measured";
  EXPECT_EQ(test::RawLog().back(), "710(3, *, *)");
  EXPECT_EQ(QUORVA_MC_GetActualSpeed(board_, 8), 0.0);
  EXPECT_EQ(test::LoggedRequestCount(), 4) << "an axis the board lacks is not asked for";
}

// The manual variant (automatic ramp-down not allowed) estimates from the profile it wrote.
TEST_F(OverrideRequests, ManualVariantInEachState) {
  struct Case {
    const char* name;
    bool to;
    Reported reported;
    int target;
    Lines expected;
  };
  const int a = 7;
  const Case cases[] = {
      {"stopped", false, {10000, 0, 0, 5000, 0}, 6000, Reads(a, {16, 49, 52})},
      {"accelerating, lengthened",
       false,
       {10000, kAccelerating, 9000, 1000, 1600},
       12000,
       Concat({Reads(a, {16, 49, 52, 35, 53}), Ends(a, 12000)})},
      // From 1600 steps it stops 11 pulses on; the comparator starts the way back 2 before.
      {"accelerating, within the stopping distance",
       false,
       {10000, kAccelerating, 9000, 1000, 1600},
       1005,
       Concat({Reads(a, {16, 49, 52, 35, 53}),
               {Write(a, 22, 11)},
               {Write(a, 16, 1005)},
               WayBack(a, 1009, true, -4, 4),
               {"640(7, 0, *)"}})},
      {"accelerating, within, to a position",
       true,
       {10000, kAccelerating, 9000, 1000, 1600},
       1005,
       Concat({Reads(a, {16, 49, 52, 35, 53}),
               {Write(a, 22, 11)},
               {Write(a, 16, 1005)},
               WayBack(a, 1009, true, 1005, 6),
               {"640(7, 0, *)"}})},
      {"high speed, within",
       true,
       {10000, kHighSpeed, 5000, 5000, 3200},
       5020,
       Concat({Reads(a, {16, 49, 52, 35}),
               {Write(a, 16, 5020)},
               WayBack(a, 5047, true, 5020, 29),
               {"640(7, 0, *)"}})},
      {"high speed, beyond the stopping distance",
       false,
       {10000, kHighSpeed, 5000, 5000, 3200},
       7000,
       Concat({Reads(a, {16, 49, 52, 35}), Ends(a, 7000)})},
      {"high speed, negative direction",
       false,
       {-10000, kHighSpeed, 5000, -5000, 3200},
       -5020,
       Concat({Reads(a, {16, 49, 52, 35}),
               {Write(a, 16, -5020)},
               WayBack(a, -5047, false, 27, 27),
               {"640(7, 0, *)"}})},
      {"decelerating, short of the old end",
       false,
       {10000, kDecelerating, 100, 9900, 2000},
       9950,
       Concat({Reads(a, {16, 49, 52, 35}),
               {Write(a, 16, 9950)},
               WayBack(a, 9998, true, -48, 48),
               {"640(7, 0, *)"}})},
      // Re-profiled from the present speed, ramp-down point held, then placed for the whole
      // way: 49 pulses from 3200 steps less 2.
      {"decelerating, lengthened",
       false,
       {10000, kDecelerating, 100, 9900, 2000},
       12000,
       Concat({Reads(a, {16, 49, 52, 35}),
               {Write(a, 22, 0)},
               Profile(a, 2100, true, true),
               {"620(7, 0, 43)"},
               Reads(a, {49, 53, 52}),
               {Write(a, 6, 47), "620(7, 0, 43)"},
               Ends(a, 12000)})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Report(a, c.reported);
    const int result = c.to ? QUORVA_MC_OverrideMoveTo(board_, a, c.target)
                            : QUORVA_MC_OverrideMove(board_, a, c.target);
    EXPECT_EQ(test::RawLog(), c.expected);
    EXPECT_EQ(result, 0) << "the axis is at rest: the controller refuses";
    EXPECT_EQ(context_->moveTargetPos[a], c.reported.amountInForce) << "left as it was";
  }
}

TEST_F(OverrideRequests, AutomaticVariantInEachState) {
  struct Case {
    const char* name;
    Reported reported;
    int target;
    Lines expected;
  };
  const int a = 0;
  QUORVA_MC_SetMioProperty(board_, a, 31, 1);
  const Case cases[] = {
      {"stopped",
       {10000, 0, 0, 5000, 0},
       6000,
       Concat({Reads(a, {16, 49, 52, 35}), Ends(a, 6000)})},
      {"high speed, at the present position",
       {10000, kHighSpeed, 5000, 5000, 3200},
       5000,
       Concat({Reads(a, {16, 49, 52, 35}), Ends(a, 5000)})},
      {"accelerating",
       {10000, kAccelerating, 9000, 1000, 1600},
       1005,
       Concat({Reads(a, {16, 49, 52, 35}), Ends(a, 1005)})},
      // Passed: it stops 49 pulses on (the profile in force) and comes back 1049.
      {"high speed, passed",
       {10000, kHighSpeed, 5000, 5000, 3200},
       4000,
       Concat({Reads(a, {16, 49, 52, 35, 18, 17, 20, 21}),
               {Write(a, 16, 4000)},
               Profile(a, 1049, false),
               {"620(0, 0, 43)", "640(0, 0, *)"}})},
      {"decelerating, passed",
       {10000, kDecelerating, 100, 9900, 2000},
       9800,
       Concat({Reads(a, {16, 49, 52, 35}),
               {Write(a, 16, 9800)},
               Profile(a, 200, false),
               {"620(0, 0, 43)", "640(0, 0, *)"}})},
      {"decelerating, ahead",
       {10000, kDecelerating, 100, 9900, 2000},
       12000,
       Concat({Reads(a, {16, 49, 52, 35}),
               Profile(a, 2100, true),
               {"620(0, 0, 43)"},
               Ends(a, 12000)})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Report(a, c.reported);
    EXPECT_EQ(QUORVA_MC_OverrideMove(board_, a, c.target), 0);
    EXPECT_EQ(test::RawLog(), c.expected);
  }
}

TEST_F(OverrideRequests, EndsThatAreNotNumbersAndBadAxesSendNothing) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  Report(0, {10000, kHighSpeed, 5000, 5000, 3200});
  for (const double value : {kNaN, kInf, -kInf}) {
    EXPECT_EQ(QUORVA_MC_OverrideMove(board_, 0, value), 0) << value;
    EXPECT_EQ(QUORVA_MC_OverrideMoveTo(board_, 0, value), 0) << value;
    QUORVA_MC_StartPulserMove(board_, 0, value);
    QUORVA_MC_StartPulserMoveTo(board_, 0, value);
  }
  for (const int axis : {-1, 8}) {
    EXPECT_EQ(QUORVA_MC_OverrideMove(board_, axis, 10), 0);
    QUORVA_MC_OverrideSpeedSet(board_, axis);
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0);
  EXPECT_EQ(context_->moveTargetPos[0], 10000);
}

// A controller that reports acceleration for ever does not hold the manual variant for ever.
TEST_F(OverrideRequests, WaitForTheEndOfAnAccelerationGivesUp) {
  lastProfile[3] = {0, 320, 320, 3200, 0, 152, 959};  // a ramp of no time: the margin alone
  Report(3, {10000, kAccelerating, 9000, 1000, 320});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(QUORVA_MC_OverrideMove(board_, 3, 5000), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(context_->moveTargetPos[3], 10000);
  for (const std::string& line : test::RawLog())
    EXPECT_EQ(line.rfind("610(", 0), std::string::npos) << "nothing written: " << line;
}

}  // namespace
}  // namespace quorva
