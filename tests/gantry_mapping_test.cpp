#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "config/gantry_correct.h"
#include "mapping_file_fixture.h"
#include "motion/core/motion_context.h"
#include "motion/io/gantry_inverse.h"

#if defined(__linux__)
#include <sys/resource.h>

#include <csignal>
#endif

namespace quorva {
namespace {

// A context holding a grid: origin, pitch and count per axis, corrections in pulses.
void SetGrid(MotionContext& c, GridAxis x, GridAxis y, const std::vector<GantryCell>& cells) {
  c.gantryOriginX = x.origin;
  c.gantryPitchX = x.pitch;
  c.gantryCountX = x.count;
  c.gantryOriginY = y.origin;
  c.gantryPitchY = y.pitch;
  c.gantryCountY = y.count;
  c.gantryTable = cells;
}

// 3 x 3 grid, pitch 100 from 0; X correction 10·i + j, Y correction −(i + 10·j).
class Correction : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<GantryCell> cells;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j)
        cells.push_back({10.0 * i + j, -(i + 10.0 * j)});
    }
    SetGrid(context_, {0, 100, 3}, {0, 100, 3}, cells);
  }
  MotionContext context_;
};

TEST_F(Correction, GridPointsGetTheirOwnCorrection) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const GantryPoint p = GantryCorrect(context_, 100.0 * i, 100.0 * j);
      EXPECT_DOUBLE_EQ(p.x, 100.0 * i + 10 * i + j) << i << "," << j;
      EXPECT_DOUBLE_EQ(p.y, 100.0 * j - (i + 10 * j)) << i << "," << j;
    }
  }
}

TEST_F(Correction, HalfwayBetweenFourPointsGetsTheirMean) {
  // Corners (1,1) (1,2) (2,1) (2,2): X mean 16.5 rounds to 17, Y mean −16.5 to −16.
  const GantryPoint p = GantryCorrect(context_, 150, 150);
  EXPECT_DOUBLE_EQ(p.x, 167);
  EXPECT_DOUBLE_EQ(p.y, 134);
}

TEST_F(Correction, BeyondTheGridUsesTheEdgeCellInterpolatingTheOtherAxis) {
  // x past the last column: corrections of row i = 2, interpolated in y only.
  const GantryPoint past = GantryCorrect(context_, 350, 50);
  EXPECT_DOUBLE_EQ(past.x, 350 + 21);  // 20.5 rounds up
  EXPECT_DOUBLE_EQ(past.y, 50 - 7);    // −(2 + 5) exactly
  const GantryPoint before = GantryCorrect(context_, -80, -500);
  EXPECT_DOUBLE_EQ(before.x, -80 + 0);  // cell (0, 0), no extrapolation
  EXPECT_DOUBLE_EQ(before.y, -500 + 0);
}

TEST_F(Correction, HalvesRoundUpward) {
  SetGrid(context_, {0, 10, 1}, {0, 10, 1}, {{2.5, -2.5}});
  const GantryPoint p = GantryCorrect(context_, 0, 0);
  EXPECT_DOUBLE_EQ(p.x, 3);
  EXPECT_DOUBLE_EQ(p.y, -2);
}

TEST_F(Correction, NegativePitchMirrorsTheRange) {
  // X grid from 100 down to 0 in steps of −10; point i carries X correction i.
  std::vector<GantryCell> cells;
  for (int i = 0; i < 11; ++i)
    cells.push_back({static_cast<double>(i), 0});
  SetGrid(context_, {100, -10, 11}, {0, 10, 1}, cells);
  EXPECT_DOUBLE_EQ(GantryCorrect(context_, 50, 0).x, 55);
  EXPECT_DOUBLE_EQ(GantryCorrect(context_, 45, 0).x, 45 + 6) << "5.5 between points 5 and 6";
  EXPECT_DOUBLE_EQ(GantryCorrect(context_, 120, 0).x, 120) << "above the span: point 0";
  EXPECT_DOUBLE_EQ(GantryCorrect(context_, -20, 0).x, -20 + 10) << "below: last point";
}

