#include "sim/motion/latch.h"

#include <algorithm>

#include "sim/motion/axis_controller.h"
#include "sim/motion/interrupts.h"
#include "sim/sim_board.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kGeneralCounter = 38;
constexpr std::uint32_t kEnvironment5 = 32;
constexpr std::uint32_t kLatched = 45;  // + counter code
constexpr std::uint32_t kDeviationLatch = kLatched + 2;
constexpr std::uint32_t kLatchStatus = 51;
constexpr std::uint32_t kLatchState = 1u << 14;
constexpr std::uint32_t kLatchOnRelease = 1u << 23;  // register 28
constexpr std::uint32_t kLatchSpeed = 1u << 14;      // register 32
constexpr std::uint32_t kDeviationCode = 2;

bool LatchesSpeed(const SimAxis& axis) {
  return (axis.registers[kEnvironment5] & kLatchSpeed) != 0;
}

// A queue item's value: C, A and G as 28-bit signed counts, D as a signed 16-bit count or, when
// the deviation latch holds the speed, the speed in steps.
std::int32_t QueuedValue(const SimAxis& axis, std::uint32_t counter) {
  const std::uint32_t raw = axis.registers[kLatched + counter];
  if (counter != kDeviationCode) return static_cast<std::int32_t>(SignExtend28(raw));
  if (LatchesSpeed(axis)) return static_cast<std::int32_t>(raw & 0xFFFF);
  return static_cast<std::int16_t>(raw & 0xFFFF);
}

void Enqueue(SimAxis& axis) {
  LatchQueue& queue = axis.latchQueue;
  if (!queue.enabled || queue.items.size() >= queue.size) return;  // a full queue drops it
  queue.items.push_back(
      {QueuedValue(axis, queue.counter), static_cast<std::int32_t>(queue.counter)});
}

}  // namespace

void Latch(SimAxis& axis) {
  auto& r = axis.registers;
  r[kLatched + 0] = r[reg::kCommandCounter];
  r[kLatched + 1] = r[reg::kActualCounter];
  r[kDeviationLatch] = LatchesSpeed(axis) ? r[reg::kSpeed] & 0xFFFF : r[reg::kDeviation];
  r[kLatched + 3] = r[kGeneralCounter];
  r[kLatchStatus] |= kLatchState;
  Enqueue(axis);
  RaiseInterrupt(axis, 0, kEventLatch);
}

void SetLatchInput(SimAxis& axis, bool active, std::int64_t nowNs) {
  const bool was = (axis.motion.inputs >> QUORVA_SIM_INPUT_LATCH & 1u) != 0;
  SetInputSignal(axis, QUORVA_SIM_INPUT_LATCH, active, nowNs);
  const bool onRelease = (axis.registers[reg::kEnvironment1] & kLatchOnRelease) != 0;
  if (was != active && active != onRelease) Latch(axis);
}

void ScheduleLatchPulse(SimBoard& board, int axis, std::int64_t atNs) {
  auto& pulses = board.latchPulses;
  const auto later =
      std::upper_bound(pulses.begin(), pulses.end(), atNs,
                       [](std::int64_t at, const LatchPulse& pulse) { return at < pulse.atNs; });
  pulses.insert(later, LatchPulse{atNs, axis});
}

void ResizeLatchQueue(LatchQueue& queue, std::uint32_t size) {
  queue.size = size;
  if (queue.items.size() > size) queue.items.resize(size);
}

}  // namespace quorva::sim
