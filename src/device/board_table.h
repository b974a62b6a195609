// The boards the library knows: model name and resource bytes by DeviceId.
#pragma once

#include <cstdint>

namespace quorva {

struct BoardDescription {
  std::uint16_t deviceId;
  const char* modelName;
  std::uint8_t resourceFlags;
  std::uint8_t analogInputs;
  std::uint8_t analogOutputs;
  std::uint8_t digitalInputs;
  std::uint8_t digitalOutputs;
  std::uint8_t axes;
};

// The row of `deviceId`, or null for a board the library does not know.
const BoardDescription* FindBoard(std::uint16_t deviceId);

// The board whose resource bytes come from the driver (device detail request) rather than
// from the table.
inline constexpr std::uint16_t kDriverDescribedBoard = 0xA534;

// Boards with a pulse-train motion controller, which get a motion context when loaded.
inline bool IsMotionBoard(std::uint16_t deviceId) {
  return (deviceId >= 0xA500 && deviceId <= 0xA5FF) || deviceId == 0xFE50 ||
         (deviceId >= 0xE500 && deviceId <= 0xE50F);
}

}  // namespace quorva
