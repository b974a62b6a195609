#include <sched.h>
#include <sys/time.h>

#include <ctime>

#include "platform/platform.h"

namespace quorva::platform {

LocalTime Now() {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(now.tv_usec / 1000)};
}

// A 64-bit Linux process has no 32-bit packing to adapt to.
int ProbeWow64() {
  return 0;
}

// Linux threads have no window message queue: a waiting pass only yields.
void WaitPass(bool /*pumpMessages*/) {
  sched_yield();
}

void WaitPassOneMessage(bool /*pumpMessages*/) {
  sched_yield();
}

// A Linux thread ends whenever it returns: unloading the library is no different.
void EndLibraryThread(std::thread& thread) {
  thread.join();
}

void SetLibraryUnloading(bool /*unloading*/) {}

std::string DefaultTracePath() {
  return "/tmp/motion.dbg";
}

std::string DefaultGantryFilePath() {
  return "/etc/VarnGantryMapping.ini";
}

}  // namespace quorva::platform