TEST_F(Correction, ZeroPitchAndMissingTableDoNotDivideOrReadOutside) {
  SetGrid(context_, {5, 0, 1}, {5, 0, 1}, {{1, 2}});
  EXPECT_DOUBLE_EQ(GantryCorrect(context_, 7, 9).x, 8);
  EXPECT_DOUBLE_EQ(InverseGantryCorrection(context_, 8, 11).y, 9);
  SetGrid(context_, {0, 10, 4}, {0, 10, 4}, {});  // counts without a table
  EXPECT_DOUBLE_EQ(GantryCorrect(context_, 13, 14).y, 14);
  EXPECT_DOUBLE_EQ(InverseGantryCorrection(context_, 13, 14).x, 13);
}

TEST_F(Correction, InverseUndoesTheCorrectionWithinOnePulseOnSmoothGrids) {
  std::mt19937 random(20261208);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int grid = 0; grid < 200; ++grid) {
    const int countX = 2 + static_cast<int>(unit(random) * 20);
    const int countY = 2 + static_cast<int>(unit(random) * 20);
    const double pitchX = (unit(random) < 0.3 ? -1 : 1) * (200 + unit(random) * 2000);
    const double pitchY = (unit(random) < 0.3 ? -1 : 1) * (200 + unit(random) * 2000);
    const double originX = (unit(random) - 0.5) * 1e5;
    const double originY = (unit(random) - 0.5) * 1e5;
    // Corrections of a few pulses that change slowly across the grid.
    const double ax = 1 + 4 * unit(random), ay = 1 + 4 * unit(random);
    const double phase = 6 * unit(random);
    std::vector<GantryCell> cells;
    for (int i = 0; i < countX; ++i) {
      for (int j = 0; j < countY; ++j) {
        cells.push_back(
            {ax * std::sin(0.3 * i + 0.2 * j + phase), ay * std::cos(0.25 * i - 0.3 * j + phase)});
      }
    }
    SetGrid(context_, {originX, pitchX, countX}, {originY, pitchY, countY}, cells);
    for (int sample = 0; sample < 200; ++sample) {
      const double x = std::round(originX + unit(random) * (countX - 1) * pitchX);
      const double y = std::round(originY + unit(random) * (countY - 1) * pitchY);
      const GantryPoint commanded = GantryCorrect(context_, x, y);
      const GantryPoint back = InverseGantryCorrection(context_, commanded.x, commanded.y);
      ASSERT_LE(std::fabs(back.x - x), 1) << "grid " << grid << " at " << x << "," << y;
      ASSERT_LE(std::fabs(back.y - y), 1) << "grid " << grid << " at " << x << "," << y;
    }
  }
}

class MappingFile : public test::MappingFileTest {
 protected:
  MotionContext& LoadBoard(int deviceId = 0xA508, int instance = 0) {
    board_ = Load(deviceId, instance);
    MotionContext* context = ContextOf(board_);
    EXPECT_NE(context, nullptr);
    return *context;
  }
  QUORVA_HANDLE board_ = nullptr;
};

constexpr const char* kTwoByTwo =
    "[GantryMapInfo]\nInstance = 0\nAxisX = 2\nAxisY = 3\n"
    "[AxisXInfo]\nUnitDist = 100.00\nStartPoint = 1.50\nOffset = 2.00\nNum = 2\n"
    "[AxisYInfo]\nUnitDist = 10.00\nStartPoint = -1.00\nOffset = -3.00\nNum = 2\n"
    "[MappingPoint]\n"
    "Mappoint_X000_Y000= 0.01,0.10\nMappoint_X000_Y001= 0.02,0.20\n"
    "Mappoint_X001_Y000= 0.03,0.30\nMappoint_X001_Y001= 0.04,0.40\n";

