#include <cstdint>
#include <cstring>
#include <vector>

#include "device/commands.h"
#include "device/driver_call.h"
#include "motion/core/list_chain.h"
#include "motion/core/motion_context.h"
#include "platform/backend.h"
#include "sim_test.h"

namespace quorva {
namespace {

constexpr int kMotionBoard = 0;
constexpr std::uint32_t kSlotRegisters[kListSlotRegisters] = {0, 1, 2, 3,  4,  5, 6,
                                                              7, 8, 9, 10, 11, 32};

std::uint32_t U32At(const ListEntry& entry, std::size_t offset) {
  std::uint32_t value = 0;
  std::memcpy(&value, reinterpret_cast<const std::uint8_t*>(&entry) + offset, sizeof value);
  return value;
}

std::uint8_t ByteAt(const ListEntry& entry, std::size_t offset) {
  return reinterpret_cast<const std::uint8_t*>(&entry)[offset];
}

// Entry `index` of the list the simulated driver last received on board `board`.
ListEntry Received(int index, int board = kMotionBoard) {
  ListEntry entry{};
  EXPECT_EQ(QUORVA_SIM_GetListEntry(board, index, &entry), 0) << index;
  return entry;
}

unsigned Outputs(int board) {
  unsigned states = 0;
  EXPECT_EQ(QUORVA_SIM_GetDigitalOutputs(board, 0, &states), 0);
  return states;
}

class ListMotion : public test::MotionBoardTest {
 protected:
  // Trapezoidal moves at 1000 pulses per second, 100 to start, ramps of 0.1 s.
  void UseProfile(std::initializer_list<int> axes) {
    for (int axis : axes) {
      QUORVA_MC_SetSpeedRange(board_, axis, 2000);
      QUORVA_MC_SetSpeed(board_, axis, 100, 1000);
      QUORVA_MC_SetAccel(board_, axis, 9000, 9000);
      QUORVA_MC_SetSpeedMode(board_, axis, 1);
    }
    test::ClearLog();
  }
};

TEST_F(ListMotion, EmptyChainSendsNothingAndKeepsTheAbortFlag) {
  context_->abortRequested = 7;
  QUORVA_MC_StartListMotion(board_);
  EXPECT_REQUESTS({});
  EXPECT_EQ(context_->abortRequested, 7);
}

TEST_F(ListMotion, MoveOutsideTheListAxesStartsAtOnce) {
  QUORVA_MC_SetListMotionAxes(board_, 0x101);  // bit 8 is not an axis bit
  EXPECT_EQ(context_->listMotionAxisMask, 0x01u);
  QUORVA_MC_BeginList(board_);
  test::ClearLog();
  QUORVA_MC_StartMove(board_, 1, 10);
  EXPECT_TRUE(context_->listItems.Empty());
  EXPECT_EQ(AxisState(1).busy, 1) << "the move runs";
  QUORVA_MC_StartMove(board_, 0, 10);
  EXPECT_EQ(context_->listItems.Size(), 1u);
  EXPECT_EQ(AxisState(0).busy, 0) << "the recorded move waits for the list";
}

TEST_F(ListMotion, ImmediacyMarksOnlyTheNextEntry) {
  QUORVA_MC_LmSetImmediacy(board_);
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_StartMove(board_, 0, 10);
  QUORVA_MC_StartMove(board_, 1, 20);
  QUORVA_MC_EndList(board_);
  QUORVA_MC_StartListMotion(board_);
  ASSERT_EQ(QUORVA_SIM_ListEntryCount(kMotionBoard), 2);
  EXPECT_EQ(ByteAt(Received(0), 1), 1);
  EXPECT_EQ(ByteAt(Received(1), 1), 0);
  EXPECT_EQ(context_->listImmediacy, 0);
}

TEST_F(ListMotion, EntriesReachTheDriverByteForByte) {
  UseProfile({1, 2, 3});
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_StartMove(board_, 2, 25);
  const int axes[] = {1, 3};
  const double distances[] = {30, -40};
  QUORVA_MC_StartMoveAll(board_, 2, axes, distances);
  QUORVA_MC_EndList(board_);
  // The pre-registers still hold what each axis was set up with.
  std::uint32_t expected[4][kListSlotRegisters];
  for (int axis = 1; axis <= 3; ++axis) {
    for (int r = 0; r < kListSlotRegisters; ++r)
      expected[axis][r] = Reg(axis, static_cast<int>(kSlotRegisters[r]));
  }
  ASSERT_EQ(expected[2][0], 25u);
  ASSERT_EQ(expected[3][0], static_cast<std::uint32_t>(-40));
  test::ClearLog();
  QUORVA_MC_StartListMotion(board_);
  EXPECT_REQUESTS({"760(*, 2, 255)"});
  ASSERT_EQ(QUORVA_SIM_ListEntryCount(kMotionBoard), 2);

  const ListEntry single = Received(0);
  EXPECT_EQ(ByteAt(single, 0), kListStartMaster);
  EXPECT_EQ(ByteAt(single, 1), 0);
  EXPECT_EQ(ByteAt(single, 2), 0);
  EXPECT_EQ(ByteAt(single, 3), 0);
  EXPECT_EQ(U32At(single, 4), 0x4u);
  EXPECT_EQ(U32At(single, 8), 0x53u) << "trapezoid with acceleration";
  for (int r = 0; r < kListSlotRegisters; ++r)
    EXPECT_EQ(U32At(single, 12 + 4 * r), expected[2][r]) << "register " << kSlotRegisters[r];
  for (std::size_t offset = 12 + 52; offset < 428; offset += 4)
    EXPECT_EQ(U32At(single, offset), 0u) << offset;
  EXPECT_EQ(U32At(single, 428), 2u);

  const ListEntry group = Received(1);
  EXPECT_EQ(ByteAt(group, 0), kListStartMaster);
  EXPECT_EQ(U32At(group, 4), 0xAu);
  EXPECT_EQ(U32At(group, 8), 0xA53u) << "axes 1 and 3 of the chip in bits 8-11";
  for (int r = 0; r < kListSlotRegisters; ++r) {
    EXPECT_EQ(U32At(group, 12 + 4 * r), expected[1][r]) << "axis 1, register " << r;
    EXPECT_EQ(U32At(group, 12 + 52 + 4 * r), expected[3][r]) << "axis 3, register " << r;
  }
  for (std::size_t offset = 12 + 2 * 52; offset < 428; offset += 4)
    EXPECT_EQ(U32At(group, offset), 0u) << offset;
  EXPECT_EQ(U32At(group, 428), 1u);
}

TEST_F(ListMotion, OutputActionOnTheMotionBoardItselfAsksForNoAddresses) {
  QUORVA_MC_LmDoPutOne(board_, board_, 3, 1);
  QUORVA_MC_LmDoPulseMulti(board_, nullptr, 0, 0x30, 0x10, 20);
  EXPECT_REQUESTS({});
  QUORVA_MC_StartListMotion(board_);
  const ListEntry put = Received(0);
  EXPECT_EQ(ByteAt(put, 0), kListDigitalOutput);
  EXPECT_EQ(ByteAt(put, 1), 1);
  EXPECT_EQ(U32At(put, 12), 0u);
  EXPECT_EQ(U32At(put, 64), kPutOne);
  EXPECT_EQ(U32At(put, 68), 3u);
  EXPECT_EQ(U32At(put, 72), 1u);
  const ListEntry pulse = Received(1);
  EXPECT_EQ(U32At(pulse, 64), kPulseMulti);
  EXPECT_EQ(U32At(pulse, 68), 0u);
  EXPECT_EQ(U32At(pulse, 72), 0x30u);
  EXPECT_EQ(U32At(pulse, 76), 0x10u);
  EXPECT_EQ(U32At(pulse, 80), 20u);
  // Address 0 names the list's own board: output 3 on, 4 pulsed on and 5 pulsed off.
  EXPECT_EQ(Outputs(kMotionBoard), 0x18u);
  ASSERT_EQ(QUORVA_SIM_AdvanceTime(0.021), 0);
  EXPECT_EQ(Outputs(kMotionBoard), 0x28u) << "the pulse ended";
  EXPECT_NE(QUORVA_MC_CheckListMotionDone(board_), 0);
}

TEST_F(ListMotion, AbortClearsBothFlagsAndStopsEveryListAxis) {
  QUORVA_MC_SetListMotionAxes(board_, 0x15);
  context_->abortRequested = 1;
  context_->stopRequested = 1;
  QUORVA_MC_AbortListMotion(board_);
  EXPECT_EQ(context_->abortRequested, 0);
  EXPECT_EQ(context_->stopRequested, 0);
  EXPECT_REQUESTS({"765()", "620(0, 0, 73)", "620(2, 0, 73)", "620(4, 0, 73)"});
}

TEST_F(ListMotion, NothingRunBeforeTheFirstList) {
  EXPECT_NE(QUORVA_MC_CheckListMotionDone(board_), 0);
  EXPECT_EQ(QUORVA_MC_LmCurSequence(board_), 0);
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(kMotionBoard), 0);
  ListEntry entry{};
  EXPECT_EQ(QUORVA_SIM_GetListEntry(kMotionBoard, 0, &entry), -1);
  EXPECT_EQ(QUORVA_SIM_GetListEntry(kMotionBoard, 0, nullptr), -1);
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(9), -1);
}

