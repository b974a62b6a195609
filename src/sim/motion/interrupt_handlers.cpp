// The driver's interrupt commands: registering the application's event (650, 660), the axes'
// masks (665), state (670) and status words (680, which clears them).
#include <utility>

#include "device/commands.h"
#include "sim/motion/interrupts.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

// Runs `action(interrupts)` on the request's axis; refuses a request for no axis.
template <typename Action>
int WithInterrupts(SimBoard& board, const SimRequest& request, Action action) {
  return WithRequestAxis(board, request, [&](SimAxis& axis) { action(axis.interrupts); });
}

// A value that names no event changes nothing and reports the error.
int Enable(SimBoard& board, const SimRequest& request) {
  auto event = platform::NotificationEvent::Acquire(request.Slot(1));
  if (!event) {
    request.Store(2, std::uint32_t{QUORVA_SIM_INT_ERR_EVENT});
    return 1;
  }
  board.notification = std::move(event);
  request.Store(2, std::uint32_t{0});
  return 1;
}

int Disable(SimBoard& board, const SimRequest& /*request*/) {
  board.notification.reset();
  return 1;
}

int Mask(SimBoard& board, const SimRequest& request) {
  return WithInterrupts(board, request,
                        [&](AxisInterrupts& interrupts) { interrupts.mask = request.U32(2); });
}

int State(SimBoard& board, const SimRequest& request) {
  return WithInterrupts(board, request, [&](AxisInterrupts& interrupts) {
    request.Store(2, PendingSources(interrupts));
  });
}

int Status(SimBoard& board, const SimRequest& request) {
  return WithInterrupts(board, request, [&](AxisInterrupts& interrupts) {
    request.Store(2, std::exchange(interrupts.errorCauses, 0u));
    request.Store(3, std::exchange(interrupts.eventCauses, 0u));
  });
}

}  // namespace

void AddInterruptHandlers(HandlerTable& table) {
  table.Set(cmd::kEnableInterrupt, Enable);
  table.Set(cmd::kDisableInterrupt, Disable);
  table.Set(cmd::kMaskInterrupt, Mask);
  table.Set(cmd::kAxisIntState, State);
  table.Set(cmd::kIntStatus, Status);
}

}  // namespace quorva::sim
