// The status words and register 49 as the controller composes them from the axis's motion,
// its input signals and its outputs. Bits a test set through the control interface stay set.
#include "sim/motion/axis_controller.h"
#include "sim/motion/home_search.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kIoSpaceLow = 1;   // board double-words of axes 0-3
constexpr std::uint32_t kIoSpaceHigh = 3;  // and of axes 4-7
constexpr std::uint32_t kElLogicOffset = 4;
constexpr std::uint32_t kPulseOffOffset = 5;

bool Input(const SimAxis& axis, int signal) {
  return (axis.motion.inputs >> signal & 1u) != 0;
}

std::uint32_t Bit(bool on, std::uint32_t bit) {
  return on ? bit : 0;
}

// EL-logic and pulse-output bits the library keeps in the board double-words.
std::uint32_t BoardWordBits(const SimBoard& board, int axis) {
  const std::uint32_t space = axis < 4 ? kIoSpaceLow : kIoSpaceHigh;
  const int g = axis % 4;
  const auto bitOf = [&](std::uint32_t offset) {
    const auto it = board.ioWords.find(WordKey(space, offset));
    return it != board.ioWords.end() && (it->second >> g & 1u) != 0;
  };
  return Bit(bitOf(kElLogicOffset), kSignalElLogic) | Bit(bitOf(kPulseOffOffset), kSignalPulseOff);
}

std::uint32_t SignalStatus(const SimBoard& board, int axis) {
  const SimAxis& a = board.axes[static_cast<std::size_t>(axis)];
  return a.motion.outputs | BoardWordBits(board, axis) |
         Bit(Input(a, QUORVA_SIM_INPUT_ALARM), kSignalAlarm) |
         Bit(EndLimitActive(a, 1), kSignalElPlus) | Bit(EndLimitActive(a, -1), kSignalElMinus) |
         Bit(Input(a, QUORVA_SIM_INPUT_HOME) || HomeSwitchActive(a), kSignalHome);
}

// Soft limit reached: comparator 1 or 2 set as a soft limit and the counter at or past it.
std::uint32_t SoftLimitBits(const SimAxis& axis) {
  const std::int64_t now = CommandPosition(axis);
  const bool minus = SoftLimitEnabled(axis, -1) && now <= SoftLimitPosition(axis, -1);
  const bool plus = SoftLimitEnabled(axis, 1) && now >= SoftLimitPosition(axis, 1);
  return Bit(minus, kStatusSoftLimitMinus) | Bit(plus, kStatusSoftLimitPlus);
}

}  // namespace

std::uint32_t RegisterValue(const SimAxis& axis, std::uint32_t number) {
  if (number != reg::kExtendedStatus) return axis.registers[number];
  return axis.registers[number] | axis.motion.stopCauses | SoftLimitBits(axis) |
         Bit(Input(axis, QUORVA_SIM_INPUT_INP), kStatusInPosition) |
         Bit(Input(axis, QUORVA_SIM_INPUT_LATCH), kStatusLatch);
}

std::uint32_t StatusWord(const SimBoard& board, int axis, std::uint32_t offset) {
  const SimAxis& a = board.axes[static_cast<std::size_t>(axis)];
  const std::uint32_t stored = a.mainStatus[offset];
  if (offset == 0) {
    return stored | Bit(a.motion.phase != AxisMotion::Phase::kIdle, kMainBusy) |
           Bit(ErrorPending(a), kMainError) | Bit(a.motion.overrideRefused, kMainOverrideRefused);
  }
  if (offset == 1) return stored | SignalStatus(board, axis);
  return stored;
}

}  // namespace quorva::sim
