// The Interpolation block of the simulator's control interface: the path record and the error
// status of an axis.
#include <algorithm>
#include <bit>
#include <cmath>

#include "VarnDasQvSim.h"
#include "sim/motion/axis_controller.h"
#include "sim/motion/interpolation.h"
#include "sim/sim_bus.h"

using namespace quorva::sim;

extern "C" {

int QUORVA_SIM_RecordPath(int board, unsigned int axisMask, double interval) {
  return SimBus::Instance().WithBoardAt(board, [&](SimBoard& b, std::int64_t now) {
    const double ns = interval * 1e9;
    // Intervals below a nanosecond, or beyond what the clock counts, record nothing.
    const bool usable = ns >= 1 && ns < 9.2e18;
    StartPathRecord(b, usable ? axisMask & 0xFFu : 0u,
                    usable ? static_cast<std::int64_t>(std::llround(ns)) : 0, now);
    return 0;
  });
}

int QUORVA_SIM_PathSampleCount(int board) {
  return SimBus::Instance().WithBoard(
      board, [](SimBoard& b) { return static_cast<int>(b.pathRecord.timesNs.size()); });
}

int QUORVA_SIM_GetPathSamples(int board, int first, int count, double* times, int* counts) {
  if (first < 0 || count < 0 || counts == nullptr) return -1;
  return SimBus::Instance().WithBoard(board, [&](SimBoard& b) {
    const PathRecord& record = b.pathRecord;
    const auto axes = static_cast<std::size_t>(std::popcount(record.axes));
    const std::size_t total = record.timesNs.size();
    const std::size_t from = std::min(static_cast<std::size_t>(first), total);
    const std::size_t copied = std::min(static_cast<std::size_t>(count), total - from);
    for (std::size_t i = 0; i < copied; ++i) {
      if (times != nullptr) times[i] = static_cast<double>(record.timesNs[from + i]) * 1e-9;
      for (std::size_t k = 0; k < axes; ++k)
        counts[i * axes + k] = record.counts[(from + i) * axes + k];
    }
    return static_cast<int>(copied);
  });
}

int QUORVA_SIM_SetAxisError(int board, int axis, unsigned int errorBits) {
  return SimBus::Instance().WithBoardAt(board, [&](SimBoard& b, std::int64_t now) {
    if (axis < 0 || axis >= kAxes) return -1;
    SimAxis& a = b.axes[static_cast<std::size_t>(axis)];
    SettleAxis(a, now);
    a.registers[reg::kErrorStatus] = errorBits;
    if (ErrorPending(a) && a.motion.phase != AxisMotion::Phase::kIdle) {
      StopAxisNow(a, 0, now);
      StopPathPartners(b, axis, now);
    }
    return 0;
  });
}

}  // extern "C"
