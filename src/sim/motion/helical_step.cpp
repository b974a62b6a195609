#include "sim/motion/helical_step.h"

#include <bit>

#include "sim/motion/axis_controller.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kHelixClockwise = 102;
constexpr std::uint32_t kHelixCounterClockwise = 103;
constexpr std::uint32_t kLinearPositioning = 65;
constexpr std::uint32_t kLinearInterpolation = 97;
constexpr std::uint32_t kStepCount = 12;

const SimAxis& AxisAt(const SimBoard& board, int axis) {
  return board.axes[static_cast<std::size_t>(axis)];
}

std::uint32_t PreMode(const SimBoard& board, int axis) {
  return AxisAt(board, axis).registers[reg::kMode] & 0xFF;
}

bool IsLinearMode(std::uint32_t mode) {
  return mode == kLinearPositioning || mode == kLinearInterpolation;
}

double InForce(const SimBoard& board, int axis, std::uint32_t number) {
  return static_cast<std::int32_t>(AxisAt(board, axis).registers[number]);
}

}  // namespace

bool IsHelicalMode(std::uint32_t mode) {
  return (mode & 0xFF) == kHelixClockwise || (mode & 0xFF) == kHelixCounterClockwise;
}

std::uint32_t HelicalStepAxes(const SimBoard& board, std::uint32_t named) {
  std::uint32_t arc = 0;
  std::uint32_t linear = 0;
  for (int axis = 0; axis < kAxes; ++axis) {
    if ((named >> axis & 1u) == 0) continue;
    if (IsHelicalMode(PreMode(board, axis)) && std::popcount(arc) < 2) {
      arc |= 1u << axis;
    } else if (IsLinearMode(PreMode(board, axis))) {
      linear |= 1u << axis;
    }
  }
  return std::popcount(arc) == 2 ? arc | linear : 0;
}

PathShape HelicalStepShape(const SimBoard& board, std::uint32_t members) {
  std::uint32_t arc = 0;
  for (int axis = 0; axis < kAxes && std::popcount(arc) < 2; ++axis) {
    if ((members >> axis & 1u) != 0 &&
        IsHelicalMode(AxisAt(board, axis).registers[reg::kModeInForce]))
      arc |= 1u << axis;
  }
  const int x = std::countr_zero(arc);
  const int y = std::countr_zero(arc & (arc - 1));
  const bool counterClockwise =
      (AxisAt(board, x).registers[reg::kModeInForce] & 0xFF) == kHelixCounterClockwise;
  PathShape shape =
      PathShape::Arc(x, y, InForce(board, x, reg::kAuxiliary), InForce(board, y, reg::kAuxiliary),
                     InForce(board, x, reg::kAmountInForce), InForce(board, y, reg::kAmountInForce),
                     counterClockwise);
  for (int axis = 0; axis < kAxes; ++axis) {
    if ((members & ~arc) >> axis & 1u)
      shape.AddLinear(axis, InForce(board, axis, reg::kAmountInForce));
  }
  return shape;
}

void ApplyStepCount(const SimAxis& addressed, ProfileInputs& drive) {
  if (addressed.registers[kStepCount] == 0) drive.rampDown = false;
}

}  // namespace quorva::sim
