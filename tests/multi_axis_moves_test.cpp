#include <string>
#include <vector>

#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Lines = std::vector<std::string>;

// The requests of `lines` with one of the given codes.
Lines Only(const Lines& lines, std::initializer_list<const char*> prefixes) {
  Lines kept;
  for (const std::string& line : lines) {
    for (const char* prefix : prefixes) {
      if (line.rfind(prefix, 0) == 0) kept.push_back(line);
    }
  }
  return kept;
}

class MultiAxisMoves : public test::MotionBoardTest {};

TEST_F(MultiAxisMoves, OneChipStartsWithOneCommandWord) {
  context_->speedMode[1] = 1;
  const int axes[] = {1, 2};
  const double distances[] = {10, 20};
  QUORVA_MC_StartMoveAll(board_, 2, axes, distances);
  EXPECT_EQ(Only(test::RawLog(), {"620("}), (Lines{"620(1, 0, 1619)"})) << "0x653 to axis 1";

  test::ClearLog();
  context_->speedMode[5] = 1;
  const int upper[] = {5, 6};
  QUORVA_MC_StartMoveAll(board_, 2, upper, distances);
  EXPECT_EQ(Only(test::RawLog(), {"620("}), (Lines{"620(5, 0, 1619)"})) << "0x653 to axis 5";
}

TEST_F(MultiAxisMoves, BothChipsWaitForTheStartSignal) {
  context_->speedMode[0] = 1;
  context_->speedMode[4] = 1;
  const int axes[] = {0, 4};
  const double distances[] = {10, -5};
  QUORVA_MC_StartMoveAll(board_, 2, axes, distances);
  // Each group's start goes to its first axis, then the signal to the list's first axis.
  EXPECT_EQ(Only(test::RawLog(), {"620("}),
            (Lines{"620(0, 0, 339)", "620(4, 0, 339)", "620(0, 0, 6)"}));
  // The start-signal configuration was set for the start and restored afterwards.
  EXPECT_EQ(context_->modeRegCache[0] >> 18 & 1u, 0u);
  EXPECT_EQ(context_->modeRegCache[4] >> 18 & 1u, 0u);
  bool heldBeforeStart = false;
  for (const std::string& line : test::RawLog()) {
    if (line.rfind("610(0, 7, ", 0) == 0) {
      const unsigned mode = static_cast<unsigned>(std::stoul(line.substr(10)));
      heldBeforeStart |= (mode >> 18 & 1u) != 0;
    }
  }
  EXPECT_TRUE(heldBeforeStart);
}

TEST_F(MultiAxisMoves, ContinuousGroupsSetEachDirection) {
  const int axes[] = {2, 3};
  const int directions[] = {1, -1};
  QUORVA_MC_StartVMoveAll(board_, 2, axes, directions);
  EXPECT_EQ(context_->modeRegCache[2] & 0xFF, 0x00u);
  EXPECT_EQ(context_->modeRegCache[3] & 0xFF, 0x08u);
  EXPECT_EQ(Only(test::RawLog(), {"620("}), (Lines{"620(2, 0, 3153)"})) << "0xC51 to axis 2";
}

TEST_F(MultiAxisMoves, StopsGoToEachChipsLowestAxis) {
  const int axes[] = {6, 2};
  QUORVA_MC_StopAll(board_, 2, axes);
  EXPECT_EQ(Only(test::RawLog(), {"620("}), (Lines{"620(2, 0, 1098)", "620(6, 0, 1098)"}));
  test::ClearLog();
  QUORVA_MC_EmgStopAll(board_, 2, axes);
  EXPECT_EQ(Only(test::RawLog(), {"620("}), (Lines{"620(2, 0, 1029)", "620(6, 0, 1029)"}));
}

TEST_F(MultiAxisMoves, AllDoneStopsAtTheFirstMovingAxis) {
  const int axes[] = {3, 1, 2};
  QUORVA_SIM_SetMainStatus(0, 1, 0, 0x2);
  EXPECT_EQ(QUORVA_MC_AllDone(board_, 3, axes), 0);
  EXPECT_EQ(test::RawLog(), (Lines{"640(3, 0, *)", "640(1, 0, *)"}));
  EXPECT_EQ(QUORVA_MC_AllDone(board_, 0, axes), 1);
}

TEST_F(MultiAxisMoves, TraceListsFormatEachElement) {
  const std::string path = test::TempPath("all.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
  const int axes[] = {0, 5};
  const double distances[] = {10, -2.5};
  QUORVA_MC_MoveAll(board_, 2, axes, distances);
  QUORVA_MC_StopAll(board_, 0, axes);
  const std::string log = test::ReadFile(path);
  EXPECT_NE(log.find(", 2, [0,5], [10.000,-2.500])"), std::string::npos) << log;
  EXPECT_EQ(log.find("StartMoveAll"), std::string::npos) << "the inner start is silent";
  EXPECT_NE(log.find("QUORVA_MC_StopAll(0x"), std::string::npos);
  EXPECT_NE(log.find(", 0, [])"), std::string::npos) << log;
}

TEST_F(MultiAxisMoves, UnusableListsAreIgnoredAfterTheTrace) {
  const int twice[] = {1, 1};
  const int outside[] = {1, 9};
  const int nine[] = {0, 1, 2, 3, 4, 5, 6, 7, 0};
  const double values[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const int directions[] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
  QUORVA_MC_StartMoveAll(board_, 2, twice, values);
  QUORVA_MC_StartMoveAll(board_, 2, outside, values);
  QUORVA_MC_MoveToAll(board_, 9, nine, values);
  QUORVA_MC_MoveAll(board_, -1, nine, values);
  QUORVA_MC_MoveAll(board_, 2, nullptr, values);
  QUORVA_MC_MoveAll(board_, 2, nine, nullptr);
  QUORVA_MC_StartVMoveAll(board_, 2, twice, directions);
  QUORVA_MC_StartVMoveAll(board_, 2, nine, nullptr);
  QUORVA_MC_StopAll(board_, 2, nullptr);
  QUORVA_MC_EmgStopAll(board_, 9, nine);
  EXPECT_EQ(QUORVA_MC_AllDone(board_, 2, nullptr), 1);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

}  // namespace
}  // namespace quorva
