// QUORVA_MC_InitFromFile: board configuration files written by the quorva tool, applied axis by
// axis through the setters; refused files change nothing.
#include <fstream>
#include <sstream>

#include "tool_run.h"

namespace quorva {
namespace {

using test::RunQuorva;
using test::TempPath;

std::string WriteBytes(const std::string& name, const std::string& bytes) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// The configuration file for `text`, written by `quorva config write`.
std::string ConfigFile(const std::string& text) {
  const std::string file = TempPath("board.cfg");
  const test::ToolRun run = RunQuorva({"config", "write", WriteBytes("board.txt", text), file});
  EXPECT_EQ(run.status, 0) << run.err;
  return file;
}

// The trace lines without their time stamps.
std::vector<std::string> TraceCalls(const std::string& path) {
  std::istringstream trace(test::ReadFile(path));
  std::vector<std::string> calls;
  for (std::string line; std::getline(trace, line);)
    calls.push_back(line.substr(line.find("  ") + 2));
  return calls;
}

class InitFromFile : public test::MotionBoardTest {};

TEST_F(InitFromFile, AppliesEachAxisThroughItsSettersInOrder) {
  const std::string file = ConfigFile(
      "[axis 7]\n"
      "output_mode = 4\ninput_mode = 6\nmax_speed = 655350\nunit_distance = 1000\n"
      "unit_speed = 0.1\nin_out_ratio = 2\nalm = 3\nsoft_limits = 1\nsoft_limit1 = -100\n"
      "soft_limit2 = 0.25\nel = 3\nfilter_logic = 1\n"
      "dr = 1\nsd1 = 3\nsd2 = 2\nsta = 1\nstp = 2\nclr1 = 5\nclr2 = 1\ncmp_width = 100.9\n"
      "cmp_logic = 1\ninp = 2\nltc = 2\n");
  const std::string trace = TempPath("init.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, trace.c_str(), 1), 0);
  ASSERT_EQ(QUORVA_MC_InitFromFile(board_, file.c_str()), 0);

  const std::vector<std::string> calls = TraceCalls(trace);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().rfind("QUORVA_MC_InitFromFile(0x", 0), 0u);
  EXPECT_NE(calls.front().find(", \"" + file + "\")"), std::string::npos) << calls.front();
  std::vector<std::string> axis7;
  for (const std::string& call : calls) {
    if (call.find(", 7") != std::string::npos) axis7.push_back(call.substr(0, call.find('(')));
  }
  EXPECT_EQ(
      axis7,
      (std::vector<std::string>{
          "QUORVA_MC_SetOutputMode",   "QUORVA_MC_SetInputMode",    "QUORVA_MC_SetUnitSpeed",
          "QUORVA_MC_SetSpeedRange",   "QUORVA_MC_SetUnitDistance", "QUORVA_MC_SetUnitSpeed",
          "QUORVA_MC_SetInOutRatio",   "QUORVA_MC_SetMioCfgALM",    "QUORVA_MC_SetSoftLimit",
          "QUORVA_MC_EnableSoftLimit", "QUORVA_MC_SetMioCfgEL",     "QUORVA_MC_SetELL",
          "QUORVA_MC_SetFilterLogic",  "QUORVA_MC_SetMioCfgDR",     "QUORVA_MC_SetMioCfgSD",
          "QUORVA_MC_SetMioCfgSTA",    "QUORVA_MC_SetMioCfgSTP",    "QUORVA_MC_SetMioCfgCLR",
          "QUORVA_MC_SetMioCfgCMP",    "QUORVA_MC_SetMioCfgINP",    "QUORVA_MC_SetMioCfgLTC"}));

  // The packed codes as the getters read them back from the registers.
  int a = -1, b = -1, c = -1, d = -1;
  EXPECT_EQ(QUORVA_MC_GetOutputMode(board_, 7), 4);
  QUORVA_MC_GetInputMode(board_, 7, &a, &b);
  EXPECT_EQ(std::pair(a, b), std::pair(2, 1)) << "input mode code 6";
  QUORVA_MC_GetMioCfgALM(board_, 7, &a, &b);
  EXPECT_EQ(std::pair(a, b), std::pair(1, 1)) << "ALM code 3";
  QUORVA_MC_GetMioCfgEL(board_, 7, &a);
  QUORVA_MC_GetELL(board_, 7, &b);
  EXPECT_EQ(std::pair(a, b), std::pair(1, 1)) << "EL code 3";
  QUORVA_MC_GetMioCfgSD(board_, 7, &a, &b, &c, &d);
  EXPECT_EQ(std::vector({a, b, c, d}), std::vector({1, 1, 1, 0})) << "SD codes 3 and 2";
  QUORVA_MC_GetMioCfgSTA(board_, 7, &a, &b);
  EXPECT_EQ(std::pair(a, b), std::pair(1, 0)) << "STA code 1";
  QUORVA_MC_GetMioCfgINP(board_, 7, &a, &b);
  EXPECT_EQ(std::pair(a, b), std::pair(1, 0)) << "INP code 2";
  QUORVA_MC_GetMioCfgLTC(board_, 7, &a, &b);
  EXPECT_EQ(std::pair(a, b), std::pair(0, 1)) << "LTC code 2";
  unsigned width = 0;
  QUORVA_MC_GetMioCfgCMP(board_, 7, &width, &a);
  EXPECT_EQ(std::pair(width, a), std::pair(100u, 1)) << "width truncated";
  EXPECT_EQ(QUORVA_MC_GetUnitDistance(board_, 7), 1000.0);
  EXPECT_EQ(QUORVA_MC_GetInOutRatio(board_, 7), 2.0);
  double limit1 = 0, limit2 = 0;
  QUORVA_MC_GetSoftLimit(board_, 7, &limit1, &limit2);
  EXPECT_EQ(std::pair(limit1, limit2), std::pair(-100000.0, 250.0)) << "pulses of 1000 per unit";
  EXPECT_EQ(QUORVA_MC_GetEnableSoftLimit(board_, 7), 1);
  // The range was taken in pulses per second, before the unit speed of 0.1.
  EXPECT_EQ(context_->speedResolution[7], 10.0);
  EXPECT_EQ(context_->maxSpeed[7], 655350.0);
  EXPECT_EQ(QUORVA_MC_GetUnitSpeed(board_, 7), 0.1);
  // Axis 0 had an empty section: every code 0, the unit settings 0 stand for 1.
  EXPECT_EQ(QUORVA_MC_GetUnitDistance(board_, 0), 1.0);
  QUORVA_MC_GetMioCfgSTA(board_, 0, &a, &b);
  EXPECT_EQ(std::pair(a, b), std::pair(0, 1)) << "STA code 0";
  EXPECT_EQ(QUORVA_MC_GetEnableSoftLimit(board_, 0), 0);
}

TEST_F(InitFromFile, OnlyTheBoardsAxesAreConfigured) {
  UseBoards("A504");
  QUORVA_HANDLE board = Load(0xA504);
  const std::string file = ConfigFile("[axis 3]\noutput_mode = 2\n[axis 4]\noutput_mode = 3\n");
  const std::string trace = TempPath("four.dbg");
  ASSERT_EQ(QUORVA_EnableDebugLog(board, trace.c_str(), 1), 0);
  ASSERT_EQ(QUORVA_MC_InitFromFile(board, file.c_str()), 0);
  EXPECT_EQ(QUORVA_MC_GetOutputMode(board, 3), 2);
  int outputModes = 0;
  for (const std::string& call : TraceCalls(trace))
    outputModes += call.rfind("QUORVA_MC_SetOutputMode(", 0) == 0 ? 1 : 0;
  EXPECT_EQ(outputModes, 4);
}

TEST_F(InitFromFile, RefusedCallsChangeNothing) {
  std::string whole = test::ReadFile(ConfigFile("[axis 0]\noutput_mode = 3\n"));
  std::string wrongHeader = whole;
  wrongHeader[3] = 0x02;
  const std::string missing = TempPath("missing.cfg");
  const std::string longer = WriteBytes("longer.cfg", whole + std::string(100, '\x7f'));
  const struct {
    QUORVA_HANDLE board;
    std::string name;
    bool nullName;
    int result;
  } cases[] = {
      {nullptr, longer, false, -1},
      {board_, "", true, QUORVA_ERR_FILE_NAME},
      {board_, "", false, QUORVA_ERR_FILE_NAME},
      {board_, missing, false, QUORVA_ERR_FILE_OPEN},
      {board_, WriteBytes("header.cfg", wrongHeader), false, QUORVA_ERR_CONFIG_VERSION},
      {board_, WriteBytes("short.cfg", whole.substr(0, 1427)), false, QUORVA_ERR_CONFIG_SHORT},
      {board_, WriteBytes("tiny.cfg", whole.substr(0, 3)), false, QUORVA_ERR_CONFIG_SHORT},
      {board_, WriteBytes("empty.cfg", ""), false, QUORVA_ERR_CONFIG_SHORT},
  };
  for (const auto& c : cases) {
    test::ClearLog();
    EXPECT_EQ(QUORVA_MC_InitFromFile(c.board, c.nullName ? nullptr : c.name.c_str()), c.result)
        << c.name;
    EXPECT_EQ(test::LoggedRequestCount(), 0) << c.name;
  }
  EXPECT_EQ(QUORVA_MC_GetOutputMode(board_, 0), 0);
  EXPECT_EQ(QUORVA_MC_InitFromFile(board_, longer.c_str()), 0) << "bytes past 1428 are not read";
  EXPECT_EQ(QUORVA_MC_GetOutputMode(board_, 0), 3);
  EXPECT_EQ(QUORVA_LastError(), 0);
}

}  // namespace
}  // namespace quorva
