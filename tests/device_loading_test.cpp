#include <cstring>
#include <string>
#include <vector>

#include "device/registry.h"
#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

class DeviceLoading : public test::SimTest {};

// Loading an 8-axis board: device information, controller version, then each axis's signal
// configuration (read-modify-write), then each axis's environment register and default mode.
TEST_F(DeviceLoading, LoadingAnEightAxisBoardSendsExactlyTheInitialisation) {
  UseBoards("A508");
  ASSERT_NE(QUORVA_LoadDevice(0xA508, 0), QUORVA_INVALID_HANDLE);
  std::vector<std::string> expected = {"0(*)", "780(*, 0)"};
  for (int axis = 0; axis < 8; ++axis) {
    const std::string a = std::to_string(axis);
    expected.push_back("630(" + a + ", 29, *)");
    expected.push_back("610(" + a + ", 29, " + (axis % 2 ? "0xC8001" : "0xC8151") + ")");
  }
  for (int axis = 0; axis < 8; ++axis) {
    const std::string a = std::to_string(axis);
    expected.push_back("630(" + a + ", 28, *)");
    expected.push_back("610(" + a + ", 28, 0x6400)");
    expected.push_back("610(" + a + ", 7, 0x1000)");
  }
  EXPECT_REQUESTS(expected);
}

// The board index each request of the log went to.
std::vector<int> LoggedBoards() {
  std::vector<int> boards;
  for (int i = 0; i < test::LoggedRequestCount(); ++i) {
    QUORVA_SIM_REQUEST request{};
    QUORVA_SIM_GetRequest(i, &request);
    boards.push_back(request.board);
  }
  return boards;
}

TEST_F(DeviceLoading, InstancesCountBoardsOfOneIdInEnumerationOrder) {
  UseBoards("A504,A101,A504");
  const QUORVA_HANDLE first = Load(0xA504, 0);
  const QUORVA_HANDLE second = Load(0xA504, 1);
  ASSERT_NE(first, second);
  QUORVA_MC_ReadRegister(first, 0, 0);
  QUORVA_MC_ReadRegister(second, 0, 0);
  EXPECT_EQ(LoggedBoards(), (std::vector<int>{0, 2}));
  EXPECT_EQ(InstanceOf(first), 0);
  EXPECT_EQ(InstanceOf(second), 1);
  EXPECT_EQ(QUORVA_LoadDevice(0xA504, 2), QUORVA_INVALID_HANDLE);
}

TEST_F(DeviceLoading, AFailedLoadClosesEveryBoardItOpenedAndRegistersNothing) {
  UseBoards("A508,A101,A504");
  const QUORVA_HANDLE board = Load(0xA508);
  EXPECT_EQ(QUORVA_LoadDevice(0xA502, 0), QUORVA_INVALID_HANDLE);
  EXPECT_EQ(QUORVA_LoadDevice(0xA508, 1), QUORVA_INVALID_HANDLE);
  EXPECT_EQ(QUORVA_LoadDevice(0xA508, -1), QUORVA_INVALID_HANDLE);
  EXPECT_EQ(QUORVA_GetDeviceThreadCount(board), 1) << "the probing opens were all closed";
  const QUORVA_HANDLE analog = Load(0xA101);
  EXPECT_EQ(QUORVA_GetDeviceThreadCount(analog), 1);
}

