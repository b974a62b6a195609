#include <string>
#include <vector>

#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

class ControllerInit : public test::SimTest {
 protected:
  unsigned Register(int axis, int reg) {
    unsigned value = 0;
    QUORVA_SIM_GetAxisRegister(0, axis, reg, &value);
    return value;
  }
  // Sets a register on every axis of board 0 before the board is loaded.
  void Preset(int reg, unsigned value) {
    for (int axis = 0; axis < 8; ++axis)
      QUORVA_SIM_SetAxisRegister(0, axis, reg, value);
  }
};

TEST_F(ControllerInit, SignalConfigurationKeepsTheUpperHalfAndAddsVersionBits) {
  UseBoards("A508");
  Preset(29, 0x00AB0000);
  QUORVA_SIM_SetControllerVersion(0, 0);
  Load(0xA508);
  EXPECT_EQ(Register(0, 29), 0x00AB8151u);
  EXPECT_EQ(Register(1, 29), 0x00AB8001u);

  UseBoards("A508");
  Preset(29, 0x00AB0000);
  QUORVA_SIM_SetControllerVersion(0, 1);
  Load(0xA508);
  EXPECT_EQ(Register(0, 29), 0x00AF8151u);
  EXPECT_EQ(Register(1, 29), 0x00AF8001u);
}

TEST_F(ControllerInit, EnvironmentRegisterGetsItsFixedBits) {
  UseBoards("A502");
  QUORVA_SIM_SetAxisRegister(0, 0, 28, 0xFFFFFFFF);
  QUORVA_SIM_SetAxisRegister(0, 1, 28, 0);
  Load(0xA502);
  EXPECT_EQ(Register(0, 28), 0x7FFFEFFFu);
  EXPECT_EQ(Register(1, 28), 0x6400u);
}

struct BoardPattern {
  const char* board;
  int deviceId;
  int axes;
  std::vector<unsigned> register29;  // empty: not written
};

TEST_F(ControllerInit, EachBoardGetsItsAxisCountAndSignalPattern) {
  const std::vector<BoardPattern> boards = {
      {"A501", 0xA501, 4, {}},
      {"A502", 0xA502, 2, {0xC8151, 0xC8001}},
      {"A504", 0xA504, 4, {0xC8151, 0xC8001, 0xC8151, 0xC8001}},
      {"A544", 0xA544, 4, {0xC8151, 0xC8001, 0xC8151, 0xC8001}},
      {"E504", 0xE504, 4, {0xC4051, 0xC0051, 0xC0051, 0xC0051}},
      {"E508", 0xE508, 8, {0xC4051, 0xC0051, 0xC0051, 0xC0051, 0xC4051, 0xC0051, 0xC0051, 0xC0051}},
      {"FE50", 0xFE50, 8, {0xC9551, 0xC9001, 0xC9551, 0xC9001, 0xC9551, 0xC9001, 0xC9551, 0xC9001}},
      {"A534", 0xA534, 8, {0xC4051, 0xC0051, 0xC0051, 0xC0051, 0xC4051, 0xC0051, 0xC0051, 0xC0051}},
  };
  for (const BoardPattern& b : boards) {
    UseBoards(b.board);
    const QUORVA_HANDLE handle = Load(b.deviceId);
    ASSERT_NE(ContextOf(handle), nullptr) << b.board;
    EXPECT_EQ(ContextOf(handle)->axisCount, b.axes) << b.board;
    for (int axis = 0; axis < 8; ++axis) {
      const unsigned expected =
          axis < static_cast<int>(b.register29.size()) ? b.register29[axis] : 0;
      EXPECT_EQ(Register(axis, 29), expected) << b.board << " axis " << axis;
      EXPECT_EQ(Register(axis, 7), axis < b.axes ? 0x1000u : 0u) << b.board << " axis " << axis;
    }
  }
}

