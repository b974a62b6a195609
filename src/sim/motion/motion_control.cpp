// The Motion block of the simulator's control interface: input signals, switch positions,
// following error, the pulser input and the state of an axis.
#include <cmath>

#include "VarnDasQvSim.h"
#include "sim/motion/axis_access.h"
#include "sim/motion/interpolation.h"
#include "sim/motion/latch.h"

using namespace quorva::sim;

extern "C" {

int QUORVA_SIM_SetAxisInput(int board, int axis, int signal, int active) {
  if (signal < QUORVA_SIM_INPUT_EL_PLUS || signal > QUORVA_SIM_INPUT_LATCH) return -1;
  return WithAxisOf(board, axis, [&](SimBoard& b, SimAxis& a, std::int64_t now) {
    if (signal == QUORVA_SIM_INPUT_LATCH) {
      SetLatchInput(a, active != 0, now);
    } else {
      SetInputSignal(a, signal, active != 0, now);
    }
    if (a.motion.phase == AxisMotion::Phase::kIdle) StopPathPartners(b, axis, now);
    return 0;
  });
}

int QUORVA_SIM_SetEndLimitPosition(int board, int axis, int direction, int position) {
  if (direction != 1 && direction != -1) return -1;
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t now) {
    AxisMotion& m = a.motion;
    (direction > 0 ? m.hasPlusLimit : m.hasMinusLimit) = true;
    (direction > 0 ? m.plusLimit : m.minusLimit) = position;
    Replan(a, now);
    SettleAxis(a, now);
    return 0;
  });
}

int QUORVA_SIM_ClearEndLimitPositions(int board, int axis) {
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t now) {
    a.motion.hasPlusLimit = a.motion.hasMinusLimit = false;
    Replan(a, now);
    return 0;
  });
}

int QUORVA_SIM_SetHomePosition(int board, int axis, int position, int width) {
  if (width < 0) return -1;
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t now) {
    a.motion.homePosition = position;
    a.motion.homeWidth = width;
    Replan(a, now);  // a searching axis looks for the switch where it is now
    SettleAxis(a, now);
    return 0;
  });
}

int QUORVA_SIM_SetFollowingError(int board, int axis, int pulses) {
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t) {
    AxisMotion& m = a.motion;
    const std::int64_t change = static_cast<std::int64_t>(pulses) - m.followingError;
    m.followingError = pulses;
    m.actualOrigin -= change;
    std::uint32_t& actual = a.registers[reg::kActualCounter];
    actual = static_cast<std::uint32_t>(SignExtend28(actual) - change) & 0x0FFFFFFF;
    a.registers[reg::kDeviation] = static_cast<std::uint32_t>(pulses);
    return 0;
  });
}

int QUORVA_SIM_TurnPulser(int board, int axis, int pulses, double rate) {
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t now) {
    return TurnWheel(a, pulses, rate, now) ? 0 : -1;
  });
}

int QUORVA_SIM_GetAxisState(int board, int axis, QUORVA_SIM_AXIS_STATE* state) {
  if (state == nullptr) return -1;
  return WithAxis(board, axis, [&](SimAxis& a, std::int64_t) {
    const AxisMotion& m = a.motion;
    const bool running = m.phase == AxisMotion::Phase::kRunning;
    *state = {};
    state->position = ExactPosition(a);
    state->speed = SpeedPps(a);
    state->startTime = SecondsOf(m.startNs);
    if (m.phase == AxisMotion::Phase::kIdle) {
      state->endTime = SecondsOf(m.endNs);
    } else if (running && std::isfinite(m.plan.EndTime())) {
      state->endTime = SecondsOf(m.planOriginNs) + m.plan.EndTime();
    } else {
      state->endTime = -1;
    }
    state->busy = running ? 1 : m.phase == AxisMotion::Phase::kWaiting ? 2 : 0;
    state->state = static_cast<int>(running ? m.state : 0);
    state->stopCauses = m.stopCauses;
    state->direction = m.direction;
    return 0;
  });
}

}  // extern "C"