TEST_F(MappingFile, DeviceLoadReadsTheTableOfItsInstanceWithoutEnablingIt) {
  WriteMappingText(kTwoByTwo);
  const MotionContext& c = LoadBoard();
  EXPECT_EQ(c.gantryLoaded, 1);
  EXPECT_EQ(c.gantryEnabled, 0);
  EXPECT_EQ(c.gantryAxisX, 2);
  EXPECT_EQ(c.gantryAxisY, 3);
  EXPECT_DOUBLE_EQ(c.unitDistance[2], 100);
  EXPECT_DOUBLE_EQ(c.unitDistance[3], 10);
  EXPECT_DOUBLE_EQ(c.gantryOriginX, 150);
  EXPECT_DOUBLE_EQ(c.gantryPitchX, 200);
  EXPECT_DOUBLE_EQ(c.gantryOriginY, -10);
  EXPECT_DOUBLE_EQ(c.gantryPitchY, -30);
  ASSERT_EQ(c.gantryTable.size(), 4u) << "the table is sized to the grid";
  EXPECT_DOUBLE_EQ(c.gantryTable[1].x, 2);
  EXPECT_DOUBLE_EQ(c.gantryTable[2].y, 3);
}

TEST_F(MappingFile, OnlyTheNamedInstanceOfAnA5BoardLoadsTheTable) {
  WriteMappingText(kTwoByTwo);
  UseBoards("A504,A504,FE50");
  EXPECT_EQ(LoadBoard(0xA504, 1).gantryLoaded, 0) << "the file names instance 0";
  EXPECT_EQ(LoadBoard(0xA504, 0).gantryLoaded, 1);
  const MotionContext& fe50 = LoadBoard(0xFE50);
  EXPECT_EQ(fe50.gantryLoaded, 0);
  EXPECT_TRUE(fe50.gantryTable.empty());
  std::remove(MappingPath().c_str());
  UseBoards("A508");
  const MotionContext& without = LoadBoard();
  EXPECT_EQ(without.gantryLoaded, 0) << "no file";
  EXPECT_TRUE(without.gantryTable.empty());
}

TEST_F(MappingFile, ReadingIgnoresCaseSpacingAndKeyOrder) {
  WriteMappingText(
      "; written by hand\r\n[mappingpoint]\r\n  MAPPOINT_x000_y000 =  1 , 2  \r\n"
      "[AXISYINFO]\r\nnum=1\r\noffset=1\r\nstartpoint=0\r\nunitdist=2\r\n"
      "[gantrymapinfo]\r\naxisy=1\r\naxisx=0\r\n"
      "[AxisXInfo]\r\nNum=1\r\nOffset=1\r\nStartPoint=0\r\nUnitDist=4");
  const MotionContext& c = LoadBoard();
  ASSERT_EQ(c.gantryLoaded, 1);
  EXPECT_DOUBLE_EQ(c.gantryTable[0].x, 4);
  EXPECT_DOUBLE_EQ(c.gantryTable[0].y, 4);
}

TEST_F(MappingFile, TheFirstSectionAndKeyOfEachNameCount) {
  std::string text = kTwoByTwo;
  text.insert(text.find("Mappoint_X000_Y000"),
              "Mappoint_X0000_Y000= 5,5\nMappoint_X00_Y000= 5,5\nMappoint_X000_Y001_= 5,5\n");
  text +=
      "Mappoint_X000_Y000= 7,7\n[AxisXInfo]\nUnitDist = 5\n[MappingPoint]\n"
      "Mappoint_X000_Y001= 9,9\n[GantryMapInfo]\nInstance = 3\n";
  WriteMappingText(text);
  const MotionContext& c = LoadBoard();
  ASSERT_EQ(c.gantryLoaded, 1);
  EXPECT_DOUBLE_EQ(c.unitDistance[2], 100);
  EXPECT_DOUBLE_EQ(c.gantryTable[0].x, 1) << "keys of no other spelling name the point";
  EXPECT_DOUBLE_EQ(c.gantryTable[1].x, 2);
}

