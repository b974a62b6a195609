// The library leaves the process.
#include <windows.h>

#include "library/library_lifecycle.h"
#include "platform/platform.h"

// FreeLibrary of the last reference tears the library down. At process exit (`reserved` set)
// Windows has already ended every other thread, possibly inside the library with one of its
// locks or inside the heap: the library then touches nothing, and the system closes the boards
// and reclaims the memory.
extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD reason, LPVOID reserved) {
  if (reason != DLL_PROCESS_DETACH || reserved != nullptr) return TRUE;
  quorva::platform::SetLibraryUnloading(true);
  quorva::TearDownLibrary();
  quorva::platform::SetLibraryUnloading(false);
  return TRUE;
}
