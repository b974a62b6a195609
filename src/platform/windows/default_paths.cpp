// Default places of the library's files on Windows.
#include <windows.h>

#include "platform/platform.h"

namespace quorva::platform {

std::string DefaultTracePath() {
  return "C:\\temp\\motion.dbg";
}

// The gantry-mapping file lives in the system directory (normally C:\Windows\System32).
std::string DefaultGantryFilePath() {
  char directory[MAX_PATH];
  const UINT length = GetSystemDirectoryA(directory, sizeof directory);
  const std::string systemDirectory = length > 0 && length < sizeof directory
                                          ? std::string(directory, length)
                                          : std::string("C:\\Windows\\System32");
  return systemDirectory + "\\VarnGantryMapping.ini";
}

}  // namespace quorva::platform
