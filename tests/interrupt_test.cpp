// Interrupts, the blocking mode and the internal start signal as the library sends them, and the
// interrupts and their notification on the simulated driver (virtual clock).
#include <string>
#include <vector>

#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/motion_context.h"
#include "sim_test.h"
#include "test_event.h"

namespace quorva {
namespace {

class Interrupts : public test::MotionBoardTest {
 protected:
  // Both status words of an axis (reading clears them).
  std::pair<int, int> Status(int axis) {
    int first = -1;
    int second = -1;
    QUORVA_MC_GetIntStatus(board_, axis, &first, &second);
    return {first, second};
  }
  void WaitDone(int axis) {
    while (QUORVA_MC_Done(board_, axis) == 0) {
    }
  }
  // The error word the driver reports for registering `value`.
  std::uint32_t RegistrationError(std::uint64_t value) {
    std::uint32_t error = 0xFFFF;
    DriverCall(board_, cmd::kEnableInterrupt, DriverArg::Wide(value), &error);
    return error;
  }
};

TEST_F(Interrupts, RequestsGoStraightToTheDriver) {
  const QUORVA_HANDLE analog = Load(0xA101);
  QUORVA_MC_EnableInterrupt(board_, 0x123456789ull);
  QUORVA_MC_DisableInterrupt(analog);
  QUORVA_MC_MaskInterrupt(board_, 11, 0x21);
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 3), 0u);
  QUORVA_MC_GetIntStatus(board_, -2, nullptr, nullptr);
  QUORVA_MC_MaskInterrupt(QUORVA_INVALID_HANDLE, 0, 1);
  EXPECT_REQUESTS({"650(*, *)", "660()", "665(11, 33)", "670(3, *)", "680(-2, 0, 0)"});
  QUORVA_SIM_REQUEST enable{};
  QUORVA_SIM_GetRequest(0, &enable);
  EXPECT_EQ(enable.slots[0], 0x123456789ull) << "the whole 64-bit value";
}

TEST_F(Interrupts, StatusWordsAreCutToTheirWidths) {
  QUORVA_SIM_RaiseInterrupt(0, 7, 0xFFFFFFFF, 0xFFFFFFFF);
  EXPECT_EQ(Status(7), std::make_pair(0x3FFFF, 0xFFFFF));
  EXPECT_EQ(Status(7), std::make_pair(0, 0)) << "read and cleared";
  QUORVA_SIM_RaiseInterrupt(0, 7, 0xFFFFFFFF, 0);
  int second = 5;
  QUORVA_MC_GetIntStatus(board_, 7, nullptr, &second);
  EXPECT_EQ(second, 0);
}

TEST_F(Interrupts, StartSignalGoesToTheLowestAxisWithItsGroupsMask) {
  QUORVA_MC_PutIntSTA(board_, 0x0C);
  QUORVA_MC_PutIntSTA(board_, 0x30);
  QUORVA_MC_PutIntSTA(board_, 0x100);
  QUORVA_MC_PutIntSTA(board_, 0);
  QUORVA_MC_PutIntSTA(board_, 0x80);
  EXPECT_REQUESTS({"620(2, 0, 3078)", "620(4, 0, 774)", "620(7, 0, 2054)"});
}

