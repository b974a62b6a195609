// Axis registers, main space and the controller version: a register machine in which a read
// returns what was last written.
#include "device/commands.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

// The axis addressed by slot 1, or null when the board has no such axis slot.
SimAxis* AxisOf(SimBoard& board, const SimRequest& request) {
  const std::uint32_t axis = request.U32(1);
  return axis < board.axes.size() ? &board.axes[axis] : nullptr;
}

int RegisterWrite(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = AxisOf(board, request);
  const std::uint32_t reg = request.U32(2);
  if (axis == nullptr || reg >= axis->registers.size()) return 0;
  axis->registers[reg] = request.U32(3);
  return 1;
}

int RegisterRead(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = AxisOf(board, request);
  const std::uint32_t reg = request.U32(2);
  if (axis == nullptr || reg >= axis->registers.size()) return 0;
  request.Store(3, axis->registers[reg]);
  return 1;
}

int MainWrite(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = AxisOf(board, request);
  const std::uint32_t offset = request.U32(2);
  if (axis == nullptr || offset >= axis->mainWritten.size()) return 0;
  axis->mainWritten[offset] = request.U32(3);
  return 1;
}

int MainRead(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = AxisOf(board, request);
  const std::uint32_t offset = request.U32(2);
  if (axis == nullptr || offset >= axis->mainStatus.size()) return 0;
  request.Store(3, axis->mainStatus[offset]);
  return 1;
}

int ControllerVersion(SimBoard& board, const SimRequest& request) {
  request.Store(1, board.controllerVersion);
  request.Store(2, std::int32_t{0});
  return 1;
}

}  // namespace

void AddAxisHandlers(HandlerTable& table) {
  table.Set(cmd::kAxisRegWrite, RegisterWrite);
  table.Set(cmd::kAxisRegRead, RegisterRead);
  table.Set(cmd::kAxisMainWrite, MainWrite);
  table.Set(cmd::kAxisMainRead, MainRead);
  table.Set(cmd::kControllerVersion, ControllerVersion);
}

}  // namespace quorva::sim
