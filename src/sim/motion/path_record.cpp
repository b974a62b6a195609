#include "sim/motion/path_record.h"

#include <bit>

#include "sim/motion/axis_controller.h"

namespace quorva::sim {

void StartPathRecord(SimBoard& board, std::uint32_t axes, std::int64_t intervalNs,
                     std::int64_t nowNs) {
  PathRecord& record = board.pathRecord;
  record.recording = false;
  if (axes == 0 || intervalNs <= 0) return;
  record = PathRecord{true, axes, intervalNs, nowNs, {}, {}};
}

void RecordPath(SimBoard& board, std::int64_t untilNs) {
  PathRecord& record = board.pathRecord;
  while (record.recording && record.nextNs <= untilNs) {
    if (record.timesNs.size() >= QUORVA_SIM_PATH_RECORD_CAPACITY) {
      record.recording = false;
      break;
    }
    record.timesNs.push_back(record.nextNs);
    for (int axis = 0; axis < kAxes; ++axis) {
      if ((record.axes >> axis & 1u) != 0) {
        record.counts.push_back(
            CounterAt(board.axes[static_cast<std::size_t>(axis)], record.nextNs));
      }
    }
    record.nextNs += record.intervalNs;
  }
}

std::int32_t CounterAt(const SimAxis& axis, std::int64_t ns) {
  const AxisMotion& m = axis.motion;
  // A move that runs, or that ended after `ns`, was where its plan puts it; otherwise the axis
  // stands where its counter says.
  const bool moving = m.phase == AxisMotion::Phase::kRunning ||
                      (m.phase == AxisMotion::Phase::kIdle && ns < m.endNs);
  if (!moving) return static_cast<std::int32_t>(SignExtend28(axis.registers[reg::kCommandCounter]));
  const MotionSample sample = m.plan.At(static_cast<double>(ns - m.planOriginNs) * 1e-9);
  const std::int64_t position = m.commandOrigin + TravelledAt(m, sample.distance);
  return static_cast<std::int32_t>(SignExtend28(static_cast<std::uint32_t>(position)));
}

}  // namespace quorva::sim
