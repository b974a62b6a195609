#include "sim_test.h"

namespace quorva {
namespace {

constexpr int kMotionBoard = 0;  // A508: 12 digital inputs and outputs
constexpr int kAnalogBoard = 1;  // A101: 8 digital inputs and outputs

class DigitalIo : public test::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    board_ = Load(0xA101);
  }
  unsigned SimOutputs(int board, int group) {
    unsigned states = 0;
    QUORVA_SIM_GetDigitalOutputs(board, group, &states);
    return states;
  }
  QUORVA_HANDLE board_ = nullptr;
};

TEST_F(DigitalIo, OutputsLatchOnlyTheBoardsChannels) {
  EXPECT_EQ(QUORVA_DO_PutAll(board_, 0x1A5), 1);
  EXPECT_EQ(SimOutputs(kAnalogBoard, 0), 0xA5u) << "8 outputs";
  EXPECT_EQ(QUORVA_DO_GetAll(board_), 0xA5u);
  EXPECT_EQ(QUORVA_DO_PutOne(board_, 1, 1), 1);
  EXPECT_EQ(QUORVA_DO_PutOne(board_, 0, 0), 1);
  EXPECT_EQ(QUORVA_DO_PutOne(board_, 8, 1), 0) << "no ninth output";
  EXPECT_EQ(QUORVA_DO_GetAllEx(board_, 0), 0xA6u);
  EXPECT_EQ(QUORVA_DO_GetOne(board_, 1), 1);
  EXPECT_EQ(QUORVA_DO_GetOne(board_, 0), 0);
  EXPECT_EQ(QUORVA_DO_PutAllEx(board_, 0, 0x0F), 1);
  EXPECT_EQ(SimOutputs(kAnalogBoard, 0), 0x0Fu);

  const QUORVA_HANDLE motion = Load(0xA508);
  EXPECT_EQ(QUORVA_DO_PutAll(motion, 0xFFFFFFFF), 1);
  EXPECT_EQ(SimOutputs(kMotionBoard, 0), 0xFFFu) << "the motion board's 12 general outputs";
}

