// Soft limits, comparators, compare tables and the indexed compare-trigger: the requests the
// library sends, and what the simulated controller does with them during moves.
#include <cmath>
#include <string>
#include <vector>

#include "device/trace.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

std::string Write(int axis, int reg, unsigned value) {
  return "610(" + std::to_string(axis) + ", " + std::to_string(reg) + ", " +
         std::to_string(static_cast<int>(value)) + ")";
}
std::string Read(int axis, int reg) {
  return "630(" + std::to_string(axis) + ", " + std::to_string(reg) + ", *)";
}

std::vector<int> Table(int axis) {
  std::vector<int> positions(
      static_cast<std::size_t>(QUORVA_SIM_GetTriggerTable(0, axis, nullptr, 0)));
  QUORVA_SIM_GetTriggerTable(0, axis, positions.data(), static_cast<int>(positions.size()));
  return positions;
}

std::vector<QUORVA_SIM_COMPARE_EVENT> Events(int axis) {
  std::vector<QUORVA_SIM_COMPARE_EVENT> events(
      static_cast<std::size_t>(QUORVA_SIM_CompareEventCount(0, axis)));
  for (std::size_t i = 0; i < events.size(); ++i)
    QUORVA_SIM_GetCompareEvent(0, axis, static_cast<int>(i), &events[i]);
  return events;
}

class CompareOutputs : public test::MotionBoardTest {
 protected:
  void WaitDone(int axis) {
    while (QUORVA_MC_Done(board_, axis) == 0) {
    }
  }
};

TEST_F(CompareOutputs, SoftLimitsAreSetInUserUnitsAndReadInPulses) {
  QUORVA_MC_SetUnitDistance(board_, 0, 1000);
  test::ClearLog();
  QUORVA_MC_SetSoftLimit(board_, 0, -10.0, 10.0);
  QUORVA_MC_SetSoftLimit(board_, 1, -1e12, NAN);
  EXPECT_EQ(test::RawLog(), (Lines{"610(0, 39, -10000)", "610(0, 40, 10000)",
                                   "610(1, 39, -134217727)", "610(1, 40, 0)"}));
  double limits[2] = {};
  QUORVA_MC_GetSoftLimit(board_, 0, &limits[0], &limits[1]);
  EXPECT_EQ(limits[0], -10000.0);
  EXPECT_EQ(limits[1], 10000.0);
  test::ClearLog();
  QUORVA_MC_GetSoftLimit(board_, 0, nullptr, &limits[1]);
  EXPECT_EQ(test::RawLog(), (Lines{Read(0, 40)}));
}

TEST_F(CompareOutputs, ComparatorFieldsLeaveTheirNeighboursAlone) {
  QUORVA_SIM_SetAxisRegister(0, 0, 31, 0x20808080);  // bits 7, 15, 23 and 29 belong to none
  QUORVA_MC_EnableSoftLimit(board_, 0);
  EXPECT_EQ(Reg(0, 31), 0x2080B8B8u);
  EXPECT_EQ(QUORVA_MC_GetEnableSoftLimit(board_, 0), 1);
  test::ClearLog();
  QUORVA_MC_SetErrorCompare(board_, 0, 500.0, 1);
  EXPECT_EQ(test::RawLog(), (Lines{Read(0, 31), Write(0, 41, 500), Write(0, 31, 0x2093B8B8)}));
  EXPECT_EQ(Reg(0, 41), 500u);
  QUORVA_MC_SetErrorCompare(board_, 0, 0.0, 0);
  EXPECT_EQ(Reg(0, 31), 0x2090B8B8u) << "only field 1 of comparator 3 cleared";
  QUORVA_MC_SetGeneralCompare(board_, 0, 7, 0xF, 6, -42.9);
  EXPECT_EQ(Reg(0, 31), 0xBF90B8B8u) << "f1 & 3, f2 & 7, f3 & 3; bit 29 kept";
  EXPECT_EQ(static_cast<int>(Reg(0, 42)), -42);
  QUORVA_MC_DisableSoftLimit(board_, 0);
  EXPECT_EQ(Reg(0, 31), 0xBF908080u);
  EXPECT_EQ(QUORVA_MC_GetEnableSoftLimit(board_, 0), 0);
}

TEST_F(CompareOutputs, TriggerCompareOrderDependsOnF2) {
  const std::string config = Write(0, 32, 0x0A);
  QUORVA_MC_SetTriggerCompare(board_, 0, 2, 9, 1000.0);
  EXPECT_EQ(test::RawLog(), (Lines{Write(0, 43, 1000), Read(0, 32), config}));
  test::ClearLog();
  QUORVA_MC_SetTriggerCompare(board_, 0, 0xF, -8, 2e9);
  EXPECT_EQ(test::RawLog(), (Lines{Read(0, 32), Write(0, 32, 0x07), Write(0, 43, 134217727)}));
}

