// Ending a thread of the library's own. A thread that returns from its function still has to
// pass the system's loader to end, and during FreeLibrary the loader's lock is held by the
// thread that unloads: joining there would wait for ever. Once the thread has left the library's
// loop, it is let go; the short wait lets it get past the runtime's last steps into the system,
// where it waits for the loader and ends when the unload is over.
#include <pthread.h>
#include <windows.h>

#include <atomic>

#include "platform/platform.h"

namespace quorva::platform {
namespace {

constexpr DWORD kUnloadGraceMs = 100;
std::atomic<bool> g_unloading{false};

}  // namespace

void EndLibraryThread(std::thread& thread) {
  if (!g_unloading.load()) {
    thread.join();
    return;
  }
  HANDLE handle = nullptr;
  const HANDLE process = GetCurrentProcess();
  const bool waitable = DuplicateHandle(process, pthread_gethandle(thread.native_handle()), process,
                                        &handle, SYNCHRONIZE, FALSE, 0) != FALSE;
  thread.detach();
  if (!waitable) return;
  WaitForSingleObject(handle, kUnloadGraceMs);
  CloseHandle(handle);
}

void SetLibraryUnloading(bool unloading) {
  g_unloading.store(unloading);
}

}  // namespace quorva::platform
