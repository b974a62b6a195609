#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <utility>

#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva {
namespace {

using Values = std::vector<int>;
using Bits = std::map<int, std::uint32_t>;  // state word key -> bits

// State words an I/O setting may live in: axis registers 28-30, the cached mode (key 7), and
// the board double-words of both axis groups (key 1000 × space + offset).
constexpr int kModeKey = 7;
int WordKey(int space, int offset) {
  return 1000 * space + offset;
}
int SpaceOf(int axis) {
  return axis < 4 ? 1 : 3;
}
int GroupOf(int axis) {
  return axis % 4;
}
std::vector<int> BoardWordOffsets() {
  return {4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15};
}

class MechanicalIo : public test::MotionBoardTest {
 protected:
  void Randomize(int axis, std::mt19937& rng) {
    for (int reg : {28, 29, 30})
      QUORVA_SIM_SetAxisRegister(0, axis, reg, rng());
    context_->modeRegCache[axis] = rng();
    for (int space : {1, 3}) {
      for (int offset : BoardWordOffsets())
        QUORVA_SIM_SetBoardWord(0, QUORVA_SIM_SPACE_IO, space, offset, rng());
    }
  }
  Bits Snapshot(int axis) const {
    Bits s;
    for (int reg : {28, 29, 30})
      QUORVA_SIM_GetAxisRegister(0, axis, reg, &s[reg]);
    s[kModeKey] = context_->modeRegCache[axis];
    for (int space : {1, 3}) {
      for (int offset : BoardWordOffsets())
        QUORVA_SIM_GetBoardWord(0, QUORVA_SIM_SPACE_IO, space, offset, &s[WordKey(space, offset)]);
    }
    return s;
  }
  static std::uint32_t Word(int space, int offset) {
    std::uint32_t value = 0;
    QUORVA_SIM_GetBoardWord(0, QUORVA_SIM_SPACE_IO, space, offset, &value);
    return value;
  }
};

struct SettingPair {
  const char* name;
  std::function<void(QUORVA_HANDLE, int, const Values&)> set;
  std::function<Values(QUORVA_HANDLE, int)> get;
  std::function<Bits(int axis)> owned;
  std::vector<std::pair<Values, Values>> cases;  // setter arguments -> getter results
};

Bits Env1(std::uint32_t bits) {
  return {{28, bits}};
}

std::vector<SettingPair> AllPairs() {
  using H = QUORVA_HANDLE;
  return {
      {"ALM",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgALM(h, a, v[0], v[1]); },
       [](H h, int a) {
         int x = -1, y = -1;
         QUORVA_MC_GetMioCfgALM(h, a, &x, &y);
         return Values{x, y};
       },
       [](int) { return Env1(0x300); },
       {{{1, 0}, {1, 0}}, {{0, 1}, {0, 1}}, {{3, 2}, {1, 0}}, {{-1, -1}, {1, 1}}}},
      {"EL",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgEL(h, a, v[0]); },
       [](H h, int a) {
         int x = -1;
         QUORVA_MC_GetMioCfgEL(h, a, &x);
         return Values{x};
       },
       [](int) { return Env1(0x8); },
       {{{1}, {1}}, {{0}, {0}}, {{2}, {0}}, {{-1}, {1}}}},
      {"INP",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgINP(h, a, v[0], v[1]); },
       [](H h, int a) {
         int x = -1, y = -1;
         QUORVA_MC_GetMioCfgINP(h, a, &x, &y);
         return Values{x, y};
       },
       [](int) {
         return Bits{{28, 1u << 22}, {kModeKey, 1u << 9}};
       },
       {{{5, 1}, {1, 1}}, {{0, 0}, {0, 0}}, {{-1, 2}, {1, 0}}, {{0, 3}, {0, 1}}}},
      {"ERC",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgERC(h, a, v[0], v[1]); },
       [](H h, int a) {
         int x = -1, y = -1;
         QUORVA_MC_GetMioCfgERC(h, a, &x, &y);
         return Values{x, y};
       },
       [](int) { return Env1(0xF000); },
       {{{1, 5}, {1, 5}}, {{0, 9}, {0, 1}}, {{3, 7}, {1, 7}}, {{0, 0}, {0, 0}}}},
      {"SD",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgSD(h, a, v[0], v[1], v[2], v[3]); },
       [](H h, int a) {
         int w = -1, x = -1, y = -1, z = -1;
         QUORVA_MC_GetMioCfgSD(h, a, &w, &x, &y, &z);
         return Values{w, x, y, z};
       },
       [](int) {
         return Bits{{28, 0x70}, {kModeKey, 0x100}};
       },
       {{{1, 1, 0, 1}, {1, 1, 0, 1}},
        {{0, 0, 1, 0}, {0, 0, 1, 0}},
        {{-2, 3, 3, 3}, {1, 1, 1, 1}},
        {{0, 0, 0, 0}, {0, 0, 0, 0}}}},
      {"DR",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgDR(h, a, v[0]); },
       [](H h, int a) {
         int x = -1;
         QUORVA_MC_GetMioCfgDR(h, a, &x);
         return Values{x};
       },
       [](int) { return Env1(1u << 25); },
       {{{1}, {1}}, {{-1}, {0}}, {{7}, {1}}, {{0}, {0}}}},
      {"CLR",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgCLR(h, a, v[0], v[1]); },
       [](H h, int a) {
         int x = -1, y = -1;
         QUORVA_MC_GetMioCfgCLR(h, a, &x, &y);
         return Values{x, y};
       },
       [](int) {
         return Bits{{28, 0x3u << 20}, {30, 0xFu << 16}};
       },
       {{{15, 3}, {15, 3}}, {{0x12, 5}, {2, 1}}, {{0, 0}, {0, 0}}}},
      {"STA",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgSTA(h, a, v[0], v[1]); },
       [](H h, int a) {
         int x = -1, y = -1;
         QUORVA_MC_GetMioCfgSTA(h, a, &x, &y);
         return Values{x, y};
       },
       [](int) {
         return Bits{{28, 1u << 18}, {kModeKey, 1u << 18}};
       },
       {{{5, 0}, {1, 0}}, {{-3, 1}, {0, 1}}, {{1, -9}, {1, 1}}, {{0, 0}, {0, 0}}}},
      {"STP",
       [](H h, int a, const Values& v) { QUORVA_MC_SetMioCfgSTP(h, a, v[0]); },
       [](H h, int a) {
         int x = -1;
         QUORVA_MC_GetMioCfgSTP(h, a, &x);
         return Values{x};
       },
       [](int) {
         return Bits{{28, 1u << 19}, {kModeKey, 1u << 24}};
       },
       {{{2}, {2}}, {{1}, {1}}, {{0}, {0}}, {{-5}, {2}}}},
      {"Filter",
       [](H h, int a, const Values& v) { QUORVA_MC_SetFilterLogic(h, a, v[0]); },
       [](H h, int a) {
         int x = -1;
         QUORVA_MC_GetFilterLogic(h, a, &x);
         return Values{x};
       },
       [](int) { return Env1(0x3u << 26); },
       {{{1}, {1}}, {{0}, {0}}, {{-4}, {1}}}},
      {"OutputMask",
       [](H h, int a, const Values& v) { QUORVA_MC_SetOutputMask(h, a, v[0]); },
       [](H h, int a) { return Values{QUORVA_MC_GetOutputMask(h, a)}; },
       [](int) {
         return Bits{{29, 1u << 28}};
       },
       {{{1}, {1}}, {{2}, {0}}, {{3}, {1}}}},
      {"CMP",
       [](H h, int a, const Values& v) {
         QUORVA_MC_SetMioCfgCMP(h, a, static_cast<unsigned>(v[0]), v[1]);
       },
       [](H h, int a) {
         unsigned w = 7;
         int l = -1;
         QUORVA_MC_GetMioCfgCMP(h, a, &w, &l);
         return Values{static_cast<int>(w), l};
       },
       [](int a) {
         return Bits{{WordKey(SpaceOf(a), 6), 0x3u << (2 * GroupOf(a))},
                     {WordKey(SpaceOf(a), 8 + GroupOf(a)), 0xFFFFFFFFu}};
       },
       {{{100, 1}, {100, 1}},
        {{100, 0}, {100, 0}},
        {{0, 1}, {0, 1}},
        {{0, -3}, {0, 0}},
        {{0xFFFF, 5}, {0xFFFF, 1}}}},
      {"ELL",
       [](H h, int a, const Values& v) { QUORVA_MC_SetELL(h, a, v[0]); },
       [](H h, int a) {
         int x = -1;
         QUORVA_MC_GetELL(h, a, &x);
         return Values{x};
       },
       [](int a) {
         return Bits{{WordKey(SpaceOf(a), 4), 1u << GroupOf(a)}};
       },
       {{{1}, {1}}, {{0}, {0}}, {{-7}, {1}}}},
      {"PE",
       [](H h, int a, const Values& v) { QUORVA_MC_SetPE(h, a, v[0]); },
       [](H h, int a) {
         int x = -1;
         QUORVA_MC_GetPE(h, a, &x);
         return Values{x};
       },
       [](int a) {
         return Bits{{WordKey(SpaceOf(a), 5), 1u << GroupOf(a)}};
       },
       {{{1}, {1}}, {{0}, {0}}, {{9}, {1}}}},
  };
}