struct Malformed {
  const char* name;
  std::string text;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

TEST_F(MappingFile, MalformedFilesLoadAsNotLoaded) {
  const std::string good = kTwoByTwo;
  const std::vector<Malformed> cases = {
      {"no axis section", Replace(good, "[AxisXInfo]", "[Other]")},
      {"no point section", Replace(good, "[MappingPoint]", "[Other]")},
      {"axis missing", Replace(good, "AxisX = 2", "")},
      {"axis beyond the board", Replace(good, "AxisX = 2", "AxisX = 8")},
      {"negative axis", Replace(good, "AxisY = 3", "AxisY = -1")},
      {"zero count", Replace(good, "Num = 2\n[AxisYInfo]", "Num = 0\n[AxisYInfo]")},
      {"negative counts", Replace(Replace(good, "Num = 2", "Num = -1"), "Num = 2", "Num = -4")},
      {"count overflow",
       Replace(Replace(good, "Num = 2", "Num = 99999999999"), "Num = 2", "Num = 3")},
      {"over a million points",
       Replace(Replace(good, "Num = 2", "Num = 1001"), "Num = 2", "Num = 1000")},
      {"missing point", Replace(good, "Mappoint_X001_Y000= 0.03,0.30\n", "")},
      {"empty point", Replace(good, "= 0.03,0.30", "=")},
      {"non-numeric point", Replace(good, "0.03,0.30", "0.03,abc")},
      {"trailing garbage", Replace(good, "0.03,0.30", "0.03x,0.30")},
      {"not a number", Replace(good, "0.03,0.30", "nan,0.30")},
      {"infinite", Replace(good, "0.03,0.30", "1e999,0.30")},
      {"zero unit distance", Replace(good, "UnitDist = 100.00", "UnitDist = 0")},
      {"unit distance missing", Replace(good, "UnitDist = 10.00\n", "")},
      {"start not a number", Replace(good, "StartPoint = 1.50", "StartPoint = one")},
      {"long line", Replace(good, "0.03,0.30", std::string(1 << 20, '7') + ",x")},
      {"binary", Replace(good, "0.03,0.30", std::string("0.0\0\xff,1", 8))},
  };
  for (const Malformed& m : cases) {
    WriteMappingText(m.text);
    UseBoards("A508");
    const MotionContext& c = LoadBoard();
    EXPECT_EQ(c.gantryLoaded, 0) << m.name;
    EXPECT_EQ(c.gantryEnabled, 0) << m.name;
    EXPECT_DOUBLE_EQ(c.unitDistance[2], 1.0) << m.name << ": units change only with a table";
  }
}

TEST_F(MappingFile, SetWritesTheFileAndLoadsItBack) {
  MotionContext& c = LoadBoard();
  c.unitDistance[4] = 1000.004;
  c.unitDistance[5] = 2;
  const std::vector<double> dx = {0.001, 0.5, -1.25, 2};
  const std::vector<double> dy = {1, 2, 3, 4.567};
  SetGrid(board_, 4, 5, 10, -20, 0.5, -0.25, 2, 2, dx, dy);
  EXPECT_EQ(test::ReadText(MappingPath()),
            "[GantryMapInfo]\nInstance = 0\nAxisX = 4\nAxisY = 5\n"
            "[AxisXInfo]\nUnitDist = 1000.00\nStartPoint = 10.00\nOffset = 0.50\nNum = 2\n"
            "[AxisYInfo]\nUnitDist = 2.00\nStartPoint = -20.00\nOffset = -0.25\nNum = 2\n"
            "[MappingPoint]\n"
            "Mappoint_X000_Y000= 0.00,1.00\nMappoint_X000_Y001= 0.50,2.00\n"
            "Mappoint_X001_Y000= -1.25,3.00\nMappoint_X001_Y001= 2.00,4.57\n");
  EXPECT_EQ(c.gantryLoaded, 1);
  EXPECT_EQ(c.gantryEnabled, 0);
  EXPECT_DOUBLE_EQ(c.unitDistance[4], 1000.0) << "the file keeps two decimals";
  int axes[2] = {};
  double starts[2] = {};
  double pitches[2] = {};
  int counts[2] = {};
  double gx[4] = {};
  double gy[4] = {};
  EXPECT_EQ(QUORVA_MC_2DMATRIX_Get(board_, &axes[0], &axes[1], starts, pitches, counts, gx, gy), 2);
  EXPECT_EQ(axes[0], 4);
  EXPECT_EQ(axes[1], 5);
  EXPECT_DOUBLE_EQ(starts[0], 10);
  EXPECT_DOUBLE_EQ(starts[1], -20);
  EXPECT_DOUBLE_EQ(pitches[0], 0.5);
  EXPECT_DOUBLE_EQ(pitches[1], -0.25);
  EXPECT_EQ(counts[1], 2);
  EXPECT_DOUBLE_EQ(gx[2], -1.25);
  EXPECT_DOUBLE_EQ(gy[3], 4.57);
  EXPECT_EQ(
      QUORVA_MC_2DMATRIX_Get(board_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
      2);
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(MappingPath()).parent_path()))
    ++files;
  EXPECT_EQ(files, 1u) << "no temporary file is left behind";
}

