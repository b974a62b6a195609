#include <vector>

#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

class AxisPrimitives : public test::MotionBoardTest {};

TEST_F(AxisPrimitives, ModeRegistersShareOneCachedSlot) {
  AxisRegWrite(board_, 1, 7, 0x41);
  EXPECT_EQ(AxisRegRead(board_, 1, 23), 0x41u);
  AxisRegWrite(board_, 1, 23, 0x56);
  EXPECT_EQ(AxisRegRead(board_, 1, 7), 0x56u);
  EXPECT_REQUESTS({"610(1, 7, 0x41)", "610(1, 23, 0x56)"});
}

TEST_F(AxisPrimitives, RawRegisterAccessBypassesTheCache) {
  QUORVA_MC_WriteRegister(board_, 0, 7, 0x42);
  EXPECT_EQ(AxisRegRead(board_, 0, 7), 0x1000u) << "the cache is stale until the next update";
  EXPECT_EQ(QUORVA_MC_ReadRegister(board_, 0, 7), 0x42u);
  EXPECT_REQUESTS({"610(0, 7, 0x42)", "630(0, 7, *)"});
}

TEST_F(AxisPrimitives, ModeUpdateChangesOnlyTheNamedParts) {
  AxisRegWrite(board_, 0, 7, 0x1037);
  EXPECT_EQ(AxisModeUpdate(board_, 0, -1, 0x10, 0x30), 0x1017u);
  EXPECT_EQ(AxisModeUpdate(board_, 0, 0x41, -1, 0), 0x1041u);
  // Bits outside the low byte or the mask are written through as given.
  EXPECT_EQ(AxisModeUpdate(board_, 0, 0x141, -1, 0), 0x1141u);
  EXPECT_EQ(AxisModeUpdate(board_, 0, -1, 0x3, 0x1), 0x1143u);
  EXPECT_REQUESTS({"610(0, 7, 0x1037)", "610(0, 7, 0x1017)", "610(0, 7, 0x1041)",
                   "610(0, 7, 0x1141)", "610(0, 7, 0x1143)"});
}

TEST_F(AxisPrimitives, UpdateBitsIsAReadModifyWrite) {
  QUORVA_SIM_SetAxisRegister(0, 2, 31, 0xF0F0);
  AxisRegUpdateBits(board_, 2, 31, 0x0003, 0x00F3);
  EXPECT_REQUESTS({"630(2, 31, *)", "610(2, 31, 0xF003)"});
}