TEST_F(MechanicalIo, EverySettingRoundTripsAndLeavesTheOtherBitsAlone) {
  std::mt19937 rng(51);
  for (const SettingPair& pair : AllPairs()) {
    for (int axis : {1, 6}) {
      const Bits owned = pair.owned(axis);
      for (const auto& [args, expected] : pair.cases) {
        for (int round = 0; round < 8; ++round) {
          SCOPED_TRACE(::testing::Message() << pair.name << " axis " << axis << " round " << round
                                            << " first argument " << args[0]);
          Randomize(axis, rng);
          const Bits before = Snapshot(axis);
          pair.set(board_, axis, args);
          const Bits after = Snapshot(axis);
          for (const auto& [key, value] : before) {
            const auto mine = owned.find(key);
            const std::uint32_t allowed = mine == owned.end() ? 0 : mine->second;
            EXPECT_EQ((value ^ after.at(key)) & ~allowed, 0u) << "word " << key;
          }
          EXPECT_EQ(pair.get(board_, axis), expected);
        }
      }
    }
  }
}

TEST_F(MechanicalIo, SignalStatusIsComposedBitByBit) {
  // Result bit of each extended-status bit and of each signal-status bit; -1: not reported.
  std::map<int, int> fromExtended = {{4, 5},   {8, 7},   {9, 8},   {10, 9},  {13, 10}, {14, 11},
                                     {15, 12}, {16, 13}, {11, 14}, {12, 15}, {5, 16},  {6, 17}};
  std::map<int, int> fromSignal = {{11, 1}, {12, 2}, {13, 3}, {14, 4}};
  const int axis = 3;
  const std::uint32_t ready = 1u << 1;  // result bit 0 is set while the signal bit 1 is clear
  for (int bit = 0; bit < 32; ++bit) {
    SCOPED_TRACE(bit);
    QUORVA_SIM_SetAxisRegister(0, axis, 28, 0);
    QUORVA_SIM_SetMainStatus(0, axis, 1, ready);
    QUORVA_SIM_SetAxisRegister(0, axis, 49, 1u << bit);
    const auto e = fromExtended.find(bit);
    EXPECT_EQ(QUORVA_MC_GetMioStatus(board_, axis), e == fromExtended.end() ? 0 : 1 << e->second);

    QUORVA_SIM_SetAxisRegister(0, axis, 49, 0);
    QUORVA_SIM_SetMainStatus(0, axis, 1, ready | 1u << bit);
    const auto s = fromSignal.find(bit);
    EXPECT_EQ(QUORVA_MC_GetMioStatus(board_, axis), s == fromSignal.end() ? 0 : 1 << s->second);
  }
  QUORVA_SIM_SetMainStatus(0, axis, 1, 0);
  EXPECT_EQ(QUORVA_MC_GetMioStatus(board_, axis), 1);

  // Environment bit 5 takes result bit 12 from signal bit 15 instead of extended bit 15.
  QUORVA_SIM_SetAxisRegister(0, axis, 28, 1u << 5);
  QUORVA_SIM_SetMainStatus(0, axis, 1, ready | 1u << 15);
  QUORVA_SIM_SetAxisRegister(0, axis, 49, 0);
  EXPECT_EQ(QUORVA_MC_GetMioStatus(board_, axis), 1 << 12);
  QUORVA_SIM_SetMainStatus(0, axis, 1, ready);
  QUORVA_SIM_SetAxisRegister(0, axis, 49, 1u << 15);
  EXPECT_EQ(QUORVA_MC_GetMioStatus(board_, axis), 0);

  test::ClearLog();
  QUORVA_MC_GetMioStatus(board_, axis);
  EXPECT_REQUESTS({"630(3, 49, *)", "640(3, 1, *)", "630(3, 28, *)"});
}