TEST_F(CompareOutputs, TablesAreClampedAndSentWithTheirCount) {
  EXPECT_EQ(QUORVA_MC_BuildTableCCMP(board_, 0, 100.0, 50.0, 4), 1);
  EXPECT_REQUESTS({"720(0, *, 4)"});
  EXPECT_EQ(Table(0), (std::vector<int>{100, 150, 200, 250}));
  const double positions[] = {-2.9, 1e10, -1e10, NAN};
  EXPECT_EQ(QUORVA_MC_RegTableCCMP(board_, 1, positions, 4), 1);
  EXPECT_EQ(Table(1), (std::vector<int>{-2, 134217727, -134217727, 0}));
  EXPECT_EQ(QUORVA_MC_RegTableCCMP(board_, 1, nullptr, 0), 1) << "an empty table";
  EXPECT_EQ(Table(1), std::vector<int>{});

  test::ClearLog();
  EXPECT_EQ(QUORVA_MC_RegTableCCMP(board_, 0, positions, -1), 0);
  EXPECT_EQ(QUORVA_MC_RegTableCCMP(board_, 0, nullptr, 3), 0);
  EXPECT_EQ(QUORVA_MC_BuildTableCCMP(board_, 0, 0, 1, -5), 0);
  EXPECT_EQ(QUORVA_MC_BuildTableCCMP(board_, 8, 0, 1, 5), 0);
  EXPECT_EQ(QUORVA_MC_StartCCMP(board_, -1, 1, 1), 0);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(CompareOutputs, TableStartAndStopRequests) {
  QUORVA_MC_StartCCMP(board_, 2, 1, 2);
  EXPECT_REQUESTS(
      {Read(2, 32), Write(2, 32, 0x11), Read(2, 44), Write(2, 44, 0x1000), "730(2, 0)"});
  test::ClearLog();
  QUORVA_MC_StartCCMP(board_, 2, 1, 1);
  EXPECT_REQUESTS(
      {Read(2, 32), Write(2, 32, 0x09), Read(2, 44), Write(2, 44, 0x1000), "730(2, 1)"});
  test::ClearLog();
  EXPECT_EQ(QUORVA_MC_StopCCMP(board_, 2), 1);
  EXPECT_REQUESTS({Read(2, 32), Write(2, 32, 0), "740(2)"});
}

TEST_F(CompareOutputs, IndexedTriggerChecksTheMapAgainstTheBoard) {
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_SetMap(nullptr, 0, 0, 1, 3), 0);
  EXPECT_EQ(QUORVA_LastError(), QUORVA_ERR_INVALID_HANDLE);
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_Stop(QUORVA_INVALID_HANDLE, 0), 0);

  EXPECT_EQ(QUORVA_MC_CmpTrgIx_SetMap(board_, 2, 0x10003, 5, 17), 1);
  int got[4] = {-1, -1, -1, -1};
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_GetMap(board_, 2, &got[0], &got[1], &got[2], &got[3]), 1);
  EXPECT_EQ(std::vector<int>(got, got + 4), (std::vector<int>{3, 5, 17, 1})) << "16-bit axes";
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_SetCfg(board_, 2, 0xA, 3), 1);
  EXPECT_EQ(Reg(3, 32) & 7, 2u);
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_GetCfg(board_, 2, &got[0], &got[1]), 1);
  EXPECT_EQ(got[0], 2);
  EXPECT_EQ(got[1], 3);

  QUORVA_MC_CmpTrgIx_SetMap(board_, 1, 0, 8, 0);  // the board has axes 0-7
  test::ClearLog();
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_SetCfg(board_, 1, 1, 1), 0);
  EXPECT_EQ(QUORVA_LastError(), QUORVA_ERR_TRIGGER_MAP);
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_SetCfg(board_, 5, 1, 1), 0) << "a map never set is not valid";
  EXPECT_REQUESTS({"1162(1, *, *, *, *, *)", "1162(5, *, *, *, *, *)"});

  EXPECT_EQ(QUORVA_MC_CmpTrgIx_GetMap(board_, QUORVA_SIM_TRIGGER_MAPS, got, got, got, got), 0);
  EXPECT_EQ(QUORVA_LastError(), QUORVA_SIM_TRIGGER_ERR_INDEX);
  QUORVA_SIM_RefuseCommand(1166);
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_Stop(board_, 2), 0);
  EXPECT_EQ(QUORVA_LastError(), QUORVA_ERR_NOT_SUPPORTED) << "a refused request is no success";
  QUORVA_SIM_RefuseCommand(-1);
  const QUORVA_HANDLE analog = Load(0xA101);
  StoreLastError(0);
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_SetCfg(analog, 2, 1, 1), 0);
  EXPECT_EQ(QUORVA_LastError(), 0) << "no motion board: the last error is left alone";
}

