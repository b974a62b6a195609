// Axis registers, main space and the controller version. Every request first brings the
// addressed axis up to the request's simulated time; registers the library writes are stored
// as written, and the simulated controller reacts to those that shape a running move.
#include "device/commands.h"
#include "sim/motion/axis_controller.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

// The axis number in slot 1, or -1 when the board has no such axis slot.
int AxisIndexOf(const SimRequest& request) {
  const std::uint32_t axis = request.U32(1);
  return axis < static_cast<std::uint32_t>(kAxes) ? static_cast<int>(axis) : -1;
}

// The addressed axis, brought up to the request's time; null when there is none.
SimAxis* SettledAxis(SimBoard& board, const SimRequest& request) {
  const int axis = AxisIndexOf(request);
  if (axis < 0) return nullptr;
  SimAxis& a = board.axes[static_cast<std::size_t>(axis)];
  SettleAxis(a, request.NowNs());
  return &a;
}

int RegisterWrite(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = SettledAxis(board, request);
  const std::uint32_t reg = request.U32(2);
  if (axis == nullptr || reg >= axis->registers.size()) return 0;
  axis->registers[reg] = request.U32(3);
  AfterRegisterWrite(*axis, reg, request.NowNs());
  return 1;
}

int RegisterRead(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = SettledAxis(board, request);
  const std::uint32_t reg = request.U32(2);
  if (axis == nullptr || reg >= axis->registers.size()) return 0;
  request.Store(3, RegisterValue(*axis, reg));
  return 1;
}

int MainWrite(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = SettledAxis(board, request);
  const std::uint32_t offset = request.U32(2);
  if (axis == nullptr || offset >= axis->mainWritten.size()) return 0;
  axis->mainWritten[offset] = request.U32(3);
  if (offset == 0) ExecuteAxisCommand(board, AxisIndexOf(request), request.U32(3), request.NowNs());
  return 1;
}

int MainRead(SimBoard& board, const SimRequest& request) {
  SimAxis* axis = SettledAxis(board, request);
  const std::uint32_t offset = request.U32(2);
  if (axis == nullptr || offset >= axis->mainStatus.size()) return 0;
  request.Store(3, StatusWord(board, AxisIndexOf(request), offset));
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