TEST_F(ListMotion, DriverCopiesNoMoreThanTheChainHolds) {
  ListEntry first{};
  first.kind = kListDigitalOutput;
  first.output.arguments[0] = 2;
  first.output.arguments[1] = 1;
  ListEntry second = first;
  second.output.arguments[0] = 6;
  const ListNode last{nullptr, &second};
  const ListNode head{&last, &first};
  EXPECT_EQ(DriverCall(board_, cmd::kListRun, &head, 5u, 0xFFu), 1) << "count past the end";
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(kMotionBoard), 2);
  EXPECT_EQ(Outputs(kMotionBoard), 0x44u);

  const ListNode broken{nullptr, nullptr};
  const ListNode before{&broken, &first};
  EXPECT_EQ(DriverCall(board_, cmd::kListRun, &before, 2u, 0xFFu), 1);
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(kMotionBoard), 1) << "a node without an entry ends it";
  EXPECT_EQ(DriverCall(board_, cmd::kListRun, nullptr, 3u, 0xFFu), 1);
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(kMotionBoard), 0);
  EXPECT_NE(QUORVA_MC_CheckListMotionDone(board_), 0);
}

// A driver in front of the simulator that keeps the run-list request of a 32-bit caller and
// answers every request itself (a 64-bit process with the probe forced sends addresses cut to
// 32 bits, which nothing may follow or write through).
std::uint64_t g_runListSlots[4] = {};

