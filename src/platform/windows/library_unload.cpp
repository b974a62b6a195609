// Unloads every registered board when the library leaves the process.
#include <windows.h>

#include "device/registry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_DETACH) quorva::UnloadAllDevices();
  return TRUE;
}
