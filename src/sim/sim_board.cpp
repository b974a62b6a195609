#include "sim/sim_board.h"

#include "device/board_table.h"

namespace quorva::sim {
namespace {

// The board that describes itself: 8 axes and 8 digital inputs and outputs.
constexpr SimResources kSelfDescribedResources{28, 0, 0, 8, 8, 8};

}  // namespace

SimBoard MakeBoard(std::uint16_t deviceId) {
  SimBoard board;
  board.deviceId = deviceId;
  if (deviceId == kDriverDescribedBoard) {
    board.resources = kSelfDescribedResources;
  } else if (const BoardDescription* known = FindBoard(deviceId)) {
    board.resources = {known->resourceFlags, known->analogInputs,   known->analogOutputs,
                       known->digitalInputs, known->digitalOutputs, known->axes};
  }
  return board;
}

}  // namespace quorva::sim