TEST_F(Interrupts, BlockingModeZeroPumpsAnyOtherOnlyYields) {
  const QUORVA_HANDLE analog = Load(0xA101);
  for (const auto& [mode, pump] : {std::pair{0u, 1}, {1u, 0}, {0u, 1}, {0xFFFFFFFFu, 0}}) {
    QUORVA_MC_SetBlockingMode(board_, mode);
    EXPECT_EQ(context_->pumpMessagesWhileWaiting, pump) << mode;
  }
  QUORVA_MC_SetWindowHandle(board_, 0xFFFFFFF0u);
  EXPECT_EQ(context_->windowHandle, 0xFFFFFFF0u) << "zero-extended";
  QUORVA_MC_SetBlockingMode(analog, 0);
  QUORVA_MC_SetWindowHandle(analog, 1);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(Interrupts, TraceLinesOfTheInterruptFunctions) {
  const std::string path = test::TempPath("motion.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 3), 0);
  QUORVA_MC_EnableInterrupt(board_, 0xABCDEF0123ull);
  QUORVA_MC_MaskInterrupt(board_, 2, 0xFFFFFFFF);
  QUORVA_MC_SetWindowHandle(board_, 4000000000u);
  QUORVA_MC_SetBlockingMode(board_, 3);
  QUORVA_MC_PutIntSTA(board_, 0x30);
  QUORVA_MC_GetIntStatus(board_, 5, nullptr, nullptr);
  QUORVA_EnableDebugLog(board_, path.c_str(), 0);
  char h[16];
  std::snprintf(h, sizeof h, "0x%x", TraceWord(board_));
  const std::string hs = h;
  const std::string log = test::ReadFile(path);
  for (const std::string& line :
       {"QUORVA_MC_EnableInterrupt(" + hs + ", cdef0123)",
        "QUORVA_MC_MaskInterrupt(" + hs + ", 2, -1)",
        "QUORVA_MC_SetWindowHandle(" + hs + ", 4000000000)",
        "QUORVA_MC_SetBlockingMode(" + hs + ", 3)", "QUORVA_MC_PutIntSTA(" + hs + ", 0x30)",
        "QUORVA_MC_GetIntStatus(" + hs + ", 5)"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  }
}

// The simulated driver.
TEST_F(Interrupts, AMoveEndALimitStopAndALatchRaiseTheirCauses) {
  QUORVA_MC_Move(board_, 1, 300);
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 1), unsigned{QUORVA_SIM_INT_MOVE_END});
  EXPECT_EQ(Status(1), std::make_pair(0, QUORVA_SIM_INT_EVENT_MOVE_END));
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 1), 0u);

  QUORVA_SIM_SetEndLimitPosition(0, 1, -1, 100);
  QUORVA_MC_Move(board_, 1, -500);
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 1),
            unsigned{QUORVA_SIM_INT_MOVE_END | QUORVA_SIM_INT_END_LIMIT});
  EXPECT_EQ(Status(1), std::make_pair(QUORVA_SIM_INT_STOP_EL_MINUS, QUORVA_SIM_INT_EVENT_MOVE_END));

  QUORVA_MC_Move(board_, 1, -5);  // towards the active limit: starts nothing, ends at once
  EXPECT_EQ(Status(1), std::make_pair(QUORVA_SIM_INT_STOP_EL_MINUS, QUORVA_SIM_INT_EVENT_MOVE_END));

  QUORVA_SIM_SetAxisInput(0, 1, QUORVA_SIM_INPUT_LATCH, 1);
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 1), unsigned{QUORVA_SIM_INT_LATCH});
  EXPECT_EQ(Status(1), std::make_pair(0, QUORVA_SIM_INT_EVENT_LATCH));
}

TEST_F(Interrupts, ASoftLimitStopAndComparatorsRaiseTheirCauses) {
  QUORVA_MC_SetSoftLimit(board_, 7, -200, 500);
  QUORVA_MC_EnableSoftLimit(board_, 7);
  QUORVA_MC_Move(board_, 7, 2000);
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 7),
            unsigned{QUORVA_SIM_INT_MOVE_END | QUORVA_SIM_INT_SOFT_LIMIT});
  EXPECT_EQ(Status(7),
            std::make_pair(QUORVA_SIM_INT_STOP_SOFT_PLUS, QUORVA_SIM_INT_EVENT_MOVE_END));

  QUORVA_SIM_SetAxisRegister(0, 6, 32, 1);         // comparator 5: either way, counter C
  QUORVA_SIM_SetAxisRegister(0, 6, 43, 150);       // at 150
  QUORVA_SIM_SetAxisRegister(0, 6, 31, 1u << 26);  // comparator 4: either way, counter C
  QUORVA_SIM_SetAxisRegister(0, 6, 42, 200);       // at 200
  QUORVA_MC_Move(board_, 6, 300);
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 6),
            unsigned{QUORVA_SIM_INT_MOVE_END | QUORVA_SIM_INT_COMPARE});
  EXPECT_EQ(Status(6),
            std::make_pair(0, QUORVA_SIM_INT_EVENT_MOVE_END | QUORVA_SIM_INT_EVENT_COMPARE1 << 3 |
                                  QUORVA_SIM_INT_EVENT_COMPARE1 << 4));
}

