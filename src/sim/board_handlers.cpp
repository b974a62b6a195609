// Board information, raw access, EEPROM and open count.
#include <cstdio>

#include "VarnDasQv.h"
#include "device/commands.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

// Command 0: the DeviceId and the simulator's own model name.
int DeviceInfo(SimBoard& board, const SimRequest& request) {
  auto* info = static_cast<DevInfo*>(request.Address(1));
  if (info == nullptr) return 1;
  info->DeviceId = board.deviceId;
  std::snprintf(info->modelName, sizeof info->modelName, "Simulated %04X", board.deviceId);
  return 1;
}

// Command 11: the resource bytes.
int DeviceDetail(SimBoard& board, const SimRequest& request) {
  auto* info = static_cast<DevInfo*>(request.Address(1));
  if (info == nullptr) return 1;
  const SimResources& r = board.resources;
  info->resourceFlags = r.flags;
  info->analogInputs = r.analogInputs;
  info->analogOutputs = r.analogOutputs;
  info->digitalInputs = r.digitalInputs;
  info->digitalOutputs = r.digitalOutputs;
  info->axes = r.axes;
  return 1;
}

// Command 2: plausible bus resources (memory window, I/O window, interrupt line).
int Resources(SimBoard& /*board*/, const SimRequest& request) {
  request.Store(1, std::uint32_t{0xFEB00000});
  request.Store(2, std::uint32_t{0xE000});
  request.Store(4, std::uint32_t{11});
  return 1;
}

int OpenCount(SimBoard& board, const SimRequest& request) {
  request.Store(1, static_cast<std::int32_t>(board.openHandles + board.foreignOpens));
  return 1;
}

int WriteEeprom(SimBoard& board, const SimRequest& request) {
  if (request.U32(1) >= board.eeprom.size()) return 0;
  board.eeprom[request.U32(1)] = request.U32(2);
  return 1;
}

int ReadEeprom(SimBoard& board, const SimRequest& request) {
  if (request.U32(1) >= board.eeprom.size()) return 0;
  request.Store(2, board.eeprom[request.U32(1)]);
  return 1;
}

std::uint32_t ReadWord(const std::unordered_map<std::uint64_t, std::uint32_t>& space,
                       const SimRequest& request) {
  const auto it = space.find(WordKey(request.U32(1), request.U32(2)));
  return it == space.end() ? 0 : it->second;
}

int WriteMemory(SimBoard& board, const SimRequest& request) {
  board.memoryWords[WordKey(request.U32(1), request.U32(2))] = request.U32(3);
  return 1;
}

int ReadMemory(SimBoard& board, const SimRequest& request) {
  request.Store(3, ReadWord(board.memoryWords, request));
  return 1;
}

int WriteIo(SimBoard& board, const SimRequest& request) {
  board.ioWords[WordKey(request.U32(1), request.U32(2))] = request.U32(3);
  return 1;
}

int ReadIo(SimBoard& board, const SimRequest& request) {
  request.Store(3, ReadWord(board.ioWords, request));
  return 1;
}

}  // namespace

void AddBoardHandlers(HandlerTable& table) {
  table.Set(cmd::kDeviceInfo, DeviceInfo);
  table.Set(cmd::kDeviceDetail, DeviceDetail);
  table.Set(cmd::kGetResources, Resources);
  table.Set(cmd::kOpenCount, OpenCount);
  table.Set(cmd::kWriteEeprom, WriteEeprom);
  table.Set(cmd::kReadEeprom, ReadEeprom);
  table.Set(cmd::kWriteMemory, WriteMemory);
  table.Set(cmd::kReadMemory, ReadMemory);
  table.Set(cmd::kWriteIo, WriteIo);
  table.Set(cmd::kReadIo, ReadIo);
}

}  // namespace quorva::sim