TEST_F(MechanicalIo, MotionStatusAndServoState) {
  QUORVA_SIM_SetAxisRegister(0, 2, 49, 0x12345);
  EXPECT_EQ(QUORVA_MC_GetMotionStatus(board_, 2), 5);
  QUORVA_SIM_SetMainStatus(0, 2, 1, 0xFFFFFFFE);
  EXPECT_EQ(QUORVA_MC_GetServoOn(board_, 2), 1);
  QUORVA_SIM_SetMainStatus(0, 2, 1, 1);
  EXPECT_EQ(QUORVA_MC_GetServoOn(board_, 2), 0);
  EXPECT_EQ(QUORVA_MC_GetMotionStatus(board_, 8), 0) << "no such axis";
  QUORVA_SIM_SetMainStatus(0, 2, 1, 0);
  const QUORVA_HANDLE daq = Load(0xA101);
  for (auto [handle, axis] : {std::pair{board_, 8}, std::pair{board_, -1}, std::pair{daq, 2}}) {
    EXPECT_EQ(QUORVA_MC_GetServoOn(handle, axis), 0) << "no servo without the axis";
    EXPECT_EQ(QUORVA_MC_GetMioStatus(handle, axis), 0);
  }
}

TEST_F(MechanicalIo, StopInputKeepsItsKindBitWhenSwitchedOff) {
  QUORVA_MC_SetMioCfgSTP(board_, 0, 2);
  EXPECT_NE(context_->modeRegCache[0] & 1u << 24, 0u);
  EXPECT_NE(Reg(0, 28) & 1u << 19, 0u);
  test::ClearLog();
  QUORVA_MC_SetMioCfgSTP(board_, 0, 0);
  EXPECT_REQUESTS({"610(0, 7, 0x1000)"});  // register 28 untouched
  EXPECT_NE(Reg(0, 28) & 1u << 19, 0u);
  int kind = -1;
  QUORVA_MC_GetMioCfgSTP(board_, 0, &kind);
  EXPECT_EQ(kind, 0);
}

