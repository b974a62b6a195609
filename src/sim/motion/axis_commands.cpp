// Axis commands written to main-space offset 0. The low byte is the command; bits 8-11 add
// the axes of the same four-axis chip that they select (bit 8 = the chip's first axis), so
// one word starts, stops or releases (command 42: axes waiting for the start signal start)
// several axes in the same instant. A start of axes set for
// interpolation runs them along one path, and a stop of any axis of a path stops all of it
// (interpolation.h).
#include "sim/motion/axis_controller.h"
#include "sim/motion/interpolation.h"

namespace quorva::sim {
namespace {

namespace code {
inline constexpr std::uint32_t kReset = 4;
inline constexpr std::uint32_t kStopAtOnce = 5;
inline constexpr std::uint32_t kStartSignal = 6;
inline constexpr std::uint32_t kServoOn = 16;
inline constexpr std::uint32_t kPulseOutputOn = 18;
inline constexpr std::uint32_t kElLogicOff = 19;
inline constexpr std::uint32_t kServoOff = 24;
inline constexpr std::uint32_t kPulseOutputOff = 26;
inline constexpr std::uint32_t kElLogicOn = 27;
inline constexpr std::uint32_t kErcOn = 36;
inline constexpr std::uint32_t kErcOff = 37;
inline constexpr std::uint32_t kResetState = 38;
inline constexpr std::uint32_t kReleaseWaiting = 42;
inline constexpr std::uint32_t kApplyPreRegisters = 43;
inline constexpr std::uint32_t kStopAtOnceList = 73;
inline constexpr std::uint32_t kDecelerate = 0x4A;
inline constexpr std::uint32_t kStartFirst = 0x51;
inline constexpr std::uint32_t kStartLast = 0x53;
inline constexpr std::uint32_t kPathCompletion = 85;
}  // namespace code

bool IsStart(std::uint32_t command) {
  return command >= code::kStartFirst && command <= code::kStartLast;
}

bool IsStop(std::uint32_t command) {
  return command == code::kDecelerate || command == code::kStopAtOnce ||
         command == code::kStopAtOnceList || command == code::kReset ||
         command == code::kResetState;
}

constexpr int kChipAxes = 4;

std::uint32_t ChipAxisBits(std::uint32_t word) {
  return word >> 8 & 0xF;
}

void SetOutput(SimAxis& axis, std::uint32_t bit, bool on) {
  if (on) {
    axis.motion.outputs |= bit;
  } else {
    axis.motion.outputs &= ~bit;
  }
}

void Apply(SimAxis& axis, std::uint32_t command, std::int64_t nowNs) {
  if (IsStart(command)) {
    StartAxis(axis, command, nowNs);
    return;
  }
  switch (command) {
    case code::kDecelerate:
      DecelerateAxis(axis, 0, nowNs);
      break;
    case code::kStopAtOnce:
    case code::kStopAtOnceList:
      StopAxisNow(axis, 0, nowNs);
      break;
    case code::kReset:
    case code::kResetState:
      ResetAxis(axis, nowNs);
      break;
    case code::kApplyPreRegisters:
      ApplyPreRegisters(axis, nowNs);
      break;
    case code::kPathCompletion:
      CompletePath(axis, nowNs);
      break;
    case code::kReleaseWaiting:
      ReleaseAxis(axis, nowNs);
      break;
    case code::kServoOn:
    case code::kServoOff:
      SetOutput(axis, kSignalServoOff, command == code::kServoOff);
      break;
    case code::kErcOn:
    case code::kErcOff:
      SetOutput(axis, kSignalErc, command == code::kErcOn);
      break;
    case code::kPulseOutputOn:
    case code::kPulseOutputOff:
      SetOutput(axis, kSignalPulseOff, command == code::kPulseOutputOff);
      break;
    case code::kElLogicOn:
    case code::kElLogicOff:
      SetOutput(axis, kSignalElLogic, command == code::kElLogicOn);
      break;
    default:
      break;  // other commands change nothing the simulator models
  }
}

// The start signal: the waiting axes of the chip selected in bits 8-11, or, without axis
// bits, every waiting axis of the board (both chips share the signal line).
void StartSignal(SimBoard& board, int axis, std::uint32_t word, std::int64_t nowNs) {
  const std::uint32_t bits = ChipAxisBits(word);
  const int chip = axis / kChipAxes * kChipAxes;
  for (int a = 0; a < kAxes; ++a) {
    const bool selected =
        bits == 0 || (a >= chip && a < chip + kChipAxes && (bits >> (a - chip) & 1u) != 0);
    if (selected) ReleaseAxis(board.axes[static_cast<std::size_t>(a)], nowNs);
  }
}

}  // namespace

void ExecuteAxisCommand(SimBoard& board, int axis, std::uint32_t word, std::int64_t nowNs) {
  const std::uint32_t command = word & 0xFF;
  if (command == code::kStartSignal) {
    StartSignal(board, axis, word, nowNs);
    return;
  }
  const int chip = axis / kChipAxes * kChipAxes;
  std::uint32_t named = ChipAxisBits(word) | 1u << (axis - chip);
  if (IsStart(command)) named &= ~StartPaths(board, chip, named, axis, command, nowNs);
  if (IsStop(command)) named = WithPathPartners(board, chip, named);
  for (int i = 0; i < kChipAxes; ++i) {
    if ((named >> i & 1u) == 0) continue;
    SimAxis& target = board.axes[static_cast<std::size_t>(chip + i)];
    SettleAxis(target, nowNs);
    Apply(target, command, nowNs);
  }
}

}  // namespace quorva::sim
