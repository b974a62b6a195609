// The Latches and interrupts block of the simulator's control interface.
#include <cmath>

#include "VarnDasQvSim.h"
#include "sim/motion/interrupts.h"
#include "sim/motion/latch.h"
#include "sim/sim_bus.h"

using namespace quorva::sim;

extern "C" {

int QUORVA_SIM_LatchPulseAt(int board, int axis, double seconds) {
  if (axis < 0 || axis >= kAxes || !std::isfinite(seconds) || seconds > 1e9) return -1;
  const auto atNs = static_cast<std::int64_t>(std::llround(seconds * 1e9));
  return SimBus::Instance().WithBoardAt(board, [&](SimBoard& b, std::int64_t now) {
    if (atNs < now) return -1;
    ScheduleLatchPulse(b, axis, atNs);
    return 0;
  });
}

int QUORVA_SIM_RaiseInterrupt(int board, int axis, unsigned int first, unsigned int second) {
  if (axis < 0 || axis >= kAxes) return -1;
  return SimBus::Instance().WithBoard(board, [&](SimBoard& b) {
    RaiseInterrupt(b.axes[static_cast<std::size_t>(axis)], first, second);
    return 0;
  });
}

}  // extern "C"
