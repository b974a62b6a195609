// The quorva tool's subcommands on the simulator: what they print, what they move, and one
// clear line with a nonzero status for whatever is wrong.
#include <fstream>

#include "tool_run.h"

namespace quorva {
namespace {

using test::Contains;
using test::RunQuorva;
using test::TempPath;

class ToolCommands : public test::SimTest {};

TEST_F(ToolCommands, WrongCommandLinesFailWithOneLineAndStatusTwo) {
  const struct {
    std::vector<std::string> words;
    const char* message;
  } cases[] = {
      {{}, "usage: quorva COMMAND"},
      {{"fly"}, "unknown command 'fly'"},
      {{"move", "A508", "0"}, "missing DISTANCE"},
      {{"move", "A508", "8", "1"}, "axis 8 is not one of 0-7"},
      {{"move", "A508", "0", "ten"}, "DISTANCE: not a number: ten"},
      {{"move", "A508", "0", "1", "--speed", "-5"}, "speed must be above 0"},
      {{"move", "A508", "0", "1", "--speed"}, "--speed needs SPEED"},
      {{"move", "A508", "0", "1", "--fast"}, "unknown option --fast"},
      {{"move", "A508", "0", "1", "2"}, "unexpected argument 2"},
      {{"move", "Z508", "0", "1"}, "not a DeviceId"},
      {{"read", "A508", "0", "64"}, "REG is a register number 0-63"},
      {{"jog", "A508", "0", "up"}, "DIRECTION is + or -"},
      {{"status", "A508", "--axes", "0,0"}, "axis 0 is listed twice"},
  };
  for (const auto& c : cases) {
    const test::ToolRun run = RunQuorva(c.words);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
}

TEST_F(ToolCommands, FailuresOfTheRunAreStatusOne) {
  const test::ToolRun missing = RunQuorva({"info", "A534"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "quorva info: no board A534 instance 0 on the simulator\n");
  const test::ToolRun tooFast = RunQuorva({"move", "A508", "0", "1", "--speed", "100000"});
  EXPECT_EQ(tooFast.status, 1);
  EXPECT_TRUE(Contains(tooFast.err, "do not fit the board's")) << tooFast.err;
  EXPECT_EQ(RunQuorva({"trace", TempPath("none.dbg")}).status, 1);
}

TEST_F(ToolCommands, HelpOfEveryCommandNamesItsUsageAndOptions) {
  const test::ToolRun overview = RunQuorva({"--help"});
  EXPECT_EQ(overview.status, 0);
  for (const cli::Command* command : cli::Commands()) {
    EXPECT_TRUE(Contains(overview.out, std::string("  ") + command->name)) << command->name;
    const test::ToolRun help = RunQuorva({command->name, "--help"});
    EXPECT_EQ(help.status, 0) << command->name;
    EXPECT_TRUE(Contains(help.out, std::string("usage: quorva ") + command->name)) << help.out;
    EXPECT_TRUE(Contains(help.out, "--help")) << help.out;
  }
}

TEST_F(ToolCommands, ListAndInfoDescribeTheSimulatedBoards) {
  const test::ToolRun list = RunQuorva({"list"});
  EXPECT_EQ(list.status, 0);
  EXPECT_TRUE(Contains(list.out, "A101:0")) << list.out;
  EXPECT_TRUE(Contains(list.out, "A508:0")) << list.out;
  EXPECT_TRUE(Contains(list.out, "2 boards, simulated")) << list.out;
  const test::ToolRun info = RunQuorva({"info", "a508:0"});
  EXPECT_EQ(info.status, 0);
  EXPECT_TRUE(Contains(info.out, "DeviceId      0xA508, instance 0")) << info.out;
  EXPECT_TRUE(Contains(info.out, "axes          8")) << info.out;
  EXPECT_TRUE(Contains(info.out, "controller    version 1")) << info.out;
}

TEST_F(ToolCommands, MovesEndWhereTheyWereToldInUserUnits) {
  const test::ToolRun move = RunQuorva({"move", "A508", "3", "-12.5"});
  EXPECT_EQ(move.status, 0) << move.err;
  EXPECT_EQ(move.out, "axis 3 at -12.500 mm\n");
  const test::ToolRun moveTo =
      RunQuorva({"moveto", "A508", "7", "40", "--scale", "200", "--unit", "deg"});
  EXPECT_EQ(moveTo.out, "axis 7 at 40.000 deg\n");
  int count = 0;
  QUORVA_HANDLE board = QUORVA_LoadDevice(0xA508, 0);
  count = QUORVA_MC_GetCount_C(board, 7);
  QUORVA_UnloadDevice(board);
  EXPECT_EQ(count, 8000) << "40 deg of 200 pulses";
}

TEST_F(ToolCommands, JogRunsUntilItsTimeAndStopsDecelerating) {
  const test::ToolRun jog = RunQuorva({"jog", "A508", "1", "-", "--for", "0.5", "--speed", "10",
                                       "--accel", "100", "--decel", "100"});
  EXPECT_EQ(jog.status, 0) << jog.err;
  // Ramps of 0.09 s from and to 1 mm/s, 10 mm/s in between until the stop 0.5 s after the
  // start: about 5.1 mm back.
  double position = 0;
  ASSERT_EQ(std::sscanf(jog.out.c_str(), "axis 1 at %lf mm", &position), 1) << jog.out;
  EXPECT_NEAR(position, -5.1, 0.1);
}

TEST_F(ToolCommands, HomeFindsTheSwitchOrTheLimitOfItsMode) {
  const struct {
    std::vector<std::string> words;
    const char* out;
  } cases[] = {
      {{"home", "A508", "0", "--sim-switch", "-25"}, "axis 0 found home at -25.000 mm\n"},
      {{"home", "A508", "0", "+", "--sim-switch", "12.5"}, "axis 0 found home at 12.500 mm\n"},
      {{"home", "A508", "1", "--sim-switch", "-30", "--mode", "7"},
       "axis 1 found home at -30.000 mm\n"},
      {{"home", "A508", "2", "--sim-switch", "-8", "--auto", "--offset", "2"},
       "axis 2 homed, now at 0.000 mm\n"},
  };
  for (const auto& c : cases) {
    const test::ToolRun run = RunQuorva(c.words);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.out);
  }
  const test::ToolRun noSwitch = RunQuorva({"home", "A508", "0"});
  EXPECT_EQ(noSwitch.status, 2);
  EXPECT_TRUE(Contains(noSwitch.err, "give --sim-switch POSITION")) << noSwitch.err;
}

TEST_F(ToolCommands, StatusWatchPrintsOneTimedTablePerRefreshWhenPiped) {
  const test::ToolRun status =
      RunQuorva({"status", "A508", "--watch", "--count", "3", "--axes", "0,5"});
  EXPECT_EQ(status.status, 0);
  std::istringstream lines(status.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);)
    rows.push_back(line);
  ASSERT_EQ(rows.size(), 7u) << status.out;  // a header and two rows per refresh
  EXPECT_TRUE(Contains(rows[0], "time")) << rows[0];
  EXPECT_EQ(rows[5].rfind("  0.4", 0), 0u) << "0.2 s apart: " << rows[5];
  EXPECT_TRUE(Contains(rows[5], "     0  axis 0")) << rows[5];
  EXPECT_TRUE(Contains(rows[6], "idle     -        -     -")) << rows[6];
}

TEST_F(ToolCommands, WatchOnATerminalRedrawsTheTableInPlace) {
  const test::ToolRun watch = RunQuorva({"move", "A508", "0", "2", "--watch"}, true);
  EXPECT_EQ(watch.status, 0);
  EXPECT_TRUE(Contains(watch.out, "\x1b[2A")) << "cursor up over the header and the row";
  EXPECT_FALSE(Contains(watch.out, "   time")) << "no time column on a terminal";
}

TEST_F(ToolCommands, SettingsFileGivesEveryAxisItsUnitsAndOptionsOverrideIt) {
  const std::string path = TempPath("axes.ini");
  std::ofstream(path) << "[axes]\nscale = 100 ; pulses per mm\nspeed = 20\n"
                         "[axis 2]\nname = Z\nunit = in\nscale = 2540\n";
  EXPECT_EQ(RunQuorva({"move", "A508", "0", "3", "--settings", path}).out, "axis 0 at 3.000 mm\n");
  EXPECT_EQ(RunQuorva({"move", "A508", "2", "1", "--settings", path}).out, "Z at 1.000 in\n");
  const test::ToolRun overridden =
      RunQuorva({"move", "A508", "2", "1", "--settings", path, "--unit", "um"});
  EXPECT_EQ(overridden.out, "Z at 1.000 um\n");

  std::ofstream(path) << "[axes]\nspeed = 20\n\n[axis 1]\nacceleration = 5\n";
  const test::ToolRun wrong = RunQuorva({"move", "A508", "1", "1", "--settings", path});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.err, "quorva move: " + path + ":5: unknown setting 'acceleration'\n");
}

TEST_F(ToolCommands, RegistersAreDecodedByName) {
  const test::ToolRun write = RunQuorva({"write", "A508", "2", "35", "0x0FFFFFFB"});
  EXPECT_EQ(write.status, 0) << write.err;
  EXPECT_TRUE(Contains(write.out, "R35  0x0FFFFFFB  command counter C")) << write.out;
  EXPECT_TRUE(Contains(write.out, " -5\n")) << "a 28-bit counter is signed: " << write.out;
  const test::ToolRun mode = RunQuorva({"write", "A508", "2", "7", "0x2041"});
  EXPECT_TRUE(Contains(mode.out, "operation=0x41 (relative positioning)  manual ramp-down=1"))
      << mode.out;
  EXPECT_FALSE(Contains(mode.out, "S-curve")) << "fields at 0 are left out";
  const test::ToolRun regs = RunQuorva({"regs", "A508", "0"});
  EXPECT_TRUE(Contains(regs.out, "MS1  0x00000000  signal status")) << regs.out;
  EXPECT_TRUE(Contains(regs.out, "R53  0x00000000  speed, steps")) << regs.out;
  EXPECT_FALSE(Contains(regs.out, "R13 ")) << "unnamed registers only with --all";
  EXPECT_TRUE(Contains(RunQuorva({"regs", "A508", "0", "--all"}).out, "R13 "));
}

TEST_F(ToolCommands, TraceShowsTheCallsOfAFunctionOrAnAxis) {
  const std::string path = TempPath("motion.dbg");
  QUORVA_HANDLE board = Load(0xA508);
  ASSERT_EQ(QUORVA_EnableDebugLog(board, path.c_str(), 1), 0);
  QUORVA_MC_SetSpeed(board, 1, 10, 500);
  QUORVA_MC_Move(board, 1, 100);
  QUORVA_MC_MoveTo(board, 2, -50);
  const int axes[] = {1, 3};
  const double distances[] = {5, 6};
  QUORVA_MC_MoveAll(board, 2, axes, distances);
  QUORVA_EnableDebugLog(board, path.c_str(), 0);
  std::ofstream(path, std::ios::app) << "not a call\n";

  const test::ToolRun all = RunQuorva({"trace", path});
  EXPECT_EQ(all.status, 0);
  EXPECT_TRUE(Contains(all.out, "QUORVA_MC_MoveTo             2, -50.000\n")) << all.out;
  EXPECT_TRUE(Contains(all.out, "?             not a call")) << all.out;
  EXPECT_EQ(all.err, "5 of 5 lines\n");

  const test::ToolRun axis1 = RunQuorva({"trace", path, "--axis", "1"});
  EXPECT_TRUE(Contains(axis1.out, "QUORVA_MC_SetSpeed")) << axis1.out;
  EXPECT_TRUE(Contains(axis1.out, "QUORVA_MC_MoveAll            2, [1,3], [5.000,6.000]"))
      << axis1.out;
  EXPECT_FALSE(Contains(axis1.out, "MoveTo")) << axis1.out;
  EXPECT_EQ(axis1.err, "3 of 5 lines\n");

  const test::ToolRun moves = RunQuorva({"trace", path, "--function", "MC_Move*"});
  EXPECT_EQ(moves.err, "3 of 5 lines\n");
  EXPECT_EQ(RunQuorva({"trace", path, "--function", "QUORVA_MC_Move"}).err, "1 of 5 lines\n");
}

}  // namespace
}  // namespace quorva
