#include "cli/terminal.h"

#include <chrono>
#include <csignal>
#include <thread>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>

#include <cstdio>
#else
#include <unistd.h>
#endif

namespace quorva::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void NoteInterrupt(int) {
  g_interrupted = 1;
}

}  // namespace

bool OutputIsTerminal() {
#if defined(_WIN32)
  if (_isatty(_fileno(stdout)) == 0) return false;
  HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return GetConsoleMode(console, &mode) != 0 &&
         SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
#else
  return isatty(STDOUT_FILENO) != 0;
#endif
}

InterruptWatch::InterruptWatch() {
  g_interrupted = 0;
  std::signal(SIGINT, NoteInterrupt);
}

InterruptWatch::~InterruptWatch() {
  std::signal(SIGINT, SIG_DFL);
}

bool InterruptWatch::Requested() const {
  return g_interrupted != 0;
}

void SleepSeconds(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace quorva::cli
