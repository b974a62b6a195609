// Whether this is a 32-bit process on 64-bit Windows, which decides the request packing.
#include <windows.h>

#include "platform/platform.h"

namespace quorva::platform {

int ProbeWow64() {
  SYSTEM_INFO system{};
  GetNativeSystemInfo(&system);
  if (system.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_AMD64) return 0;
  const HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId());
  // Unanswered counts as native: both packings give the driver the same slots.
  if (process == nullptr) return 0;
  BOOL wow64 = FALSE;
  const BOOL answered = IsWow64Process(process, &wow64);
  CloseHandle(process);
  return answered && wow64 ? 1 : 0;
}

}  // namespace quorva::platform
