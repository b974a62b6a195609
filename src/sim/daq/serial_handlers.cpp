// Serial I/O modules: 16-bit remote modules reached after the communication is opened; absent
// modules read 0 and refuse writes.
#include "device/commands.h"
#include "sim/daq/daq_handlers.h"

namespace quorva::sim {
namespace {

// The module addressed by slot 1 when it answers, else null.
SerialModule* ModuleOf(SimBoard& board, const SimRequest& request) {
  DaqState& daq = board.daq;
  const std::uint32_t module = request.U32(1);
  if (!daq.serialOpen || module >= kSerialModules || (daq.serialPresent >> module & 1u) == 0) {
    return nullptr;
  }
  return &daq.serial[module];
}

int InitComm(SimBoard& board, const SimRequest& /*request*/) {
  board.daq.serialOpen = true;
  return 1;
}

int CheckModule(SimBoard& board, const SimRequest& request) {
  request.Store(2, std::uint32_t{ModuleOf(board, request) != nullptr});
  return 1;
}

int SetUsage(SimBoard& board, const SimRequest& request) {
  SerialModule* module = ModuleOf(board, request);
  if (module != nullptr) module->usage = request.U32(2);
  request.Store(3, std::uint32_t{module != nullptr});
  return 1;
}

template <int shift>
int ReadByte(SimBoard& board, const SimRequest& request) {
  const SerialModule* module = ModuleOf(board, request);
  request.Store(2, module != nullptr ? std::uint32_t{module->inputs} >> shift & 0xFFu : 0u);
  return 1;
}

template <int shift>
int WriteByte(SimBoard& board, const SimRequest& request) {
  SerialModule* module = ModuleOf(board, request);
  if (module != nullptr) {
    const std::uint32_t kept = module->outputs & ~(0xFFu << shift);
    module->outputs = static_cast<std::uint16_t>(kept | (request.U32(2) & 0xFFu) << shift);
  }
  request.Store(3, std::uint32_t{module != nullptr});
  return 1;
}

}  // namespace

void AddSerialHandlers(HandlerTable& table) {
  table.Set(cmd::kSdioInit, Synced<InitComm>);
  table.Set(cmd::kSdioCheckModule, Synced<CheckModule>);
  table.Set(cmd::kSdioSetUsage, Synced<SetUsage>);
  table.Set(cmd::kSdioReadLow, Synced<ReadByte<0>>);
  table.Set(cmd::kSdioReadHigh, Synced<ReadByte<8>>);
  table.Set(cmd::kSdioWriteLow, Synced<WriteByte<0>>);
  table.Set(cmd::kSdioWriteHigh, Synced<WriteByte<8>>);
}

}  // namespace quorva::sim