TEST_F(ControllerInit, ModeIsCachedAfterInitialisation) {
  const QUORVA_HANDLE board = Load(0xA508);
  EXPECT_EQ(AxisRegRead(board, 3, 7), 0x1000u);
  EXPECT_EQ(AxisRegRead(board, 3, 23), 0x1000u);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(ControllerInit, ResetAxisStopsResetsAndClearsOutputs) {
  const QUORVA_HANDLE board = Load(0xA508);
  MotionContext* context = ContextOf(board);
  context->moveStartPos[2] = 5;
  context->moveTargetPos[2] = 9;
  context->moveTargetPos[3] = 9;
  QUORVA_MC_ResetAxis(board, 2);
  EXPECT_REQUESTS({"620(2, 0, 5)", "620(2, 0, 4)", "640(2, 0, *)", "620(2, 0, 38)", "330(0)"});
  EXPECT_EQ(context->moveStartPos[2], 0);
  EXPECT_EQ(context->moveTargetPos[2], 0);
  EXPECT_EQ(context->moveTargetPos[3], 9) << "other axes keep their positions";

  test::ClearLog();
  QUORVA_MC_ResetAxis(board, 8);
  EXPECT_REQUESTS({"330(0)"}) << "an axis out of range is done at once";
}

TEST_F(ControllerInit, DriverDescribedBoardKeepsItsOutputsOnReset) {
  UseBoards("A534");
  const QUORVA_HANDLE board = Load(0xA534);
  QUORVA_MC_ResetAxis(board, 0);
  EXPECT_REQUESTS({"620(0, 0, 5)", "620(0, 0, 4)", "640(0, 0, *)", "620(0, 0, 38)"});
}

TEST_F(ControllerInit, ResetReinitialisesTheWholeController) {
  UseBoards("A502");
  const QUORVA_HANDLE board = Load(0xA502);
  QUORVA_MC_Reset(board);
  EXPECT_REQUESTS({
      "620(0, 0, 5)",
      "620(0, 0, 4)",
      "640(0, 0, *)",
      "620(0, 0, 38)",
      "330(0)",
      "620(1, 0, 5)",
      "620(1, 0, 4)",
      "640(1, 0, *)",
      "620(1, 0, 38)",
      "330(0)",
      "780(*, 0)",
      "630(0, 29, *)",
      "610(0, 29, 0xC8151)",
      "630(1, 29, *)",
      "610(1, 29, 0xC8001)",
      "630(0, 28, *)",
      "610(0, 28, 0x6400)",
      "610(0, 7, 0x1000)",
      "630(1, 28, *)",
      "610(1, 28, 0x6400)",
      "610(1, 7, 0x1000)",
      "620(0, 1, 255)",
      "620(1, 1, 255)",
      "330(0)",
  });
}

TEST_F(ControllerInit, ResetKeepsUnitsAndSpeeds) {
  const QUORVA_HANDLE board = Load(0xA508);
  MotionContext* context = ContextOf(board);
  context->unitDistance[0] = 250;
  context->workSpeed[0] = 5000;
  context->modeRegCache[0] = 0x42;
  QUORVA_MC_Reset(board);
  EXPECT_EQ(context->unitDistance[0], 250);
  EXPECT_EQ(context->workSpeed[0], 5000);
  EXPECT_EQ(context->modeRegCache[0], 0x1000u);
}

TEST_F(ControllerInit, ResetWritesOneTraceLine) {
  const std::string path = test::TempPath("reset.dbg");
  const QUORVA_HANDLE board = Load(0xA508);
  ASSERT_EQ(QUORVA_EnableDebugLog(board, path.c_str(), 2), 0);
  QUORVA_MC_Reset(board);
  const std::string log = test::ReadFile(path);
  // The per-axis resets and their polls are silenced; the controller version read of the
  // re-initialisation is a level-2 read of its own.
  EXPECT_EQ(log.find("QUORVA_MC_ResetAxis"), std::string::npos) << log;
  EXPECT_EQ(log.find("QUORVA_MC_Done"), std::string::npos) << log;
  EXPECT_NE(log.find("QUORVA_MC_Reset(0x"), std::string::npos) << log;
  EXPECT_NE(log.find("QUORVA_MC_GetDeviceVer(0x"), std::string::npos) << log;

  ASSERT_EQ(QUORVA_EnableDebugLog(board, path.c_str(), 1), 0);
  QUORVA_MC_Reset(board);
  const std::string levelOne = test::ReadFile(path);
  EXPECT_EQ(std::count(levelOne.begin(), levelOne.end(), '\n'), 1) << levelOne;
  EXPECT_EQ(g_traceQuiet, 0);
}

TEST_F(ControllerInit, NoContextNoRequests) {
  const QUORVA_HANDLE analog = Load(0xA101);
  QUORVA_MC_Reset(analog);
  QUORVA_MC_ResetAxis(analog, 0);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

}  // namespace
}  // namespace quorva