int CaptureSend(QUORVA_HANDLE, const DriverPacket& packet) {
  if (packet.Code() != cmd::kListRun) return 1;
  for (int slot = 0; slot < 4; ++slot) {
    g_runListSlots[slot] = packet.Slot(static_cast<std::size_t>(slot));
  }
  return 1;
}

TEST_F(ListMotion, ThirtyTwoBitCallerHandsOverTheWideNodeChain) {
  const DriverBackend capture{"capture",
                              SimulatedDriverBackend().open,
                              CaptureSend,
                              SimulatedDriverBackend().close,
                              SimulatedDriverBackend().release,
                              nullptr,
                              SimulatedDriverBackend().clockNs};
  SelectBackend(capture);
  OverrideWow64Probe(1);
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_StartMove(board_, 2, 25);
  QUORVA_MC_LmDoPutOne(board_, board_, 5, 1);
  QUORVA_MC_StartMove(board_, 6, -3);
  QUORVA_MC_EndList(board_);
  EXPECT_TRUE(context_->listItems.Empty()) << "moves and output actions share the sent chain";
  const ListChain& chain = context_->listItemsWow64;
  ASSERT_EQ(chain.Size(), 3u);

  // The wide nodes: next, a zero field, entry, a zero field, each 8 bytes.
  const std::vector<ListNodeWow64> nodes = LinkWideNodes(chain);
  ASSERT_EQ(nodes.size(), 3u);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    EXPECT_EQ(nodes[i].zero1, 0u) << i;
    EXPECT_EQ(nodes[i].zero2, 0u) << i;
    EXPECT_EQ(nodes[i].entry, reinterpret_cast<std::uintptr_t>(&chain.At(i))) << i;
    const std::uintptr_t next =
        i + 1 < nodes.size() ? reinterpret_cast<std::uintptr_t>(&nodes[i + 1]) : 0;
    EXPECT_EQ(nodes[i].next, next) << i;
  }
  EXPECT_EQ(chain.At(0).kind, kListStartMaster);
  EXPECT_EQ(chain.At(0).master, 2u);
  EXPECT_EQ(chain.At(0).mask, 0x04u);
  EXPECT_EQ(chain.At(1).kind, kListDigitalOutput);
  EXPECT_EQ(chain.At(1).output.arguments[0], 5u);
  EXPECT_EQ(chain.At(2).master, 6u);

  QUORVA_MC_StartListMotion(board_);
  OverrideWow64Probe(-1);
  SelectBackend(SimulatedDriverBackend());
  EXPECT_TRUE(context_->listItemsWow64.Empty());
  EXPECT_EQ(g_runListSlots[0], cmd::kListRun);
  EXPECT_LE(g_runListSlots[1], 0xFFFFFFFFu) << "a 32-bit address";
  EXPECT_EQ(g_runListSlots[2], 3u);
  EXPECT_EQ(g_runListSlots[3], 0xFFu);
}