TEST_F(CompareOutputs, IndexedTablesAreRefusedBeforeAnythingIsSent) {
  QUORVA_MC_CmpTrgIx_SetMap(board_, 0, 1, 2, 0);
  const double positions[] = {1.0};
  const int second[] = {1};
  test::ClearLog();
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_Start(board_, 0, 7, positions, second, -1), 0);
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_Start(board_, 0, 7, nullptr, second, 1), 0);
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_Start(board_, 0, 7, positions, nullptr, 1), 0);
  EXPECT_EQ(QUORVA_LastError(), QUORVA_ERR_TRIGGER_TABLE);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
  const double wide[] = {1e12, -1e12, NAN};
  const int data[] = {1, 2, 3};
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_Start(board_, 0, 0x1122334455667788ull, wide, data, 3), 1);
  EXPECT_REQUESTS({"1162(0, *, *, *, *, *)", Read(1, 44), Write(1, 44, 0x1000), Read(2, 44),
                   Write(2, 44, 0x1000), "1164(0, *, *, *, 3, *)"});
  QUORVA_SIM_REQUEST start{};
  QUORVA_SIM_GetRequest(test::LoggedRequestCount() - 1, &start);
  EXPECT_EQ(start.slots[1], 0x1122334455667788ull) << "the tag in one slot";
}

// On the simulated controller, at the default 1000 pulses per second without ramps.
TEST_F(CompareOutputs, AMoveStopsAtASoftLimitAndLeavesItTheOtherWay) {
  QUORVA_MC_SetSoftLimit(board_, 3, -200, 500);
  QUORVA_MC_EnableSoftLimit(board_, 3);
  QUORVA_MC_Move(board_, 3, 2000);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 3), 500);
  const int status = QUORVA_MC_GetMioStatus(board_, 3);
  EXPECT_EQ(status >> 9 & 1, 1) << "stopped by a soft limit";
  EXPECT_EQ(status >> 15 & 1, 1) << "at the positive soft limit";
  QUORVA_MC_Move(board_, 3, 100);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 3), 500) << "no further that way";
  QUORVA_MC_Move(board_, 3, -300);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 3), 200);
  EXPECT_EQ(QUORVA_MC_GetMioStatus(board_, 3) >> 15 & 1, 0);
  const auto events = Events(3);
  ASSERT_EQ(events.size(), 1u) << "one event for the move stopped at the limit";
  EXPECT_EQ(events[0].source, QUORVA_SIM_EVENT_SOFT_LIMIT);
  EXPECT_EQ(events[0].position, 500);
  EXPECT_EQ(events[0].data, 1);
}

TEST_F(CompareOutputs, TriggerTableGivesOnePulseAtEachPositionDuringOneMove) {
  QUORVA_MC_BuildTableCCMP(board_, 0, 100, 37, 100);
  QUORVA_MC_StartCCMP(board_, 0, 2, 0);  // counting up, command counter
  QUORVA_MC_StartMove(board_, 0, 4000);
  const double start = QUORVA_SIM_GetTime();
  WaitDone(0);
  QUORVA_SIM_COMPARE_OUTPUT output{};
  QUORVA_SIM_GetCompareOutput(0, 0, &output);
  EXPECT_EQ(output.pulses, 100);
  EXPECT_EQ(output.position, 100 + 99 * 37);
  const auto events = Events(0);
  ASSERT_EQ(events.size(), 100u);
  QUORVA_SIM_AXIS_STATE state{};
  QUORVA_SIM_GetAxisState(0, 0, &state);
  for (int i = 0; i < 100; ++i) {
    const QUORVA_SIM_COMPARE_EVENT& e = events[static_cast<std::size_t>(i)];
    EXPECT_EQ(e.source, QUORVA_SIM_EVENT_TRIGGER_TABLE);
    EXPECT_EQ(e.entry, i);
    EXPECT_EQ(e.position, 100 + 37 * i);
    // At a constant 1000 pulses per second the axis is at the entry when it fires.
    const double position = (e.time - state.startTime) * 1000.0;
    EXPECT_NEAR(position, e.position, 1.0) << i;
  }
  EXPECT_LT(start - state.startTime, 0.1) << "the move was followed while it ran";
  EXPECT_EQ(Reg(0, 43), static_cast<unsigned>(100 + 99 * 37)) << "the last entry stays";
}