TEST_F(Interrupts, MaskedSourcesRecordNothing) {
  QUORVA_MC_MaskInterrupt(board_, 0, QUORVA_SIM_INT_END_LIMIT | QUORVA_SIM_INT_LATCH);
  QUORVA_SIM_SetEndLimitPosition(0, 0, 1, 100);
  QUORVA_MC_Move(board_, 0, 500);
  QUORVA_SIM_SetAxisInput(0, 0, QUORVA_SIM_INPUT_LATCH, 1);
  QUORVA_SIM_RaiseInterrupt(0, 0, 0x20000, 0);  // a cause of no source
  EXPECT_EQ(Status(0), std::make_pair(0x20000, QUORVA_SIM_INT_EVENT_MOVE_END));
  QUORVA_MC_MaskInterrupt(board_, 0, QUORVA_SIM_INT_MOVE_END);
  QUORVA_MC_Move(board_, 0, -50);
  EXPECT_EQ(QUORVA_MC_GetAxisIntState(board_, 0), 0u);
  EXPECT_EQ(Status(0), std::make_pair(0, 0));
}

TEST_F(Interrupts, TheEventIsSignalledWhenVirtualTimePassesTheInterrupt) {
  test::TestEvent event;
  QUORVA_MC_EnableInterrupt(board_, event.Value());
  QUORVA_MC_StartMove(board_, 2, 1000);  // one second at 1000 pulses per second
  QUORVA_SIM_AdvanceTime(0.9);
  EXPECT_EQ(event.Take(), 0u);
  QUORVA_SIM_AdvanceTime(0.2);
  EXPECT_EQ(event.Take(), 1u) << "signalled as time passed the end, before any request";
  EXPECT_EQ(QUORVA_MC_Done(board_, 2), 1);

  QUORVA_SIM_LatchPulseAt(0, 2, QUORVA_SIM_GetTime() + 0.5);
  QUORVA_SIM_LatchPulseAt(0, 3, QUORVA_SIM_GetTime() + 0.5);
  QUORVA_SIM_AdvanceTime(1);
#ifndef _WIN32
  EXPECT_EQ(event.Take(), 2u) << "the driver adds 1 per interrupt";
#else
  EXPECT_EQ(event.Take(), 1u);
#endif
  QUORVA_MC_MaskInterrupt(board_, 2, QUORVA_SIM_INT_LATCH);
  QUORVA_SIM_SetAxisInput(0, 2, QUORVA_SIM_INPUT_LATCH, 0);
  QUORVA_SIM_SetAxisInput(0, 2, QUORVA_SIM_INPUT_LATCH, 1);
  EXPECT_EQ(event.Take(), 0u) << "masked";
  QUORVA_MC_DisableInterrupt(board_);
  QUORVA_MC_Move(board_, 2, 10);
  EXPECT_EQ(event.Take(), 0u) << "disabled";
}

TEST_F(Interrupts, RegistrationNeedsAnEventAndEndsWithTheLastHandle) {
  test::TestEvent event;
  EXPECT_EQ(RegistrationError(0), unsigned{QUORVA_SIM_INT_ERR_EVENT});
  EXPECT_EQ(RegistrationError(~0ull), unsigned{QUORVA_SIM_INT_ERR_EVENT});
#ifndef _WIN32
  EXPECT_EQ(RegistrationError(2), unsigned{QUORVA_SIM_INT_ERR_EVENT}) << "stderr is no eventfd";
#endif
  EXPECT_EQ(RegistrationError(event.Value()), 0u);
  EXPECT_EQ(RegistrationError(0), unsigned{QUORVA_SIM_INT_ERR_EVENT}) << "and keeps the event";
  QUORVA_SIM_RaiseInterrupt(0, 0, 0, 1);
  EXPECT_EQ(event.Take(), 1u);

  const QUORVA_HANDLE second = QUORVA_LoadDevice(0xA508, 0);
  QUORVA_UnloadDevice(second);
  QUORVA_SIM_RaiseInterrupt(0, 0, 0, 1);
  EXPECT_EQ(event.Take(), 1u) << "another handle stays open";
  QUORVA_UnloadDevice(board_);
  QUORVA_SIM_RaiseInterrupt(0, 0, 0, 1);
  EXPECT_EQ(event.Take(), 0u);
}

TEST_F(Interrupts, TheDriverKeepsItsOwnReferenceToTheEvent) {
  auto event = std::make_unique<test::TestEvent>();
  QUORVA_MC_EnableInterrupt(board_, event->Value());
  event.reset();  // the application closes its own; the number may be reused
  test::TestEvent reused;
  QUORVA_SIM_RaiseInterrupt(0, 0, 0, 1);
  EXPECT_EQ(reused.Take(), 0u);
}

}  // namespace
}  // namespace quorva
