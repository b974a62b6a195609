// Moves through the exported functions on the simulated controller: the axes really run, in
// simulated time, and the blocking calls return when they arrive.
#include <set>
#include <vector>

#include "mapping_file_fixture.h"
#include "sim_test.h"

namespace quorva {
namespace {

class MovesEndToEnd : public test::MotionBoardTest {
 protected:
  // 100 pulses per millimetre; 1 to 100 mm/s with 1000 mm/s² ramps.
  void SetUp() override {
    MotionBoardTest::SetUp();
    for (int axis = 0; axis < 8; ++axis)
      UseMillimetres(axis, 1000);
  }
};

TEST_F(MovesEndToEnd, BlockingMovesReturnAtTheTargetInUserUnits) {
  const double start = QUORVA_SIM_GetTime();
  QUORVA_MC_Move(board_, 0, 25);
  const double took = QUORVA_SIM_GetTime() - start;
  EXPECT_EQ(QUORVA_MC_Done(board_, 0), 1);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 0), 25.0);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), 2500);
  // 25 mm at up to 100 mm/s with 0.1 s ramps takes about 0.35 s.
  EXPECT_GT(took, 0.30);
  EXPECT_LT(took, 0.45);

  QUORVA_MC_MoveTo(board_, 0, -10.5);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board_, 0), -10.5);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 0), -1050);
}

TEST_F(MovesEndToEnd, PollingSeesTheThreePhasesAndARisingCounter) {
  QUORVA_MC_StartMove(board_, 2, 30);
  std::vector<unsigned> phases;
  int previous = 0;
  unsigned topSpeed = 0;
  while (QUORVA_MC_Done(board_, 2) == 0) {
    const int count = QUORVA_MC_GetCount_C(board_, 2);
    EXPECT_GE(count, previous);
    previous = count;
    topSpeed = std::max(topSpeed, QUORVA_MC_ReadRegister(board_, 2, 53) & 0xFFFF);
    const unsigned phase = QUORVA_MC_ReadRegister(board_, 2, 49) & 0xF;
    if (phase != 0 && (phases.empty() || phases.back() != phase)) phases.push_back(phase);
  }
  EXPECT_EQ(phases, (std::vector<unsigned>{0xB, 0xC, 0xD}));
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 2), 3000);
  EXPECT_LE(topSpeed, QUORVA_MC_ReadRegister(board_, 2, 2)) << "never above the high speed";
}

TEST_F(MovesEndToEnd, AxesOnBothChipsStartInTheSameInstant) {
  const int axes[] = {1, 6, 3};
  const double distances[] = {10, -20, 5};
  QUORVA_MC_MoveAll(board_, 3, axes, distances);
  const int all[] = {1, 6, 3};
  EXPECT_EQ(QUORVA_MC_AllDone(board_, 3, all), 1);
  std::set<double> starts;
  for (int axis : axes)
    starts.insert(AxisState(axis).startTime);
  EXPECT_EQ(starts.size(), 1u) << "released together by the start signal";
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 1), 1000);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 6), -2000);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 3), 500);
  // The start-signal wait was only for this start.
  int mode = -1, input = -1;
  QUORVA_MC_GetMioCfgSTA(board_, 6, &mode, &input);
  EXPECT_EQ(mode, 0);

  const double positions[] = {0, 0, 0};
  QUORVA_MC_MoveToAll(board_, 3, axes, positions);
  for (int axis : axes)
    EXPECT_EQ(QUORVA_MC_GetCount_C(board_, axis), 0);
}

TEST_F(MovesEndToEnd, StopsEndAContinuousRun) {
  QUORVA_MC_StartVMove(board_, 5, 1);
  QUORVA_SIM_AdvanceTime(0.5);
  EXPECT_EQ(QUORVA_MC_Done(board_, 5), 0);
  QUORVA_MC_Stop(board_, 5);
  while (QUORVA_MC_Done(board_, 5) == 0) {
  }
  const int stoppedAt = QUORVA_MC_GetCount_C(board_, 5);
  EXPECT_GT(stoppedAt, 4000);
  QUORVA_SIM_AdvanceTime(1.0);
  EXPECT_EQ(QUORVA_MC_GetCount_C(board_, 5), stoppedAt);

  QUORVA_MC_StartVMove(board_, 5, -1);
  QUORVA_SIM_AdvanceTime(0.2);
  QUORVA_MC_EmgStop(board_, 5);
  EXPECT_EQ(QUORVA_MC_Done(board_, 5), 1) << "an emergency stop is immediate";
  EXPECT_LT(QUORVA_MC_GetCount_C(board_, 5), stoppedAt);
}

class GantryMovesEndToEnd : public test::MappingFileTest {};

TEST_F(GantryMovesEndToEnd, CorrectedMovesReadBackTheRequestedPosition) {
  const QUORVA_HANDLE board = Load(0xA508);
  // A 3 × 3 grid over 0-200 pulses with a constant correction of +5 in X and -3 in Y.
  SetGrid(board, 0, 1, 0, 0, 100, 100, 3, 3, std::vector<double>(9, 5), std::vector<double>(9, -3));
  ASSERT_EQ(QUORVA_MC_2DMATRIX_SetEnable(board, 1), 1);
  QUORVA_MC_SetSpeed(board, 0, 100, 5000);
  QUORVA_MC_SetSpeed(board, 1, 100, 5000);

  auto rawCount = [](int axis) {
    unsigned raw = 0;
    QUORVA_SIM_GetAxisRegister(0, axis, 35, &raw);
    return static_cast<int>(raw);
  };
  QUORVA_MC_MoveTo(board, 0, 150);
  EXPECT_EQ(rawCount(0), 155) << "the stage runs to the corrected count";
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board, 0), 150) << "and reads back the request";

  // A relative move of a gantry axis goes from its present mapped position: the raw count 0
  // of Y reads as 3.
  const double startY = QUORVA_MC_GetPosition_C(board, 1);
  EXPECT_DOUBLE_EQ(startY, 3);
  QUORVA_MC_Move(board, 1, 60);
  EXPECT_EQ(rawCount(1), 60);
  EXPECT_DOUBLE_EQ(QUORVA_MC_GetPosition_C(board, 1), startY + 60);
}

}  // namespace
}  // namespace quorva
