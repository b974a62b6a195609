// The shared library as applications load it: a child process (library_exit_child.c) opens it
// at run time, leaves boards, moves, a list, a scan and the trace running, and ends in each of
// the ways a program ends. Built with sanitizers, the child also runs under them (with leak
// checking, which reports what dlclose left behind).
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "device/registry.h"
#include "device/trace.h"
#include "library/library_lifecycle.h"
#include "sim_test.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

namespace quorva {
namespace {

struct ChildResult {
  int status = -1;
  std::string output;
};

#ifdef _WIN32
// The child and the DLL lie beside the test program; the child loads the DLL by name.
std::string ChildProgram() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, length);
  return dir.substr(0, dir.find_last_of("\\/") + 1) + "quorva_exit_child.exe";
}
const char* const kLibrary = "VarnDasQv.dll";

int Spawn(std::vector<std::string> args, const std::string& outputPath) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) return -1;
  std::string commandLine;
  for (const std::string& arg : args)
    commandLine += "\"" + arg + "\" ";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(args[0].c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      0, nullptr, nullptr, &startup, &process);
  CloseHandle(output);
  if (!started) return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
#else
std::string ChildProgram() {
  return QUORVA_EXIT_CHILD;
}
const char* const kLibrary = QUORVA_SHARED_LIBRARY;

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts)
    pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

int Spawn(std::vector<std::string> args, const std::string& outputPath) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t child = 0;
  const int failed =
      posix_spawn(&child, args[0].c_str(), &actions, nullptr, Pointers(args).data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
#endif

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The function names the child says it called with a trace line, in order.
std::vector<std::string> TracedCalls(const std::string& output) {
  std::vector<std::string> names;
  for (const std::string& line : LinesOf(output)) {
    if (line.rfind("traced ", 0) == 0) names.push_back(line.substr(7));
  }
  return names;
}

// The function names of the trace file's lines ("hh:mm:ss:mmm  NAME(...)"), in order.
std::vector<std::string> TraceFileCalls(const std::string& trace) {
  std::vector<std::string> names;
  for (const std::string& line : LinesOf(trace)) {
    const std::size_t text = line.find("  ");
    if (text == std::string::npos) continue;
    names.push_back(line.substr(text + 2, line.find('(') - text - 2));
  }
  return names;
}

class LibraryTeardown : public test::SimTest {};

TEST_F(LibraryTeardown, FreesEverythingAndLeavesTheLibraryUsable) {
  const QUORVA_HANDLE board = Load(0xA508);
  Load(0xA101);
  ASSERT_EQ(QUORVA_SIM_SetForeignOpens(0, 1), 0);  // another process holds the motion board
  ASSERT_EQ(QUORVA_EnableDebugLog(board, test::TempPath("motion.dbg").c_str(), 1), 0);
  QUORVA_MC_SetSpeed(board, 0, 10, 2000);
  TearDownLibrary();
  EXPECT_FALSE(FindDevice(board));
  EXPECT_FALSE(ContextExists(0xA508, 0)) << "kept for the other process until the teardown";
  EXPECT_EQ(g_traceLevel, 0);
  EXPECT_EQ(QUORVA_SIM_RequestCount(), 0);

  const QUORVA_HANDLE again = QUORVA_LoadDevice(0xA508, 0);
  ASSERT_NE(again, QUORVA_INVALID_HANDLE);
  EXPECT_EQ(QUORVA_GetDeviceThreadCount(again), 1) << "the simulated bus started afresh";
  EXPECT_EQ(ContextOf(again)->workSpeed[0], 1000.0) << "a new context with its defaults";
}

class LibraryExit : public ::testing::TestWithParam<const char*> {};

TEST_P(LibraryExit, ChildEndsWithItsOutputAndEveryTraceLine) {
  const std::string ending = GetParam();
  const std::string trace = test::TempPath("motion.dbg");
  const std::string outputPath = test::TempPath("output.txt");
  const int status = Spawn({ChildProgram(), kLibrary, ending, trace}, outputPath);
  const std::string output = test::ReadFile(outputPath);

  EXPECT_EQ(status, 0) << output;
  const std::vector<std::string> lines = LinesOf(output);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "ending " + ending) << "the buffered output reached the file";
  const std::vector<std::string> traced = TracedCalls(output);
  EXPECT_EQ(traced.size(), 9u);
  EXPECT_EQ(TraceFileCalls(test::ReadFile(trace)), traced);
}

// Threaded: the child runs the simulated driver's scheduler thread.
INSTANTIATE_TEST_SUITE_P(ThreadedEndings, LibraryExit,
                         ::testing::Values("exit", "return", "unload_then_exit", "immediate"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace quorva