TEST_F(MechanicalIo, StartInputLimitsAxisAndMode) {
  QUORVA_MC_SetMioCfgSTA(board_, 9, 1, 1);
  EXPECT_NE(context_->modeRegCache[7] & 1u << 18, 0u);
  EXPECT_NE(Reg(7, 28) & 1u << 18, 0u);
  int mode = -1;
  int type = -1;
  QUORVA_MC_GetMioCfgSTA(board_, 12, &mode, &type);
  EXPECT_EQ(mode, 1);
  EXPECT_EQ(type, 1);
}

TEST_F(MechanicalIo, FilterReportsBitTwentySixOnly) {
  QUORVA_SIM_SetAxisRegister(0, 0, 28, 1u << 27);
  int on = -1;
  QUORVA_MC_GetFilterLogic(board_, 0, &on);
  EXPECT_EQ(on, 0);
}

TEST_F(MechanicalIo, NullOutPointersAreSkippedEverywhere) {
  QUORVA_MC_SetMioCfgCLR(board_, 0, 5, 2);
  int second = -1;
  QUORVA_MC_GetMioCfgCLR(board_, 0, nullptr, &second);
  EXPECT_EQ(second, 2);
  QUORVA_MC_GetMioCfgCLR(board_, 0, nullptr, nullptr);
  QUORVA_MC_GetMioCfgDR(board_, 0, nullptr);
  QUORVA_MC_GetMioCfgSD(board_, 0, nullptr, nullptr, nullptr, nullptr);
  QUORVA_MC_GetMioCfgCMP(board_, 0, nullptr, nullptr);
  QUORVA_MC_GetELL(board_, 0, nullptr);
  QUORVA_MC_GetPE(board_, 0, nullptr);
  QUORVA_MC_GetMioCfgSTP(board_, 0, nullptr);
  EXPECT_EQ(QUORVA_MC_GetMioProperty(board_, 0, 31, nullptr), 0);
}

TEST_F(MechanicalIo, CompareOutputWordsOfTheSecondGroup) {
  QUORVA_MC_SetMioCfgCMP(board_, 5, 100, 1);
  EXPECT_REQUESTS({"17(3, 6, *)", "16(3, 6, 0x4)", "16(3, 9, 100)"});
  unsigned width = 0;
  int logic = -1;
  QUORVA_MC_GetMioCfgCMP(board_, 5, &width, &logic);
  EXPECT_EQ(width, 100u);
  EXPECT_EQ(logic, 1);

  test::ClearLog();
  EXPECT_EQ(QUORVA_MC_SetMioCfgCMP2(board_, 6, 0x13, 2), 1);
  EXPECT_REQUESTS({"16(3, 14, 1)", "16(3, 14, 0)", "16(3, 14, 0x206)"});
}

