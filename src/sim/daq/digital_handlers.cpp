// Digital inputs and outputs: two groups of 32 channels, as many of them present as the
// board's resource bytes say. Outputs are latched; inputs read their own states or, looped
// back, the outputs.
#include "device/commands.h"
#include "sim/daq/daq_handlers.h"

namespace quorva::sim {
namespace {

// Bits of group `group` that belong to one of the first `channels` channels.
std::uint32_t GroupMask(int channels, std::uint32_t group) {
  const int below = channels - static_cast<int>(group) * kChannelsPerGroup;
  if (below <= 0) return 0;
  if (below >= kChannelsPerGroup) return 0xFFFFFFFFu;
  return (1u << below) - 1;
}

std::uint32_t InputStates(const SimBoard& board, std::uint32_t group) {
  const DaqState& daq = board.daq;
  const std::uint32_t states = daq.loopback ? daq.digitalOutputs[group] : daq.digitalInputs[group];
  return states & GroupMask(board.resources.digitalInputs, group);
}

bool GroupExists(std::uint32_t group) {
  return group < kDigitalGroups;
}

int GetOneInput(SimBoard& board, const SimRequest& request) {
  const std::uint32_t channel = request.U32(1);
  const std::uint32_t group = channel / kChannelsPerGroup;
  if (channel >= board.resources.digitalInputs || !GroupExists(group)) {
    request.Store(2, std::uint32_t{0});
    return 0;
  }
  request.Store(2, InputStates(board, group) >> channel % kChannelsPerGroup & 1u);
  return 1;
}

int GetAllInputs(SimBoard& board, const SimRequest& request) {
  request.Store(1, InputStates(board, 0));
  return 1;
}

int GetGroupInputs(SimBoard& board, const SimRequest& request) {
  const std::uint32_t group = request.U32(1);
  request.Store(2, GroupExists(group) ? InputStates(board, group) : 0u);
  return GroupExists(group) ? 1 : 0;
}

int PutOneOutput(SimBoard& board, const SimRequest& request) {
  return SetDigitalOutput(board, request.U32(1), request.U32(2) != 0) ? 1 : 0;
}

int PutAllOutputs(SimBoard& board, const SimRequest& request) {
  SetDigitalOutputs(board, 0, ~0u, request.U32(1));
  return 1;
}

int PutGroupOutputs(SimBoard& board, const SimRequest& request) {
  return SetDigitalOutputs(board, request.U32(1), ~0u, request.U32(2)) ? 1 : 0;
}

int GetGroupOutputs(SimBoard& board, const SimRequest& request) {
  const std::uint32_t group = request.U32(1);
  request.Store(2, GroupExists(group) ? board.daq.digitalOutputs[group] : 0u);
  return GroupExists(group) ? 1 : 0;
}

int SetUsage(SimBoard& board, const SimRequest& request) {
  board.daq.dioUsage = request.U32(1);
  return 1;
}

int GetUsage(SimBoard& board, const SimRequest& request) {
  request.Store(1, board.daq.dioUsage);
  return 1;
}

}  // namespace

bool SetDigitalOutputs(SimBoard& board, std::uint32_t group, std::uint32_t mask,
                       std::uint32_t states) {
  if (!GroupExists(group)) return false;
  std::uint32_t& latched = board.daq.digitalOutputs[group];
  latched =
      ((latched & ~mask) | (states & mask)) & GroupMask(board.resources.digitalOutputs, group);
  return true;
}

bool SetDigitalOutput(SimBoard& board, std::uint32_t channel, bool on) {
  if (channel >= board.resources.digitalOutputs || channel >= kDigitalGroups * kChannelsPerGroup) {
    return false;
  }
  const std::uint32_t bit = 1u << channel % kChannelsPerGroup;
  return SetDigitalOutputs(board, channel / kChannelsPerGroup, bit, on ? bit : 0u);
}

void AddDigitalHandlers(HandlerTable& table) {
  table.Set(cmd::kDiGetOne, Synced<GetOneInput>);
  table.Set(cmd::kDiGetAll, Synced<GetAllInputs>);
  table.Set(cmd::kDiGetAllEx, Synced<GetGroupInputs>);
  table.Set(cmd::kDoPutOne, Synced<PutOneOutput>);
  table.Set(cmd::kDoPutAll, Synced<PutAllOutputs>);
  table.Set(cmd::kDoPutAllEx, Synced<PutGroupOutputs>);
  table.Set(cmd::kDoGetGroup, Synced<GetGroupOutputs>);
  table.Set(cmd::kDioSetUsage, Synced<SetUsage>);
  table.Set(cmd::kDioGetUsage, Synced<GetUsage>);
}

}  // namespace quorva::sim
