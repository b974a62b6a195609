// Unloads every registered board when the library leaves the process, then ends the driver
// backend's threads. When the whole process exits (`reserved` not null) the system has ended
// every other thread already.
#include <windows.h>

#include "device/registry.h"
#include "platform/backend.h"
#include "platform/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD reason, LPVOID reserved) {
  if (reason != DLL_PROCESS_DETACH) return TRUE;
  quorva::UnloadAllDevices();
  if (reserved != nullptr) return TRUE;
  quorva::platform::MarkLibraryUnloading();
  quorva::ShutdownActiveBackend();
  return TRUE;
}