// Point keys grow past three digits: "Mappoint_X1100_Y001".
TEST_F(MappingFile, GridsOfMoreThanAThousandPointsPerAxisReadBack) {
  MotionContext& c = LoadBoard();
  std::vector<double> dx(1200 * 2);
  for (std::size_t k = 0; k < dx.size(); ++k)
    dx[k] = static_cast<double>(k) / 100;
  SetGrid(board_, 0, 1, 0, 0, 1, 1, 1200, 2, dx, dx);
  ASSERT_EQ(c.gantryLoaded, 1);
  EXPECT_NE(test::ReadText(MappingPath()).find("\nMappoint_X1100_Y001= 22.01,22.01\n"),
            std::string::npos);
  EXPECT_DOUBLE_EQ(c.gantryTable[1100 * 2 + 1].x, 22.01);
}

TEST_F(MappingFile, EnablingNeedsALoadedTable) {
  LoadBoard();
  int enabled = -1;
  EXPECT_EQ(QUORVA_MC_2DMATRIX_SetEnable(board_, 1), 0);
  EXPECT_EQ(QUORVA_MC_2DMATRIX_GetEnable(board_, &enabled), 1);
  EXPECT_EQ(enabled, 0);
  SetGrid(board_, 0, 1, 0, 0, 1, 1, 1, 1, {0}, {0});
  EXPECT_EQ(QUORVA_MC_2DMATRIX_SetEnable(board_, 7), 1);
  EXPECT_EQ(QUORVA_MC_2DMATRIX_GetEnable(board_, &enabled), 1);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(QUORVA_MC_2DMATRIX_Reset(board_), 1);
  EXPECT_EQ(QUORVA_MC_2DMATRIX_GetEnable(board_, &enabled), 1);
  EXPECT_EQ(enabled, 0);
  EXPECT_EQ(QUORVA_MC_2DMATRIX_GetEnable(board_, nullptr), 1);
  const QUORVA_HANDLE analog = Load(0xA101);
  EXPECT_EQ(QUORVA_MC_2DMATRIX_Reset(analog), 0);
  EXPECT_EQ(QUORVA_MC_2DMATRIX_SetEnable(analog, 1), 0);
  EXPECT_EQ(QUORVA_MC_2DMATRIX_GetEnable(analog, &enabled), 0);
  EXPECT_EQ(
      QUORVA_MC_2DMATRIX_Get(analog, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
      0);
}

TEST_F(MappingFile, ReloadFollowsTheFileOnlyForALoadedTableOfThisInstance) {
  MotionContext& c = LoadBoard();
  WriteMappingText(kTwoByTwo);
  QUORVA_MC_2DMATRIX_Reload(board_);
  EXPECT_EQ(c.gantryLoaded, 0) << "nothing is read while no table is loaded";
  SetGrid(board_, 0, 1, 0, 0, 1, 1, 1, 1, {5}, {6});
  QUORVA_MC_2DMATRIX_SetEnable(board_, 1);
  WriteMappingText(Replace(kTwoByTwo, "Instance = 0", "Instance = 1"));
  QUORVA_MC_2DMATRIX_Reload(board_);
  EXPECT_EQ(c.gantryEnabled, 1) << "another instance's file leaves the table alone";
  EXPECT_DOUBLE_EQ(c.gantryTable[0].x, 5);
  WriteMappingText(kTwoByTwo);
  QUORVA_MC_2DMATRIX_Reload(board_);
  EXPECT_EQ(c.gantryEnabled, 1) << "a reload keeps the enable state";
  EXPECT_EQ(c.gantryAxisX, 2);
  EXPECT_EQ(c.gantryTable.size(), 4u);
  WriteMappingText(Replace(kTwoByTwo, "UnitDist = 100.00", "UnitDist = 7\nUnitDist = 3"));
  c.gantryLoaded = 1;
  QUORVA_MC_2DMATRIX_Reload(board_);
  EXPECT_DOUBLE_EQ(c.unitDistance[2], 7) << "the first occurrence wins";
  WriteMappingText(Replace(kTwoByTwo, "Mappoint_X001_Y001", "Mappoint_X001_Y002"));
  QUORVA_MC_2DMATRIX_Reload(board_);
  EXPECT_EQ(c.gantryLoaded, 0);
  EXPECT_EQ(c.gantryEnabled, 0);
  EXPECT_DOUBLE_EQ(c.unitDistance[2], 7) << "a failed read changes no setting";
}

TEST_F(MappingFile, SetRefusesArgumentsTheFileCannotHold) {
  MotionContext& c = LoadBoard();
  SetGrid(board_, 0, 1, 0, 0, 1, 1, 1, 1, {5}, {6});
  const std::string before = test::ReadText(MappingPath());
  const double starts[2] = {};
  const double pitches[2] = {1, 1};
  const int tooMany[2] = {1001, 1000};
  const int negative[2] = {-2, -2};
  const int one[2] = {1, 1};
  const double values[1] = {};
  QUORVA_MC_2DMATRIX_Set(board_, 0, 1, starts, pitches, tooMany, values, values);
  QUORVA_MC_2DMATRIX_Set(board_, 0, 1, starts, pitches, negative, values, values);
  QUORVA_MC_2DMATRIX_Set(board_, 0, 8, starts, pitches, one, values, values);
  QUORVA_MC_2DMATRIX_Set(board_, 0, 1, starts, pitches, one, nullptr, values);
  QUORVA_MC_2DMATRIX_Set(board_, 0, 1, nullptr, pitches, one, values, values);
  EXPECT_EQ(test::ReadText(MappingPath()), before);
  EXPECT_EQ(c.gantryLoaded, 1);
  EXPECT_DOUBLE_EQ(c.gantryTable[0].y, 6);
}

TEST_F(MappingFile, AReplaceThatFailsKeepsTheOldTable) {
  MotionContext& c = LoadBoard();
  SetGrid(board_, 0, 1, 0, 0, 1, 1, 1, 1, {5}, {6});
  // The mapping path now names a directory: the new text cannot replace it.
  std::filesystem::remove(MappingPath());
  std::filesystem::create_directories(MappingPath() + "/inside");
  SetGrid(board_, 2, 3, 0, 0, 1, 1, 1, 1, {7}, {8});
  EXPECT_EQ(c.gantryAxisX, 0);
  EXPECT_DOUBLE_EQ(c.gantryTable[0].x, 5);
  EXPECT_TRUE(std::filesystem::is_directory(MappingPath() + "/inside"));
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(MappingPath()).parent_path()))
    ++files;
  EXPECT_EQ(files, 1u) << "the temporary file is removed";
}

#if defined(__linux__)
// A write that fails halfway (the file size limit is reached) leaves the old file whole.
TEST_F(MappingFile, AWriteThatFailsHalfwayKeepsTheOldFileAndTable) {
  MotionContext& c = LoadBoard();
  SetGrid(board_, 0, 1, 0, 0, 1, 1, 1, 1, {5}, {6});
  const std::string before = test::ReadText(MappingPath());
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::vector<double> zeros(100 * 100, 0.0);
  SetGrid(board_, 2, 3, 0, 0, 1, 1, 100, 100, zeros, zeros);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(test::ReadText(MappingPath()), before);
  EXPECT_EQ(c.gantryLoaded, 1);
  EXPECT_EQ(c.gantryAxisX, 0);
  EXPECT_EQ(c.gantryTable.size(), 1u);
}
#endif

}  // namespace
}  // namespace quorva
