#include <cctype>
#include <filesystem>
#include <string>

#include "device/trace.h"
#include "motion/commands/axis_list.h"
#include "sim_test.h"

namespace quorva {
namespace {

// The trace file is written in text mode: its lines end in CR LF on Windows.
#ifdef _WIN32
const std::string kLineEnd = "\r\n";
#else
const std::string kLineEnd = "\n";
#endif

class TraceLog : public test::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    board_ = Load(0xA508);
    path_ = test::TempPath("motion.dbg");
  }
  QUORVA_HANDLE board_ = nullptr;
  std::string path_;
};

TEST_F(TraceLog, OnlyLoadedBoardsEnableTheLog) {
  EXPECT_EQ(QUORVA_EnableDebugLog(QUORVA_INVALID_HANDLE, path_.c_str(), 1), -1);
  EXPECT_EQ(QUORVA_EnableDebugLog(reinterpret_cast<QUORVA_HANDLE>(0x77), path_.c_str(), 1), -1);
  EXPECT_EQ(g_traceLevel.load(), 0);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(TraceLog, LevelZeroTurnsTracingOffAndLeavesTheFileAlone) {
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path_.c_str(), 1), 0);
  QUORVA_MC_Reset(board_);
  const std::string before = test::ReadFile(path_);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(QUORVA_EnableDebugLog(board_, "/nonexistent/ignored.dbg", 0), 0);
  QUORVA_MC_Reset(board_);
  EXPECT_EQ(test::ReadFile(path_), before);
  EXPECT_EQ(TracePath(), path_) << "the stored path does not change";
}

TEST_F(TraceLog, EnablingANewPathEmptiesItAndKeepsTheOldFile) {
  const std::string second = test::TempPath("second.dbg");
  std::FILE* f = std::fopen(second.c_str(), "w");
  std::fputs("old content\n", f);
  std::fclose(f);
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path_.c_str(), 1), 0);
  QUORVA_MC_Reset(board_);
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, second.c_str(), 1), 0);
  EXPECT_EQ(test::ReadFile(second), "");
  QUORVA_MC_ResetAxis(board_, 1);
  EXPECT_NE(test::ReadFile(path_).find("QUORVA_MC_Reset("), std::string::npos);
  EXPECT_EQ(test::ReadFile(path_).find("QUORVA_MC_ResetAxis"), std::string::npos);
  EXPECT_NE(test::ReadFile(second).find("QUORVA_MC_ResetAxis("), std::string::npos);
}

TEST_F(TraceLog, AFileThatCannotBeCreatedLeavesTracingOff) {
  const std::string bad = test::TempPath("missing-dir") + "/sub/none.dbg";
  const int lastError = QUORVA_LastError();
  EXPECT_EQ(QUORVA_EnableDebugLog(board_, bad.c_str(), 3), QUORVA_ERR_FILE_CREATE);
  EXPECT_EQ(g_traceLevel.load(), 0);
  EXPECT_EQ(QUORVA_LastError(), lastError) << "reported by result only";
}

TEST_F(TraceLog, LinesCarryTheLocalTimeThenTwoBlanksThenTheCall) {
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path_.c_str(), 1), 0);
  QUORVA_MC_ResetAxis(board_, 3);
  const std::string log = test::ReadFile(path_);
  char call[64];
  std::snprintf(call, sizeof call, "QUORVA_MC_ResetAxis(0x%x, 3)", TraceWord(board_));
  // "hh:mm:ss:mmm", two blanks, the call.
  const std::string stamp = log.substr(0, 12);
  for (std::size_t i : {0, 1, 3, 4, 6, 7, 9, 10, 11}) {
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(stamp[i]))) << log;
  }
  EXPECT_EQ(stamp[2], ':');
  EXPECT_EQ(stamp[5], ':');
  EXPECT_EQ(stamp[8], ':');
  EXPECT_EQ(log.substr(12), std::string("  ") + call + kLineEnd);
}