TEST_F(MechanicalIo, PulseEnableClearsItsBitWhenOn) {
  QUORVA_SIM_SetBoardWord(0, QUORVA_SIM_SPACE_IO, 1, 5, 0xFF);
  QUORVA_MC_SetPE(board_, 2, 1);
  EXPECT_EQ(Word(1, 5), 0xFBu);
  int on = -1;
  QUORVA_MC_GetPE(board_, 2, &on);
  EXPECT_EQ(on, 1);
}

TEST_F(MechanicalIo, BoardWordsNeedAMotionBoardAndAnAxisThatHasThem) {
  QUORVA_HANDLE daq = QUORVA_LoadDevice(0xA101, 0);
  ASSERT_NE(daq, QUORVA_INVALID_HANDLE);
  test::ClearLog();
  int on = -1;
  for (int axis : {-1, 8, -100000}) {
    QUORVA_MC_SetELL(board_, axis, 1);
    QUORVA_MC_GetELL(board_, axis, &on);
    QUORVA_MC_SetPE(board_, axis, 1);
    QUORVA_MC_GetPE(board_, axis, &on);
    QUORVA_MC_SetMioCfgCMP(board_, axis, 10, 1);
    EXPECT_EQ(QUORVA_MC_SetMioCfgCMP2(board_, axis, 1, 1), 0);
  }
  QUORVA_MC_GetELL(daq, 0, &on);
  QUORVA_MC_GetPE(daq, 0, &on);
  EXPECT_EQ(QUORVA_MC_SetMioCfgCMP2(daq, 0, 1, 1), 0);
  EXPECT_EQ(on, -1);
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(MechanicalIo, SelfDescribedBoardTakesLimitLogicAndPulseEnableAsCommands) {
  UseBoards("A534");
  QUORVA_HANDLE board = Load(0xA534);
  QUORVA_MC_SetELL(board, 1, 1);
  QUORVA_MC_SetELL(board, 1, 0);
  QUORVA_MC_SetPE(board, 1, 1);
  QUORVA_MC_SetPE(board, 1, 0);
  QUORVA_MC_SetMioCfgCMP(board, 1, 100, 1);
  unsigned width = 7;
  QUORVA_MC_GetMioCfgCMP(board, 1, &width, nullptr);
  int on = -1;
  QUORVA_MC_GetELL(board, 1, &on);
  EXPECT_REQUESTS(
      {"620(1, 0, 27)", "620(1, 0, 19)", "620(1, 0, 18)", "620(1, 0, 26)", "17(1, 4, *)"});
  EXPECT_EQ(width, 7u) << "no compare-output words on this board";
}

TEST_F(MechanicalIo, ServoAndDeviationClearCommands) {
  QUORVA_MC_ServoOn(board_, 0, 1);
  QUORVA_MC_ServoOn(board_, 0, 0);
  EXPECT_EQ(QUORVA_MC_ErcOut(board_, 0), 1);
  EXPECT_EQ(QUORVA_MC_ErcReset(board_, 0), 1);
  EXPECT_EQ(QUORVA_MC_ErcOut(board_, 8), 0);
  EXPECT_REQUESTS({"620(0, 0, 16)", "620(0, 0, 24)", "620(0, 0, 36)", "620(0, 0, 37)"});
}

TEST_F(MechanicalIo, OnlyPropertyThirtyOneIsKept) {
  EXPECT_EQ(QUORVA_MC_SetMioProperty(board_, 0, 30, 1), 0);
  EXPECT_EQ(context_->mioProperty[0], 0u);
  EXPECT_EQ(QUORVA_MC_SetMioProperty(board_, 0, 31, 5), 1);
  EXPECT_EQ(context_->mioProperty[0], 1u);
  int value = -1;
  EXPECT_EQ(QUORVA_MC_GetMioProperty(board_, 0, 31, &value), 1);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(QUORVA_MC_SetMioProperty(board_, 0, 31, 0), 1);
  EXPECT_EQ(context_->mioProperty[0], 0u);
  EXPECT_EQ(QUORVA_MC_SetMioProperty(board_, 8, 31, 1), 0);
}

}  // namespace
}  // namespace quorva