TEST_F(ListMotion, SimulatedDriverRefusesACutChainAddress) {
  OverrideWow64Probe(1);
  QUORVA_MC_LmDoPutOne(board_, board_, 5, 1);
  // Only writes and the run-list request go out; the driver must not follow the address.
  QUORVA_MC_StartListMotion(board_);
  OverrideWow64Probe(-1);
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(kMotionBoard), 0);
  EXPECT_EQ(Outputs(kMotionBoard), 0u);
}

// End to end on the simulated controller.

// Polls the list through the library until it is done; the sequence numbers seen, in order.
std::vector<int> FollowList(QUORVA_HANDLE board) {
  std::vector<int> seen;
  for (int pass = 0; pass < 100000; ++pass) {
    const int sequence = QUORVA_MC_LmCurSequence(board);
    if (seen.empty() || seen.back() != sequence) seen.push_back(sequence);
    if (QUORVA_MC_CheckListMotionDone(board) != 0) return seen;
    QUORVA_SIM_AdvanceTime(0.005);
  }
  ADD_FAILURE() << "the list never finished";
  return seen;
}

TEST_F(ListMotion, RecordedMovesRunOneAfterAnother) {
  UseProfile({0, 1, 2, 5});
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_Move(board_, 0, 1000);
  QUORVA_MC_Move(board_, 1, 500);
  const int pair[] = {0, 1};
  const double pairDistances[] = {200, 300};
  QUORVA_MC_MoveAll(board_, 2, pair, pairDistances);
  const int acrossChips[] = {2, 5};
  const double acrossDistances[] = {400, -400};
  QUORVA_MC_MoveAll(board_, 2, acrossChips, acrossDistances);
  QUORVA_MC_Move(board_, 0, -100);
  QUORVA_MC_EndList(board_);
  EXPECT_EQ(AxisState(0).busy, 0) << "recorded moves return at once without moving";

  QUORVA_MC_StartListMotion(board_);
  EXPECT_EQ(QUORVA_SIM_ListEntryCount(kMotionBoard), 5);
  EXPECT_EQ(Received(3).kind, kListStartEach);
  const double listStart = QUORVA_SIM_GetTime();
  EXPECT_EQ(FollowList(board_), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(QUORVA_MC_LmCurSequence(board_), 5);

  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 0), 1100);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 1), 800);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 2), 400);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 5), -400);
  // Each entry started in the instant the one before it ended: the last moves of axes 1,
  // 2 and 5 began when the pair and the cross-chip move before them had ended.
  const QUORVA_SIM_AXIS_STATE a0 = AxisState(0), a1 = AxisState(1), a2 = AxisState(2),
                              a5 = AxisState(5);
  EXPECT_DOUBLE_EQ(a2.startTime, a5.startTime) << "both chips start together";
  EXPECT_NEAR(a2.startTime, a1.endTime, 1e-9);
  EXPECT_NEAR(a0.startTime, std::max(a2.endTime, a5.endTime), 1e-9);
  EXPECT_GT(a1.endTime - listStart, 1.5) << "the moves took their time";
}

