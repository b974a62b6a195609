// Latch configuration and reads, the latch queue as the library forwards it, and latches on the
// simulated controller.
#include <cmath>
#include <string>
#include <vector>

#include "device/trace.h"
#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

class Latches : public test::MotionBoardTest {
 protected:
  // An item of counter `code` holding `value`, latched on axis `axis` from an idle counter.
  void QueueItem(int axis, int code, int value) {
    QUORVA_SIM_SetAxisRegister(0, axis, 35 + code, static_cast<unsigned>(value));
    QUORVA_MC_LtcQueSetCfg(board_, axis, 100, code);
    QUORVA_MC_LtcQueSetEnable(board_, axis, 1);
    QUORVA_SIM_SetAxisInput(0, axis, QUORVA_SIM_INPUT_LATCH, 1);
    QUORVA_SIM_SetAxisInput(0, axis, QUORVA_SIM_INPUT_LATCH, 0);
    test::ClearLog();
  }
};

TEST_F(Latches, ConfigurationIsReadModifyWriteOfTwoBitsOnTheClampedAxis) {
  QUORVA_SIM_SetAxisRegister(0, 7, 28, 0x12345678);
  QUORVA_SIM_SetAxisRegister(0, 7, 32, 0x0000BFFF);
  QUORVA_MC_SetMioCfgLTC(board_, 12, 2, 5);  // first 1 or more: set; second limited to 1
  EXPECT_REQUESTS(
      {"630(7, 28, *)", "610(7, 28, 0x12B45678)", "630(7, 32, *)", "610(7, 32, 0xFFFF)"});
  int first = -1;
  int second = -1;
  QUORVA_MC_GetMioCfgLTC(board_, 7, &first, &second);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
  QUORVA_SIM_SetAxisRegister(0, 0, 28, 0xFFFFFFFF);
  QUORVA_MC_SetMioCfgLTC(board_, -4, -1, -1);  // axis 0: both flags clear
  QUORVA_MC_GetMioCfgLTC(board_, 0, &first, nullptr);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(Reg(0, 32) & 0x4000, 0u);
}

TEST_F(Latches, LatchedCountersReadAsTheirCounterKinds) {
  struct Case {
    int code;
    int reg;
    unsigned raw;
    bool speedLatch;
    int expected;
  };
  QUORVA_SIM_SetAxisRegister(0, 1, 21, 29);  // 10 pulses per second per step
  for (const Case& c :
       {Case{7, 48, 0x0FFFFFFF, false, -1}, Case{-1, 45, 0x08000000, false, -134217728},
        Case{1, 46, 0xF0000005, false, 5}, Case{2, 47, 0x0000FFFF, false, -1},
        Case{2, 47, 0x12340064, true, 1000}}) {
    SCOPED_TRACE(c.code);
    QUORVA_SIM_SetAxisRegister(0, 1, c.reg, c.raw);
    QUORVA_SIM_SetAxisRegister(0, 1, 32, c.speedLatch ? 0x4000 : 0);
    test::ClearLog();
    EXPECT_EQ(QUORVA_MC_ReadLatchCounter(board_, 1, c.code), c.expected);
    Lines expected{"630(1, " + std::to_string(c.reg) + ", *)"};
    if (c.reg == 47) expected.push_back("630(1, 32, *)");
    if (c.speedLatch) expected.push_back("630(1, 21, *)");
    EXPECT_EQ(test::RawLog(), expected);
  }
}

TEST_F(Latches, LatchStateIsBitFourteenOfRegisterFiftyOne) {
  QUORVA_SIM_SetAxisRegister(0, 7, 51, 0xFFFFBFFF);
  EXPECT_EQ(QUORVA_MC_GetLatchState(board_, 9), 0);
  QUORVA_SIM_SetAxisRegister(0, 7, 51, 0x4000);
  EXPECT_EQ(QUORVA_MC_GetLatchState(board_, 9), 1);
  EXPECT_REQUESTS({"630(7, 51, *)", "630(7, 51, *)"});
}

