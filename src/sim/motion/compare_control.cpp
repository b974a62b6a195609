// The control interface of homing and compare outputs: the home switch's hysteresis, the
// compare output of an axis and its event log.
#include <algorithm>

#include "VarnDasQvSim.h"
#include "sim/motion/axis_access.h"

using namespace quorva::sim;

extern "C" {

int QUORVA_SIM_SetHomeHysteresis(int board, int axis, int pulses) {
  if (pulses < 0) return -1;
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t now) {
    a.motion.homeHysteresis = pulses;
    Replan(a, now);
    SettleAxis(a, now);
    return 0;
  });
}

int QUORVA_SIM_GetTriggerTable(int board, int axis, int* positions, int capacity) {
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t) {
    const auto& table = a.compare.trigger.positions;
    for (std::size_t i = 0; positions != nullptr && i < table.size() &&
                            i < static_cast<std::size_t>(std::max(capacity, 0));
         ++i) {
      positions[i] = table[i];
    }
    return static_cast<int>(table.size());
  });
}

int QUORVA_SIM_GetCompareOutput(int board, int axis, QUORVA_SIM_COMPARE_OUTPUT* output) {
  if (output == nullptr) return -1;
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t) {
    const AxisCompare& compare = a.compare;
    *output = {static_cast<int>(compare.outputPulses), compare.lastOutputPosition,
               SecondsOf(compare.lastOutputNs)};
    return 0;
  });
}

int QUORVA_SIM_CompareEventCount(int board, int axis) {
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t) {
    return static_cast<int>(a.compare.events.size());
  });
}

int QUORVA_SIM_GetCompareEvent(int board, int axis, int index, QUORVA_SIM_COMPARE_EVENT* event) {
  if (event == nullptr || index < 0) return -1;
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t) {
    const auto& events = a.compare.events;
    if (static_cast<std::size_t>(index) >= events.size()) return -1;
    const CompareEvent& e = events[static_cast<std::size_t>(index)];
    *event = {SecondsOf(e.timeNs), e.source, e.position, e.entry, e.data};
    return 0;
  });
}

}  // extern "C"