TEST_F(CompareOutputs, ConditionsChooseDirectionAndCounter) {
  QUORVA_SIM_SetFollowingError(0, 4, 50);
  QUORVA_MC_SetSpeed(board_, 4, 100, 20000);
  struct Case {
    int f1;
    int f2;
    int value;
    int pulses;  // after a move out to 1000 and back to 0
  };
  // Either way twice; counting up or down once; off (0 and 4) never. The actual counter lags
  // by 50: it never reaches 960, and passes -20 twice (it starts and ends at -50).
  for (const Case& c :
       {Case{1, 0, 960, 2}, Case{2, 0, 960, 1}, Case{3, 0, 960, 1}, Case{0, 0, 960, 0},
        Case{4, 0, 960, 0}, Case{1, 1, 960, 0}, Case{1, 1, -20, 2}, Case{1, 0, 0, 1}}) {
    QUORVA_SIM_COMPARE_OUTPUT before{};
    QUORVA_SIM_GetCompareOutput(0, 4, &before);
    QUORVA_MC_SetTriggerCompare(board_, 4, c.f1, c.f2, c.value);
    QUORVA_MC_Move(board_, 4, 1000);
    QUORVA_MC_Move(board_, 4, -1000);
    QUORVA_SIM_COMPARE_OUTPUT after{};
    QUORVA_SIM_GetCompareOutput(0, 4, &after);
    EXPECT_EQ(after.pulses - before.pulses, c.pulses) << c.f1 << " " << c.f2 << " " << c.value;
  }
  QUORVA_MC_SetGeneralCompare(board_, 5, 0, 2, 0, -300);
  QUORVA_MC_Move(board_, 5, -600);
  QUORVA_MC_Move(board_, 5, 600);
  const auto events = Events(5);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].source, QUORVA_SIM_EVENT_GENERAL);
  QUORVA_SIM_COMPARE_OUTPUT output{};
  QUORVA_SIM_GetCompareOutput(0, 5, &output);
  EXPECT_EQ(output.pulses, 0) << "comparator 4 drives no output";
}

TEST_F(CompareOutputs, IndexedTableFiresItsEntriesInTurn) {
  QUORVA_MC_CmpTrgIx_SetMap(board_, 3, 6, 7, 12);
  QUORVA_MC_CmpTrgIx_SetCfg(board_, 3, 1, 0);
  const double positions[] = {-10.7, -20, -20, -5};
  const int data[] = {11, 22, 33, 44};
  ASSERT_EQ(QUORVA_MC_CmpTrgIx_Start(board_, 3, 0, positions, data, 4), 1);
  QUORVA_MC_Move(board_, 6, -30);
  int state[2] = {-1, -1};
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_GetState(board_, 3, &state[0], &state[1]), 1);
  EXPECT_EQ(state[0], 2) << "-10 then -20; the second -20 waits for another pass";
  EXPECT_EQ(state[1], 1);
  QUORVA_MC_Move(board_, 6, 30);
  QUORVA_MC_Move(board_, 6, -30);  // the table is done: comparator 5 is off
  EXPECT_EQ(QUORVA_MC_CmpTrgIx_GetState(board_, 3, &state[0], nullptr), 1);
  EXPECT_EQ(state[0], 4);
  QUORVA_SIM_REQUEST request{};
  QUORVA_SIM_GetRequest(test::LoggedRequestCount() - 1, &request);
  EXPECT_NE(request.slots[2], 0u) << "the driver is never handed a null result address";
  EXPECT_EQ(Reg(6, 32) & 0xFF, 0u);
  const auto events = Events(6);
  ASSERT_EQ(events.size(), 4u);
  std::vector<int> seen;
  for (const auto& e : events)
    seen.push_back(e.position * 100 + e.data);
  EXPECT_EQ(seen, (std::vector<int>{-1000 + 11, -2000 + 22, -2000 + 33, -500 + 44}));
  QUORVA_MC_CmpTrgIx_GetState(board_, 3, &state[0], &state[1]);
  EXPECT_EQ(state[1], 0) << "every entry fired";
  QUORVA_SIM_COMPARE_OUTPUT output{};
  QUORVA_SIM_GetCompareOutput(0, 6, &output);
  EXPECT_EQ(output.pulses, 0) << "indexed entries pulse the map's channel, not the output";
}

}  // namespace
}  // namespace quorva
