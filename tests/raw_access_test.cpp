#include "sim_test.h"

namespace quorva {
namespace {

class RawAccess : public test::MotionBoardTest {};

TEST_F(RawAccess, EachFunctionIsOneRequestWithItsArgumentsInOrder) {
  unsigned r1 = 1, r2 = 2, r4 = 4;
  EXPECT_EQ(QUORVA_GetResources(board_, &r1, &r2, 3, &r4, 5), 1);
  EXPECT_EQ(QUORVA_Write8402(board_, 7, 8, 9), 1);
  EXPECT_EQ(QUORVA_WriteEEPR(board_, 5, 77), 1);
  EXPECT_EQ(QUORVA_ReadEEPR(board_, 5), 77u);
  EXPECT_EQ(QUORVA_SetVarnBus(board_, 1, 2), 1);
  EXPECT_EQ(QUORVA_WriteMemPortDW(board_, 1, 4, 0xABCD), 1);
  EXPECT_EQ(QUORVA_ReadMemPortDW(board_, 1, 4), 0xABCDu);
  EXPECT_EQ(QUORVA_Outpdw(board_, 3, 12, 0x1234), 1);
  EXPECT_EQ(QUORVA_Inpdw(board_, 3, 12), 0x1234u);
  EXPECT_REQUESTS({"2(*, *, 3, *, 5)", "4(7, 8, 9)", "3(5, 77)", "5(5, *)", "1000(1, 2)",
                   "6(1, 4, 0xABCD)", "7(1, 4, *)", "16(3, 12, 0x1234)", "17(3, 12, *)"});
  EXPECT_NE(r1, 1u) << "the driver fills the addressed resources";
  unsigned word = 0;
  QUORVA_SIM_GetBoardWord(0, QUORVA_SIM_SPACE_IO, 3, 12, &word);
  EXPECT_EQ(word, 0x1234u);
  QUORVA_SIM_GetBoardWord(0, QUORVA_SIM_SPACE_MEMORY, 3, 12, &word);
  EXPECT_EQ(word, 0u) << "memory and I/O are separate spaces";
  QUORVA_SIM_GetEeprom(0, 5, &word);
  EXPECT_EQ(word, 77u);
}

TEST_F(RawAccess, InvalidHandleSendsNothingAndReadsZero) {
  for (QUORVA_HANDLE none : {QUORVA_INVALID_HANDLE, static_cast<QUORVA_HANDLE>(nullptr)}) {
    EXPECT_EQ(QUORVA_ReadEEPR(none, 0), 0u);
    EXPECT_EQ(QUORVA_WriteEEPR(none, 0, 1), 0);
    EXPECT_EQ(QUORVA_Inpdw(none, 1, 0), 0u);
    EXPECT_EQ(QUORVA_Outpdw(none, 1, 0, 1), 0);
    EXPECT_EQ(QUORVA_ReadMemPortDW(none, 1, 0), 0u);
    EXPECT_EQ(QUORVA_SetVarnBus(none, 0, 0), 0);
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(RawAccess, WordsComeBackUnmasked) {
  QUORVA_SIM_SetBoardWord(0, QUORVA_SIM_SPACE_IO, 1, 5, 0xFFFFFFFF);
  EXPECT_EQ(QUORVA_Inpdw(board_, 1, 5), 0xFFFFFFFFu);
  QUORVA_SIM_SetBoardWord(0, QUORVA_SIM_SPACE_MEMORY, 1, 5, 0x80000001);
  EXPECT_EQ(QUORVA_ReadMemPortDW(board_, 1, 5), 0x80000001u);
}

TEST_F(RawAccess, RefusedRequestsReportZero) {
  QUORVA_SIM_SetBoardWord(0, QUORVA_SIM_SPACE_IO, 1, 5, 0x55);
  QUORVA_SIM_RefuseCommand(17);
  EXPECT_EQ(QUORVA_Inpdw(board_, 1, 5), 0u);
  QUORVA_SIM_RefuseCommand(16);
  EXPECT_EQ(QUORVA_Outpdw(board_, 1, 5, 9), 0);
  QUORVA_SIM_RefuseCommand(-1);
  EXPECT_EQ(QUORVA_Inpdw(board_, 1, 5), 0x55u) << "the refused write changed nothing";
  EXPECT_EQ(QUORVA_ReadEEPR(board_, 256), 0u) << "no such EEPROM word";
  EXPECT_EQ(QUORVA_WriteEEPR(board_, 256, 1), 0);
}

}  // namespace
}  // namespace quorva