TEST_F(TraceLog, ThresholdsAndQuietScope) {
  int version = 0;
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path_.c_str(), 1), 0);
  QUORVA_MC_GetDeviceVer(board_, &version, nullptr);
  QUORVA_MC_Done(board_, 0);
  EXPECT_EQ(test::ReadFile(path_), "") << "configuration reads trace from level 2";
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path_.c_str(), 2), 0);
  QUORVA_MC_GetDeviceVer(board_, &version, nullptr);
  QUORVA_MC_Done(board_, 0);
  {
    TraceQuietScope quiet;
    QUORVA_MC_Done(board_, 1);
  }
  const std::string log = test::ReadFile(path_);
  EXPECT_NE(log.find("QUORVA_MC_GetDeviceVer(0x"), std::string::npos);
  EXPECT_NE(log.find("QUORVA_MC_Done(0x"), std::string::npos);
  EXPECT_EQ(log.find(", 1)"), std::string::npos) << "silenced by the quiet scope: " << log;
}

TEST_F(TraceLog, LongPathsAndLongLinesAreHandledWhole) {
  std::string dir = test::TempPath("");
  while (dir.size() < 400)
    dir += "/a-rather-long-directory-name";
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/motion.dbg";
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path.c_str(), 1), 0);
  EXPECT_EQ(TracePath(), path);
  const std::string text(1000, 'x');
  TraceFormatted("%s", text.c_str());
  const std::string log = test::ReadFile(path);
  EXPECT_EQ(log.size(), 12 + 2 + text.size() + kLineEnd.size());
  EXPECT_NE(log.find(text + kLineEnd), std::string::npos);
}

// A file name may hold line ends; a line is still one call. Huge values are listed in full.
TEST_F(TraceLog, EachCallStaysOneWholeLine) {
  ASSERT_EQ(QUORVA_EnableDebugLog(board_, path_.c_str(), 1), 0);
  TraceFormatted("Call(\"%s\")", "one\nline\rend");
  const double huge[2] = {1e308, -2.5};
  const std::string list = TraceList(2, huge);
  EXPECT_EQ(list.size(), 2 + 313 + 1 + 6) << list;
  EXPECT_EQ(list.substr(list.size() - 12), ".000,-2.500]");
  const std::string log = test::ReadFile(path_);
  EXPECT_EQ(log.substr(12), "  Call(\"one\\nline\\rend\")" + kLineEnd);
}

TEST_F(TraceLog, WritingToAnUnopenableFileReportsAndChangesNothing) {
  SetTracePath(test::TempPath("missing") + "/no/such.dbg");
  EXPECT_EQ(WriteTraceLine("lost"), QUORVA_ERR_FILE_OPEN);
}

TEST(ErrorText, UnknownCodesReturnTheLastTextCopied) {
  // A fresh process: the message buffer is empty until a known code is looked up.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        StoreLastError(-12345);
        std::exit(std::string(QUORVA_ErrorString(0)).empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  StoreLastError(-300);
  EXPECT_STREQ(QUORVA_ErrorString(0), "VARN_Error : Can't open or create a file !");
  StoreLastError(-12345);
  EXPECT_EQ(QUORVA_LastError(), -12345);
  EXPECT_STREQ(QUORVA_ErrorString(-200), "VARN_Error : Can't open or create a file !")
      << "the argument is not consulted";
  const std::pair<int, const char*> table[] = {
      {0, "There's no error."},
      {-200, "VARN_Error : The function is not supported by this device !"},
      {-290, "VARN_Error : Memory allocation is failed !"},
      {-310, "VARN_Error : Can't register a interrupt service routine !"},
      {-320, "VARN_Error : Memory allocation is failed !"},
  };
  for (const auto& [code, text] : table) {
    StoreLastError(code);
    EXPECT_STREQ(QUORVA_ErrorString(code), text) << code;
  }
  StoreLastError(0);
}

}  // namespace
}  // namespace quorva
