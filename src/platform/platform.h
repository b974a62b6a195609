// What the portable core needs from the operating system. Each OS folder implements it.
#pragma once

#include <functional>
#include <string>
#include <thread>

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

// Starts a thread of the library's own running `body`, and returns once the thread runs. On
// Windows a thread that has been created but not yet begun waits for the system loader's lock;
// should the library be unloaded in that moment (the unloading thread holds that lock), the
// thread could never begin nor be ended, and the unload would wait for it for ever.
std::thread StartLibraryThread(std::function<void()> body);
// Waits for a thread of the library's own that has left the library's loops. While the library
// is being unloaded from a running Windows process the thread cannot end (the system's loader
// holds its lock during the unload and a thread needs it to end), so the wait then lasts only
// until the thread has left the library's code.
void EndLibraryThread(std::thread& thread);
// Tells EndLibraryThread whether the library is being unloaded from a running process.
void SetLibraryUnloading(bool unloading);

// Where the trace file goes unless the application names one.
std::string DefaultTracePath();

// Where the gantry-mapping file lives unless QUORVA_GANTRY_FILE names it.
std::string DefaultGantryFilePath();

}  // namespace quorva::platform