TEST_F(ListMotion, ImmediateEntryStartsWithTheOneBefore) {
  UseProfile({0, 1, 2});
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_Move(board_, 0, 1000);
  QUORVA_MC_LmSetImmediacy(board_);
  QUORVA_MC_Move(board_, 1, 300);
  QUORVA_MC_Move(board_, 2, 100);
  QUORVA_MC_EndList(board_);
  QUORVA_MC_StartListMotion(board_);
  EXPECT_EQ(QUORVA_MC_LmCurSequence(board_), 2);
  FollowList(board_);
  const QUORVA_SIM_AXIS_STATE a0 = AxisState(0), a1 = AxisState(1), a2 = AxisState(2);
  EXPECT_DOUBLE_EQ(a1.startTime, a0.startTime);
  EXPECT_LT(a1.endTime, a0.endTime);
  EXPECT_NEAR(a2.startTime, a0.endTime, 1e-9) << "the next entry waits for both";
}

TEST_F(ListMotion, AbortMidListStopsTheAxes) {
  UseProfile({0, 1});
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_Move(board_, 0, 1000);
  QUORVA_MC_Move(board_, 1, 1000);
  QUORVA_MC_Move(board_, 0, 1000);
  QUORVA_MC_EndList(board_);
  QUORVA_MC_StartListMotion(board_);
  while (QUORVA_MC_LmCurSequence(board_) < 2)
    ASSERT_EQ(QUORVA_SIM_AdvanceTime(0.01), 0);
  ASSERT_EQ(QUORVA_SIM_AdvanceTime(0.3), 0);
  EXPECT_EQ(QUORVA_MC_CheckListMotionDone(board_), 0);
  EXPECT_EQ(AxisState(1).busy, 1);

  QUORVA_MC_AbortListMotion(board_);
  const double stoppedAt = QUORVA_MC_GetPosition_C(board_, 1);
  EXPECT_GT(stoppedAt, 0);
  EXPECT_LT(stoppedAt, 1000);
  ASSERT_EQ(QUORVA_SIM_AdvanceTime(5), 0);
  EXPECT_EQ(AxisState(0).busy, 0);
  EXPECT_EQ(AxisState(1).busy, 0);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 1), stoppedAt);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 0), 1000) << "the third move never ran";
  EXPECT_NE(QUORVA_MC_CheckListMotionDone(board_), 0);
  EXPECT_EQ(QUORVA_MC_LmCurSequence(board_), 2);
}

TEST_F(ListMotion, OutputActionOfASecondBoardActsBetweenTwoMoves) {
  UseBoards("A508,A402");
  board_ = Load(0xA508);
  context_ = ContextOf(board_);
  QUORVA_HANDLE outputs = Load(0xA402);
  UseProfile({0});
  QUORVA_MC_BeginList(board_);
  QUORVA_MC_Move(board_, 0, 500);
  test::ClearLog();
  QUORVA_MC_LmDoPutOne(board_, outputs, 3, 1);
  EXPECT_REQUESTS({"1500(*, *, *)"});
  QUORVA_MC_LmDoPulseOne(board_, outputs, 4, 1, 50);
  QUORVA_MC_Move(board_, 0, 500);
  QUORVA_MC_EndList(board_);
  QUORVA_MC_StartListMotion(board_);
  EXPECT_EQ(U32At(Received(1), 12), QUORVA_SIM_OUTPUT_BASE + QUORVA_SIM_OUTPUT_STRIDE);
  EXPECT_EQ(U32At(Received(1), 16), QUORVA_SIM_OUTPUT_BASE + QUORVA_SIM_OUTPUT_STRIDE + 4);

  while (QUORVA_MC_LmCurSequence(board_) == 1) {
    EXPECT_EQ(Outputs(1), 0u) << "not before the first move has ended";
    ASSERT_EQ(QUORVA_SIM_AdvanceTime(0.01), 0);
  }
  EXPECT_EQ(QUORVA_MC_LmCurSequence(board_), 4) << "the actions take no time";
  EXPECT_EQ(Outputs(1), 0x18u);
  EXPECT_EQ(Outputs(kMotionBoard), 0u) << "the motion board's own outputs are untouched";
  const QUORVA_SIM_AXIS_STATE second = AxisState(0);
  EXPECT_EQ(second.busy, 1);
  ASSERT_EQ(QUORVA_SIM_AdvanceTime(second.startTime + 0.05 - QUORVA_SIM_GetTime()), 0);
  EXPECT_EQ(Outputs(1), 0x08u) << "the pulse ended after 50 ms";
  FollowList(board_);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 0), 1000);
}

}  // namespace
}  // namespace quorva