TEST_F(AxisPrimitives, AnAxisOutOfRangeSendsNothing) {
  for (int axis : {8, -1, 100}) {
    AxisRegWrite(board_, axis, 1, 5);
    EXPECT_EQ(AxisRegRead(board_, axis, 1), 0u);
    EXPECT_EQ(AxisModeUpdate(board_, axis, 0x41, -1, 0), 0u);
    EXPECT_EQ(AxisCommand(board_, axis, 0, 0x51), 0);
    EXPECT_EQ(AxisStatusRead(board_, axis, 0), 0u);
    EXPECT_EQ(AxisBusy(board_, axis), 0);
    EXPECT_EQ(QUORVA_MC_Done(board_, axis), 1);
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(AxisPrimitives, CommandsAndStatusGoThroughTheMainSpace) {
  QUORVA_SIM_SetMainStatus(0, 4, 0, 0x2);
  EXPECT_EQ(AxisCommand(board_, 4, 0, 0x51), 1);
  EXPECT_EQ(AxisStatusRead(board_, 4, 0), 0x2u);
  EXPECT_EQ(QUORVA_MC_ReadMainSpace(board_, 4, 0), 0x2u);
  EXPECT_EQ(QUORVA_MC_Done(board_, 4), 0);
  EXPECT_EQ(QUORVA_MC_WriteMainSpace(board_, 9, 1, 0xFF), 0) << "sent unchecked, refused";
  EXPECT_REQUESTS(
      {"620(4, 0, 0x51)", "640(4, 0, *)", "640(4, 0, *)", "640(4, 0, *)", "620(9, 1, 255)"});
}

TEST_F(AxisPrimitives, BusyFollowsBitsTwentyAndTwentyOne) {
  QUORVA_SIM_SetAxisRegister(0, 3, 49, 0x100000);
  QUORVA_SIM_SetAxisRegister(0, 5, 49, 0x200000);
  QUORVA_SIM_SetAxisRegister(0, 6, 49, 0xCFFFFF);
  EXPECT_EQ(AxisBusy(board_, 3), 1);
  EXPECT_EQ(AxisBusy(board_, 5), 1);
  EXPECT_EQ(AxisBusy(board_, 6), 0);
  test::ClearLog();
  EXPECT_EQ(AnyAxisBusy(board_, 0x6C), 1);
  EXPECT_REQUESTS({"630(2, 49, *)", "630(3, 49, *)"}) << "stops at the first busy axis";
  EXPECT_EQ(AnyAxisBusy(board_, 0x41), 0);
}

TEST_F(AxisPrimitives, MaskToListStopsAtTheLimit) {
  int list[8] = {};
  EXPECT_EQ(AxisMaskToList(0xA5, list, 2), 2);
  EXPECT_EQ(list[0], 0);
  EXPECT_EQ(list[1], 2);
  EXPECT_EQ(AxisMaskToList(0xA5, list, 0), 4);
  EXPECT_EQ(std::vector<int>(list, list + 4), (std::vector<int>{0, 2, 5, 7}));
  EXPECT_EQ(AxisMaskToList(0x1FF00, list, -1), 0) << "only bits 0 to 7 are axes";
}

TEST_F(AxisPrimitives, SnapshotLaysOutSixtyWordsPerAxis) {
  UseBoards("A502");
  const QUORVA_HANDLE board = Load(0xA502);
  for (int axis = 0; axis < 2; ++axis) {
    QUORVA_SIM_SetMainStatus(0, axis, 0, 0xA0 + axis);
    for (int reg = 0; reg < 58; ++reg)
      QUORVA_SIM_SetAxisRegister(0, axis, reg, 1000 * axis + reg);
  }
  std::vector<unsigned> words(120, 0xDEAD);
  QUORVA_MC_ReadAllRegs(board, words.data());
  for (int axis = 0; axis < 2; ++axis) {
    const unsigned* w = &words[60 * axis];
    // Register 50 holds an error (50 + 1000 × axis), which the main status reports; bit 13:
    // register 16 was written with no move running to take it as its new end.
    EXPECT_EQ(w[0], (0xA0u + axis) | QUORVA_SIM_MAIN_ERROR | (1u << 13));
    for (int r = 0; r <= 41; ++r) {
      const unsigned expected = (16 + r == 23) ? 0x1000u : 1000u * axis + 16 + r;
      EXPECT_EQ(w[r + 1], expected) << "axis " << axis << " register " << 16 + r;
    }
    for (int r = 0; r <= 12; ++r) {
      const unsigned expected = (r == 7) ? 0x1000u : 1000u * axis + r;
      EXPECT_EQ(w[r + 43], expected) << "axis " << axis << " register " << r;
    }
    for (int k = 56; k < 60; ++k)
      EXPECT_EQ(w[k], 0xDEADu);
  }
  // Requests: status of each axis, then register by register across the axes.
  QUORVA_SIM_REQUEST third{};
  QUORVA_SIM_GetRequest(2, &third);
  EXPECT_EQ(third.code, 630u);
  EXPECT_EQ(third.slots[0], 0u);
  EXPECT_EQ(third.slots[1], 16u);
  EXPECT_EQ(test::LoggedRequestCount(), 2 + 2 * (42 + 13) - 2 * 2) << "7 and 23 are cached";
  QUORVA_MC_ReadAllRegs(board, nullptr);
}

TEST_F(AxisPrimitives, ListRecordingTests) {
  MotionContext* context = ContextOf(board_);
  const int axes[] = {0, 3};
  EXPECT_FALSE(AreListAxes(*context, 0, nullptr)) << "not recording";
  context->listRecording = 1;
  EXPECT_TRUE(AreListAxes(*context, 0, nullptr)) << "no axes while recording";
  EXPECT_TRUE(AreListAxes(*context, 2, axes));
  context->listMotionAxisMask = 0x01;
  EXPECT_FALSE(AreListAxes(*context, 2, axes));
  EXPECT_TRUE(IsListAxis(*context, 0));
  EXPECT_FALSE(IsListAxis(*context, 3));
  EXPECT_TRUE(IsListMask(*context, 0x101)) << "bits beyond the axis count are ignored";
  EXPECT_FALSE(IsListMask(*context, 0x03));
}

TEST_F(AxisPrimitives, ContextDefaults) {
  const MotionContext* c = ContextOf(board_);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->deviceId, 0xA508);
  EXPECT_EQ(c->axisCount, 8);
  EXPECT_EQ(c->deviceVersion, 1);
  EXPECT_EQ(c->mapAxisMask[0], 0x3u);
  EXPECT_EQ(c->mapAxisMask[1], 0xCu);
  EXPECT_EQ(c->mapAxisMask[2], 0u);
  EXPECT_EQ(c->listMotionAxisMask, 0xFFu);
  for (int axis = 0; axis < 8; ++axis) {
    EXPECT_EQ(c->unitDistance[axis], 1.0);
    EXPECT_EQ(c->unitSpeed[axis], 1.0);
    EXPECT_EQ(c->inOutRatio[axis], 1.0);
    EXPECT_EQ(c->startSpeed[axis], 100.0);
    EXPECT_EQ(c->workSpeed[axis], 1000.0);
    EXPECT_EQ(c->correctionSpeed[axis], 100.0);
    EXPECT_EQ(c->maxSpeed[axis], 655350.0);
    EXPECT_EQ(c->speedResolution[axis], 10.0);
    EXPECT_EQ(c->modeRegCache[axis], 0x1000u);
  }
  EXPECT_EQ(c->gantryLoaded, 0);
  EXPECT_TRUE(c->gantryTable.empty()) << "no table memory without a mapping";
  EXPECT_EQ(c->instance, 0);
}

}  // namespace
}  // namespace quorva
