// What the portable core needs from the operating system. Each OS folder implements it.
#pragma once

#include <string>

namespace quorva::platform {

struct LocalTime {
  int hour;
  int minute;
  int second;
  int millisecond;
};

LocalTime Now();

// 1 when this is a 32-bit process on 64-bit Windows, else 0 (not cached here).
int ProbeWow64();

// One pass of a waiting loop: dispatches the calling thread's window messages when
// `pumpMessages` is set (where the system has them), then yields the processor.
void WaitPass(bool pumpMessages);
// One pass of the wait for a free axis: with `pumpMessages`, dispatches one window message when
// one is queued; when none was dispatched, yields the processor.
void WaitPassOneMessage(bool pumpMessages);

// Where the trace file goes unless the application names one.
std::string DefaultTracePath();

// Where the gantry-mapping file lives unless QUORVA_GANTRY_FILE names it.
std::string DefaultGantryFilePath();

}  // namespace quorva::platform