TEST_F(Latches, AxesBeyondTheBoardReadZeroAfterTheClamp) {
  UseBoards("A504");
  const QUORVA_HANDLE four = Load(0xA504);
  QUORVA_SIM_SetAxisRegister(0, 7, 45, 5);
  EXPECT_EQ(QUORVA_MC_ReadLatchCounter(four, 7, 0), 0);
  EXPECT_EQ(QUORVA_MC_GetLatchState(four, 40), 0);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(Latches, QueueRequestsClampTheirArguments) {
  int size = -1;
  int code = -1;
  int flag = -1;
  int count = -1;
  EXPECT_EQ(QUORVA_MC_LtcQueSetCfg(board_, 0, 200000, 9), 1);
  QUORVA_MC_LtcQueSetCfg(board_, 9, -5, -2);
  QUORVA_MC_LtcQueSetEnable(board_, -1, 7);
  QUORVA_MC_LtcQueGetCfg(board_, 0, &size, &code);
  QUORVA_MC_LtcQueGetEnable(board_, 0, &flag);
  QUORVA_MC_LtcQueGetItemCount(board_, 8, &count);
  QUORVA_MC_LtcQueResetItem(board_, 3);
  EXPECT_REQUESTS({"2120(0, 100000, 3)", "2120(7, 0, 0)", "2122(0, 1)", "2121(0, *, *)",
                   "2123(0, *)", "2124(7, *)", "2125(3)"});
  EXPECT_EQ(size, 100000);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(count, 0);
}

TEST_F(Latches, QueueReadsWriteOnlyTheCallersIntsAndOnlyWhenAnswered) {
  QUORVA_MC_LtcQueSetCfg(board_, 2, 40, 1);
  struct Guarded {
    int before = 0x5A5A5A5A;
    int value = -1;
    int after = 0x5A5A5A5A;
  } size, code;
  EXPECT_EQ(QUORVA_MC_LtcQueGetCfg(board_, 2, &size.value, nullptr), 1);
  EXPECT_EQ(QUORVA_MC_LtcQueGetCfg(board_, 2, nullptr, &code.value), 1);
  EXPECT_EQ(QUORVA_MC_LtcQueGetCfg(board_, 2, nullptr, nullptr), 1);
  EXPECT_EQ(size.value, 40);
  EXPECT_EQ(code.value, 1);
  for (const Guarded& g : {size, code}) {
    EXPECT_EQ(g.before, 0x5A5A5A5A);
    EXPECT_EQ(g.after, 0x5A5A5A5A);
  }
  QUORVA_SIM_RefuseCommand(2124);
  int count = 77;
  EXPECT_EQ(QUORVA_MC_LtcQueGetItemCount(board_, 2, &count), 0);
  EXPECT_EQ(count, 77) << "an unanswered read leaves the caller's value";
}

TEST_F(Latches, DequeDeliversUserUnitsByCounterAndTheDriversCode) {
  struct Case {
    int code;
    double ratio;
    double expected;
  };
  context_->unitDistance[4] = 1000;
  for (const Case& c :
       {Case{0, 1, 2.5}, Case{3, 1, 2500}, Case{1, 2, 1.25}, Case{1, 0, 2500}, Case{2, 1, 2500}}) {
    SCOPED_TRACE(c.code);
    context_->inOutRatio[4] = c.ratio;
    QueueItem(4, c.code, 2500);
    double peeked = 0;
    double value = 0;
    EXPECT_EQ(QUORVA_MC_LtcQuePeekAt(board_, 4, 0, &peeked), 0);
    EXPECT_EQ(QUORVA_MC_LtcQueDeque(board_, 4, &value), 0);
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(peeked, c.expected);
    EXPECT_REQUESTS({"2127(4, 0, *, *, *)", "2126(4, *, *, *)"});
  }
}

TEST_F(Latches, EmptyQueueUnansweredRequestAndNullPointer) {
  double value = 9;
  EXPECT_EQ(QUORVA_MC_LtcQueDeque(board_, 5, &value), 1) << "the driver's no-item code";
  EXPECT_EQ(value, 0);
  QueueItem(5, 0, 30);
  EXPECT_EQ(QUORVA_MC_LtcQuePeekAt(board_, 5, 1, &value), 1);
  EXPECT_EQ(QUORVA_MC_LtcQueDeque(board_, 5, nullptr), 0) << "removed without delivery";
  int count = -1;
  QUORVA_MC_LtcQueGetItemCount(board_, 5, &count);
  EXPECT_EQ(count, 0);
  QueueItem(5, 0, 30);
  QUORVA_SIM_RefuseCommand(2126);
  value = 9;
  EXPECT_EQ(QUORVA_MC_LtcQueDeque(board_, 5, &value), -1630);
  EXPECT_EQ(value, 0);
}

TEST_F(Latches, ABoardWithoutMotionDeliversPulses) {
  const QUORVA_HANDLE analog = Load(0xA101);
  QUORVA_SIM_SetAxisRegister(1, 0, 35, 1234);
  QUORVA_MC_LtcQueSetCfg(analog, 0, 5, 0);
  QUORVA_MC_LtcQueSetEnable(analog, 0, 1);
  QUORVA_SIM_SetAxisInput(1, 0, QUORVA_SIM_INPUT_LATCH, 1);
  double value = 0;
  EXPECT_EQ(QUORVA_MC_LtcQueDeque(analog, 0, &value), 0);
  EXPECT_EQ(value, 1234);
}

TEST_F(Latches, TraceLinesPrintAddressesAsTheirFormatsRead) {
  const std::string path = test::TempPath("motion.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 2), 0);
  int size = 0;
  int code = 0;
  double value = 0;
  QUORVA_MC_SetMioCfgLTC(board_, 1, 1, 0);
  QUORVA_MC_LtcQueSetCfg(board_, 1, 10, 2);
  QUORVA_MC_LtcQueGetCfg(board_, 1, &size, &code);
  QUORVA_MC_LtcQueDeque(board_, 1, &value);
  QUORVA_MC_LtcQuePeekAt(board_, 1, 4, &value);
  QUORVA_MC_LtcQueResetItem(board_, 1);
  QUORVA_EnableDebugLog(board_, path.c_str(), 0);
  char handle[16];
  std::snprintf(handle, sizeof handle, "0x%x", TraceWord(board_));
  const std::string h = handle;
  const auto d = [](const void* p) { return std::to_string(TraceSigned(p)); };
  const std::string log = test::ReadFile(path);
  for (const std::string& line :
       {"QUORVA_MC_SetMioCfgLTC(" + h + ", 1, 1, 0)", "QUORVA_MC_QueSetCfg(" + h + ", 1, 10, 2)",
        "QUORVA_MC_LtcQueGetCfg(" + h + ", 1, " + d(&size) + ", " + d(&code) + ")",
        "QUORVA_MC_LtcQueDeque(" + h + ", 1, " + d(&value) + ")",
        "QUORVA_MC_LtcQuePeekAt(" + h + ", 1, 4)", "QUORVA_MC_LtcQueResetItem(" + h + ", 1)"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  }
}

// The simulated controller.
class SimLatches : public Latches {
 protected:
  // A constant-speed move of axis `axis` at 1000 pulses per second; its start time.
  double RunAtConstantSpeed(int axis, double pulses) {
    QUORVA_MC_SetSpeed(board_, axis, 1000, 1000);
    QUORVA_MC_SetSpeedMode(board_, axis, 0);
    QUORVA_MC_StartMove(board_, axis, pulses);
    QUORVA_SIM_AXIS_STATE state{};
    QUORVA_SIM_GetAxisState(0, axis, &state);
    return state.startTime;
  }
  void WaitDone(int axis) {
    while (QUORVA_MC_Done(board_, axis) == 0) {
    }
  }
};

TEST_F(SimLatches, AnEdgeDuringAMoveLatchesTheCountersOfThatInstant) {
  QUORVA_SIM_SetFollowingError(0, 3, 7);
  const double start = RunAtConstantSpeed(3, 5000);
  const double at = start + 1.23456;
  ASSERT_EQ(QUORVA_SIM_LatchPulseAt(0, 3, at), 0);
  EXPECT_EQ(QUORVA_SIM_LatchPulseAt(0, 3, start - 1), -1) << "not in the past";
  QUORVA_SIM_AdvanceTime(2);
  EXPECT_NEAR(QUORVA_MC_ReadLatchCounter(board_, 3, 0), 1234.56, 1) << "at the pulse, not now";
  QUORVA_SIM_SetAxisInput(0, 3, QUORVA_SIM_INPUT_LATCH, 1);  // a second edge, by the input
  const double second = QUORVA_SIM_GetTime();
  QUORVA_SIM_SetAxisInput(0, 3, QUORVA_SIM_INPUT_LATCH, 0);
  EXPECT_NEAR(QUORVA_MC_ReadLatchCounter(board_, 3, 0), 1000 * (second - start), 1);
  EXPECT_NEAR(QUORVA_MC_ReadLatchCounter(board_, 3, 1), 1000 * (second - start) - 7, 1);
  EXPECT_EQ(QUORVA_MC_ReadLatchCounter(board_, 3, 2), 7);
  EXPECT_EQ(QUORVA_MC_GetLatchState(board_, 3), 1);
  // The pulse's instant, read back long after it from the queue of counter C.
  QUORVA_MC_WriteRegister(board_, 3, 51, 0);
  EXPECT_EQ(QUORVA_MC_GetLatchState(board_, 3), 0);
  QUORVA_MC_LtcQueSetCfg(board_, 3, 10, 0);
  QUORVA_MC_LtcQueSetEnable(board_, 3, 1);
  QUORVA_SIM_LatchPulseAt(0, 3, QUORVA_SIM_GetTime() + 0.5);
  WaitDone(3);
  double latched = 0;
  ASSERT_EQ(QUORVA_MC_LtcQueDeque(board_, 3, &latched), 0);
  EXPECT_LT(latched, 5000);
  EXPECT_GT(latched, 1000 * (second - start) + 450);
}

TEST_F(SimLatches, ABurstOfAThousandLatchesIsQueuedInOrderAndNoneIsLost) {
  QUORVA_MC_LtcQueSetCfg(board_, 6, 1000, 0);
  QUORVA_MC_LtcQueSetEnable(board_, 6, 1);
  const double start = RunAtConstantSpeed(6, 12000);
  std::vector<double> times;
  for (int i = 0; i < 1000; ++i) {
    times.push_back(start + 0.5 + i * 0.0107);
    ASSERT_EQ(QUORVA_SIM_LatchPulseAt(0, 6, times.back()), 0);
  }
  QUORVA_SIM_LatchPulseAt(0, 6, start + 11.9);  // one more than the queue holds: dropped
  WaitDone(6);
  int count = 0;
  QUORVA_MC_LtcQueGetItemCount(board_, 6, &count);
  ASSERT_EQ(count, 1000);
  double first = 0;
  QUORVA_MC_LtcQuePeekAt(board_, 6, 0, &first);
  EXPECT_NEAR(first, 500, 1);
  for (int i = 0; i < 1000; ++i) {
    double value = 0;
    ASSERT_EQ(QUORVA_MC_LtcQueDeque(board_, 6, &value), 0) << i;
    EXPECT_NEAR(value, 1000 * (times[static_cast<std::size_t>(i)] - start), 1) << i;
  }
  QUORVA_MC_LtcQueGetItemCount(board_, 6, &count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(QUORVA_MC_LtcQueDeque(board_, 6, nullptr), 1);
}

TEST_F(SimLatches, QueueFollowsItsEnableSizeCounterAndEdge) {
  const auto latch = [](int active) {
    QUORVA_SIM_SetAxisInput(0, 2, QUORVA_SIM_INPUT_LATCH, active);
  };
  int count = 0;
  QUORVA_MC_LtcQueSetCfg(board_, 2, 3, 3);
  latch(1);
  latch(0);
  QUORVA_MC_LtcQueGetItemCount(board_, 2, &count);
  EXPECT_EQ(count, 0) << "disabled";
  QUORVA_MC_LtcQueSetEnable(board_, 2, 1);
  for (int i = 0; i < 4; ++i) {
    QUORVA_SIM_SetAxisRegister(0, 2, 38, static_cast<unsigned>(-10 * i) & 0x0FFFFFFF);
    latch(1);
    latch(0);
  }
  QUORVA_MC_LtcQueGetItemCount(board_, 2, &count);
  EXPECT_EQ(count, 3) << "full: the fourth is dropped";
  QUORVA_MC_LtcQueSetCfg(board_, 2, 2, 0);
  double value = 0;
  EXPECT_EQ(QUORVA_MC_LtcQuePeekAt(board_, 2, 1, &value), 0);
  EXPECT_EQ(value, -10) << "a smaller size keeps the oldest; items keep their counter";
  EXPECT_EQ(QUORVA_MC_LtcQuePeekAt(board_, 2, 2, &value), 1);
  QUORVA_MC_LtcQueResetItem(board_, 2);
  QUORVA_MC_SetMioCfgLTC(board_, 2, 1, 0);  // latch on the release of the input
  QUORVA_SIM_SetAxisRegister(0, 2, 35, 55);
  latch(1);
  QUORVA_MC_LtcQueGetItemCount(board_, 2, &count);
  EXPECT_EQ(count, 0);
  latch(0);
  EXPECT_EQ(QUORVA_MC_LtcQueDeque(board_, 2, &value), 0);
  EXPECT_EQ(value, 55);
}

TEST_F(SimLatches, TheDeviationLatchHoldsTheSpeedWhenSoConfigured) {
  QUORVA_MC_SetMioCfgLTC(board_, 0, 0, 1);
  RunAtConstantSpeed(0, 5000);
  QUORVA_SIM_AdvanceTime(1);
  QUORVA_SIM_SetAxisInput(0, 0, QUORVA_SIM_INPUT_LATCH, 1);
  EXPECT_NEAR(QUORVA_MC_ReadLatchCounter(board_, 0, 2), 1000, 1000 * 0.01);
}

}  // namespace
}  // namespace quorva
