// Command codes of the driver protocol, named where the library's own logic sends them.
#pragma once

#include <cstdint>

namespace quorva::cmd {

inline constexpr std::uint32_t kDeviceInfo = 0;
inline constexpr std::uint32_t kGetResources = 2;
inline constexpr std::uint32_t kWriteEeprom = 3;
inline constexpr std::uint32_t kWrite8402 = 4;
inline constexpr std::uint32_t kReadEeprom = 5;
inline constexpr std::uint32_t kWriteMemory = 6;
inline constexpr std::uint32_t kReadMemory = 7;
inline constexpr std::uint32_t kOpenCount = 8;
inline constexpr std::uint32_t kDeviceDetail = 11;
inline constexpr std::uint32_t kWriteIo = 16;
inline constexpr std::uint32_t kReadIo = 17;
inline constexpr std::uint32_t kDoPutAll = 330;
inline constexpr std::uint32_t kAxisRegWrite = 610;
inline constexpr std::uint32_t kAxisMainWrite = 620;
inline constexpr std::uint32_t kAxisRegRead = 630;
inline constexpr std::uint32_t kAxisMainRead = 640;
inline constexpr std::uint32_t kControllerVersion = 780;
inline constexpr std::uint32_t kSetBus = 1000;

}  // namespace quorva::cmd
