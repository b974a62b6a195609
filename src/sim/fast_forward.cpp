// Simulated time that jumps: from one event of the boards to the next, while the library waits
// for a motion, or until axes are idle when the application asks for it.
#include "sim/motion/axis_controller.h"
#include "sim/next_event.h"
#include "sim/sim_bus.h"

namespace quorva::sim {
namespace {

bool Settled(SimBoard& board, std::uint32_t axisMask, std::int64_t nowNs) {
  const ListRun& list = board.list;
  if (!list.aborted && list.started < list.entries.size()) return false;
  for (int axis = 0; axis < kAxes; ++axis) {
    if ((axisMask >> axis & 1u) == 0) continue;
    SimAxis& a = board.axes[static_cast<std::size_t>(axis)];
    SettleAxis(a, nowNs);
    if (a.motion.phase != AxisMotion::Phase::kIdle) return false;
  }
  return true;
}

}  // namespace

void SimBus::AwaitProgress() {
  std::lock_guard lock(mutex_);
  ConfigureOnFirstUse();
  if (clock_.CurrentMode() != SimClock::Mode::kVirtual) return;
  const Settling settling(*this);
  const std::int64_t now = clock_.Now();
  if (const auto next = NextEventNs(boards_, now)) clock_.Advance(*next - now);
}

int SimBus::RunUntilIdle(int index, std::uint32_t axisMask) {
  std::lock_guard lock(mutex_);
  ConfigureOnFirstUse();
  if (index < 0 || static_cast<std::size_t>(index) >= boards_.size()) return -1;
  SimBoard& board = boards_[static_cast<std::size_t>(index)];
  const Settling settling(*this);  // signals the interrupts of the events passed
  for (;;) {
    CatchUp();
    const std::int64_t now = clock_.Now();
    if (Settled(board, axisMask, now)) return 0;
    const auto next = NextEventNs(boards_, now);
    if (!next) return 1;
    clock_.Advance(*next - now);
  }
}

}  // namespace quorva::sim

extern "C" int QUORVA_SIM_RunUntilIdle(int board, unsigned int axisMask) {
  return quorva::sim::SimBus::Instance().RunUntilIdle(board, axisMask);
}