TEST_F(DeviceLoading, BoardListIsSortedByIdWithInstancesNumbered) {
  UseBoards("A504,A502,A504,1234");
  DevList list;
  std::memset(&list, 0xEE, sizeof list);
  ASSERT_EQ(QUORVA_GetAvailDevList(&list), 1);
  ASSERT_EQ(list.count, 4);
  const std::vector<std::pair<int, int>> expected = {
      {0x1234, 0}, {0xA502, 0}, {0xA504, 0}, {0xA504, 1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(list.boards[i].DeviceId, expected[i].first) << i;
    EXPECT_EQ(list.boards[i].instance, expected[i].second) << i;
  }
  // A board the library does not know keeps what the driver wrote, with zero counts.
  const DevInfo& unknown = list.boards[0];
  EXPECT_STREQ(unknown.modelName, "Simulated 1234");
  EXPECT_EQ(unknown.analogInputs + unknown.analogOutputs + unknown.digitalInputs +
                unknown.digitalOutputs + unknown.axes,
            0);
  const DevInfo& a502 = list.boards[1];
  EXPECT_EQ(a502.resourceFlags, 28);
  EXPECT_EQ(a502.digitalInputs, 3);
  EXPECT_EQ(a502.axes, 2);
  EXPECT_EQ(QUORVA_GetAvailDevList(nullptr), 0);
}

TEST_F(DeviceLoading, DriverDescribedBoardReportsItsOwnResources) {
  UseBoards("A534");
  DevList list{};
  QUORVA_GetAvailDevList(&list);
  EXPECT_REQUESTS({"0(*)", "11(*)"});
  ASSERT_EQ(list.count, 1);
  EXPECT_EQ(list.boards[0].resourceFlags, 28);
  EXPECT_EQ(list.boards[0].axes, 8);
  EXPECT_STREQ(list.boards[0].modelName, "QV-A534 MC");
}

TEST_F(DeviceLoading, UnloadKeepsTheContextWhileAnotherProcessHoldsTheBoard) {
  UseBoards("A508");
  QUORVA_HANDLE board = Load(0xA508);
  ASSERT_EQ(QUORVA_SIM_SetForeignOpens(0, 1), 0);
  QUORVA_UnloadDevice(board);
  EXPECT_REQUESTS({"0(*)", "8(*)"});
  EXPECT_FALSE(FindDevice(board));
  EXPECT_TRUE(ContextExists(0xA508, 0));

  QUORVA_SIM_SetForeignOpens(0, 0);
  board = QUORVA_LoadDevice(0xA508, 0);
  test::ClearLog();
  QUORVA_UnloadDevice(board);
  EXPECT_REQUESTS({"0(*)", "8(*)"});
  EXPECT_FALSE(ContextExists(0xA508, 0));
}

TEST_F(DeviceLoading, LoadingABoardTwiceKeepsOneContextUntilTheLastHandleCloses) {
  UseBoards("A508");
  const QUORVA_HANDLE first = Load(0xA508);
  const QUORVA_HANDLE second = QUORVA_LoadDevice(0xA508, 0);
  EXPECT_EQ(ContextOf(first), ContextOf(second));
  EXPECT_EQ(QUORVA_GetDeviceThreadCount(first), 2);
  QUORVA_UnloadDevice(first);
  EXPECT_TRUE(ContextExists(0xA508, 0));
  QUORVA_UnloadDevice(second);
  EXPECT_FALSE(ContextExists(0xA508, 0));
}

TEST_F(DeviceLoading, UnknownAndRepeatedUnloadsSendAndCloseNothing) {
  UseBoards("A508");
  const QUORVA_HANDLE board = Load(0xA508);
  QUORVA_UnloadDevice(board);
  test::ClearLog();
  QUORVA_UnloadDevice(board);
  QUORVA_UnloadDevice(QUORVA_INVALID_HANDLE);
  QUORVA_UnloadDevice(nullptr);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(DeviceLoading, BoardsOfOneFamilyAndInstanceShareAContext) {
  UseBoards("A504,E504");
  const QUORVA_HANDLE a = Load(0xA504);
  const QUORVA_HANDLE e = QUORVA_LoadDevice(0xE504, 0);
  EXPECT_REQUESTS({"0(*)", "0(*)"}) << "the existing context is used, nothing initialised";
  ASSERT_NE(ContextOf(a), nullptr);
  EXPECT_EQ(ContextOf(a), ContextOf(e));
  EXPECT_EQ(ContextOf(e)->deviceId, 0xA504);
}

TEST_F(DeviceLoading, InstancesBeyondTheContextTableLoadWithoutMotionState) {
  UseBoards("A508,A508,A508,A508,A508,A508,A508,A508,A508");
  const QUORVA_HANDLE ninth = Load(0xA508, 8);
  ASSERT_NE(ninth, QUORVA_INVALID_HANDLE);
  EXPECT_TRUE(FindDevice(ninth));
  EXPECT_EQ(ContextOf(ninth), nullptr);
  std::vector<unsigned int> words(480, 7);
  QUORVA_MC_ReadAllRegs(ninth, words.data());
  QUORVA_MC_Reset(ninth);
  QUORVA_MC_ResetAxis(ninth, 0);
  EXPECT_EQ(QUORVA_MC_ReadMainSpace(ninth, 0, 0), 0u);
  EXPECT_EQ(test::LoggedRequestCount(), 0) << "motion calls on it are silent no-ops";
  EXPECT_EQ(words[0], 7u);
  EXPECT_EQ(QUORVA_MC_Done(ninth, 0), 1);
}

TEST_F(DeviceLoading, ContextsFollowTheFamilyTable) {
  EXPECT_EQ(BoardFamily(0xA501), 0);
  EXPECT_EQ(BoardFamily(0xA5F0), 0) << "an unlisted DeviceId uses row 0";
  EXPECT_EQ(BoardFamily(0xA502), 1);
  EXPECT_EQ(BoardFamily(0xE504), 2);
  EXPECT_EQ(BoardFamily(0xFE50), 3);
  EXPECT_EQ(BoardFamily(0xA534), 4);
  EXPECT_EQ(BoardFamily(0xA544), 5);
  UseBoards("A5F0,A501");
  const QUORVA_HANDLE unlisted = Load(0xA5F0);
  ASSERT_NE(ContextOf(unlisted), nullptr);
  EXPECT_EQ(ContextOf(unlisted)->axisCount, 0) << "no axis pattern: axis count unchanged";
  const QUORVA_HANDLE a501 = QUORVA_LoadDevice(0xA501, 0);
  EXPECT_EQ(ContextOf(a501), ContextOf(unlisted)) << "both sit in row 0, instance 0";
}

TEST_F(DeviceLoading, NonMotionBoardsGetNoContext) {
  const QUORVA_HANDLE analog = Load(0xA101);
  EXPECT_EQ(ContextOf(analog), nullptr);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(DeviceLoading, UnloadingAllClosesEveryHandle) {
  const QUORVA_HANDLE motion = Load(0xA508);
  const QUORVA_HANDLE analog = Load(0xA101);
  UnloadAllDevices();
  EXPECT_FALSE(FindDevice(motion));
  EXPECT_FALSE(FindDevice(analog));
  EXPECT_FALSE(ContextExists(0xA508, 0));
  const QUORVA_HANDLE again = Load(0xA508);
  EXPECT_EQ(QUORVA_GetDeviceThreadCount(again), 1);
}

TEST_F(DeviceLoading, DeviceInformationOfAnOpenHandle) {
  const QUORVA_HANDLE board = Load(0xA508);
  DevInfo info;
  std::memset(&info, 0xEE, sizeof info);
  EXPECT_EQ(QUORVA_GetDevInfo(board, &info), 1);
  EXPECT_EQ(info.DeviceId, 0xA508);
  EXPECT_STREQ(info.modelName, "QV-A508 MC8");
  EXPECT_EQ(info.resourceFlags, 28);
  EXPECT_EQ(info.digitalInputs, 12);
  EXPECT_EQ(info.digitalOutputs, 12);
  EXPECT_EQ(info.axes, 8);
  EXPECT_EQ(info.analogInputs, 0);
  EXPECT_EQ(QUORVA_GetDevInfo(board, nullptr), 0);
}

}  // namespace
}  // namespace quorva