TEST_F(DigitalIo, GetOneReadsTheChannelsGroup) {
  test::ClearLog();
  EXPECT_EQ(QUORVA_DO_GetOne(board_, 40), 0);
  EXPECT_EQ(QUORVA_DO_GetOne(board_, 3), 0);
  EXPECT_REQUESTS({"334(1, *)", "334(0, *)"});
  test::ClearLog();
  EXPECT_EQ(QUORVA_DO_GetOne(board_, 64), 0) << "beyond group 1";
  EXPECT_EQ(QUORVA_DO_GetOne(board_, -1), 0);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(DigitalIo, InputsReadTheirStatesOrLoopedBackOutputs) {
  ASSERT_EQ(QUORVA_SIM_SetDigitalInputs(kAnalogBoard, 0, 0xFFFF0081), 0);
  EXPECT_EQ(QUORVA_DI_GetAll(board_), 0x81u) << "8 inputs";
  EXPECT_EQ(QUORVA_DI_GetAllEx(board_, 0), 0x81u);
  EXPECT_EQ(QUORVA_DI_GetAllEx(board_, 1), 0u);
  EXPECT_EQ(QUORVA_DI_GetOne(board_, 7), 1);
  EXPECT_EQ(QUORVA_DI_GetOne(board_, 6), 0);
  test::ClearLog();
  QUORVA_DI_GetOne(board_, 7);
  QUORVA_DI_GetAllEx(board_, 1);
  EXPECT_REQUESTS({"300(7, *)", "315(1, *)"});

  QUORVA_DO_PutAll(board_, 0x3C);
  ASSERT_EQ(QUORVA_SIM_SetDigitalLoopback(kAnalogBoard, 1), 0);
  EXPECT_EQ(QUORVA_DI_GetAll(board_), 0x3Cu);
  EXPECT_EQ(QUORVA_DI_GetOne(board_, 2), 1);
  ASSERT_EQ(QUORVA_SIM_SetDigitalLoopback(kAnalogBoard, 0), 0);
  EXPECT_EQ(QUORVA_DI_GetAll(board_), 0x81u);
}

TEST_F(DigitalIo, UsageReadsBackItsLowByte) {
  EXPECT_EQ(QUORVA_DIO_SetUsage(board_, 0x1234), 1);
  EXPECT_EQ(QUORVA_DIO_GetUsage(board_), 0x34);
  EXPECT_REQUESTS({"340(0x1234)", "341(*)"});
}

TEST_F(DigitalIo, SerialModulesAnswerAfterInitWhenPresent) {
  EXPECT_EQ(QUORVA_SDIO_CheckModule(board_, 0), 0) << "communication not opened";
  EXPECT_EQ(QUORVA_SDIO_InitComm(board_), 1);
  EXPECT_EQ(QUORVA_SDIO_CheckModule(board_, 0), 1);
  EXPECT_EQ(QUORVA_SDIO_CheckModule(board_, 1), 1);
  EXPECT_EQ(QUORVA_SDIO_CheckModule(board_, 2), 0);
  ASSERT_EQ(QUORVA_SIM_SetSerialModules(kAnalogBoard, 0x4), 0);
  EXPECT_EQ(QUORVA_SDIO_CheckModule(board_, 0), 0);
  EXPECT_EQ(QUORVA_SDIO_CheckModule(board_, 2), 1);
  EXPECT_EQ(QUORVA_SDIO_SetDioUsage(board_, 2, 0xFF00), 1);
  EXPECT_EQ(QUORVA_SDIO_SetDioUsage(board_, 0, 0xFF00), 0);
}

TEST_F(DigitalIo, SerialWordsGoByteByByte) {
  QUORVA_SDIO_InitComm(board_);
  test::ClearLog();
  EXPECT_EQ(QUORVA_SDIO_WriteWord(board_, 1, 0x1234), 1);
  EXPECT_REQUESTS({"358(1, 0x34, *)", "360(1, 0x12, *)"});
  unsigned outputs = 0;
  QUORVA_SIM_GetSerialOutputs(kAnalogBoard, 1, &outputs);
  EXPECT_EQ(outputs, 0x1234u);
  test::ClearLog();
  EXPECT_EQ(QUORVA_SDIO_WriteLowByte(board_, 1, 0x1AB), 1);
  EXPECT_REQUESTS({"358(1, 0xAB, *)"});
  EXPECT_EQ(QUORVA_SDIO_WriteHighByte(board_, 1, 0x56), 1);
  QUORVA_SIM_GetSerialOutputs(kAnalogBoard, 1, &outputs);
  EXPECT_EQ(outputs, 0x56ABu);
  EXPECT_EQ(QUORVA_SDIO_WriteWord(board_, 5, 0x1234), 0) << "absent module";

  ASSERT_EQ(QUORVA_SIM_SetSerialInputs(kAnalogBoard, 0, 0xBEEF), 0);
  test::ClearLog();
  EXPECT_EQ(QUORVA_SDIO_ReadWord(board_, 0), 0xBEEF);
  EXPECT_REQUESTS({"356(0, *)", "354(0, *)"});
  EXPECT_EQ(QUORVA_SDIO_ReadLowByte(board_, 0), 0xEF);
  EXPECT_EQ(QUORVA_SDIO_ReadHighByte(board_, 0), 0xBE);
  EXPECT_EQ(QUORVA_SDIO_ReadWord(board_, 3), 0);
}

TEST_F(DigitalIo, InvalidHandleSendsNothing) {
  const QUORVA_HANDLE none = QUORVA_INVALID_HANDLE;
  EXPECT_EQ(QUORVA_DIO_SetUsage(none, 1) + QUORVA_DIO_GetUsage(none) + QUORVA_DI_GetOne(none, 0) +
                QUORVA_DO_PutOne(none, 0, 1) + QUORVA_DO_PutAll(none, 1) +
                QUORVA_DO_PutAllEx(none, 0, 1) + QUORVA_DO_GetOne(none, 0) +
                QUORVA_SDIO_InitComm(none) + QUORVA_SDIO_CheckModule(none, 0) +
                QUORVA_SDIO_SetDioUsage(none, 0, 0) + QUORVA_SDIO_ReadWord(none, 0) +
                QUORVA_SDIO_WriteWord(none, 0, 1),
            0);
  EXPECT_EQ(QUORVA_DI_GetAll(none) | QUORVA_DI_GetAllEx(none, 0) | QUORVA_DO_GetAll(none) |
                QUORVA_DO_GetAllEx(none, 1),
            0u);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

}  // namespace
}  // namespace quorva
