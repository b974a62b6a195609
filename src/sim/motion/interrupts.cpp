#include "sim/motion/interrupts.h"

#include <algorithm>

#include "sim/motion/axis_controller.h"
#include "sim/sim_board.h"

namespace quorva::sim {
namespace {

// The source each cause bit belongs to.
struct CauseSource {
  std::uint32_t cause;
  std::uint32_t source;
};

constexpr CauseSource kErrorSources[] = {
    {QUORVA_SIM_INT_STOP_EL_PLUS, kIntEndLimit},    {QUORVA_SIM_INT_STOP_EL_MINUS, kIntEndLimit},
    {QUORVA_SIM_INT_STOP_SOFT_PLUS, kIntSoftLimit}, {QUORVA_SIM_INT_STOP_SOFT_MINUS, kIntSoftLimit},
    {QUORVA_SIM_INT_STOP_ALARM, kIntAlarm},
};
constexpr CauseSource kEventSources[] = {
    {kEventMoveEnd, kIntMoveEnd},   {kEventLatch, kIntLatch},       {EventCompare(1), kIntCompare},
    {EventCompare(2), kIntCompare}, {EventCompare(3), kIntCompare}, {EventCompare(4), kIntCompare},
    {EventCompare(5), kIntCompare},
};

// The causes of `causes` whose sources are masked.
std::uint32_t MaskedCauses(std::span<const CauseSource> table, std::uint32_t causes,
                           std::uint32_t mask) {
  std::uint32_t masked = 0;
  for (const CauseSource& entry : table) {
    if ((mask & entry.source) != 0) masked |= causes & entry.cause;
  }
  return masked;
}

std::uint32_t SourcesOf(std::span<const CauseSource> table, std::uint32_t causes) {
  std::uint32_t sources = 0;
  for (const CauseSource& entry : table) {
    if ((causes & entry.cause) != 0) sources |= entry.source;
  }
  return sources;
}

// The error cause of a stop, by its register 49 bit and the direction of the move.
std::uint32_t StopCause(std::uint32_t stopCause, int direction) {
  const bool plus = direction > 0;
  switch (stopCause) {
    case kStatusStopEndLimit:
      return plus ? QUORVA_SIM_INT_STOP_EL_PLUS : QUORVA_SIM_INT_STOP_EL_MINUS;
    case kStatusStopSoftLimit:
      return plus ? QUORVA_SIM_INT_STOP_SOFT_PLUS : QUORVA_SIM_INT_STOP_SOFT_MINUS;
    case kStatusStopAlarm:
      return QUORVA_SIM_INT_STOP_ALARM;
    default:
      return 0;
  }
}

}  // namespace

void RaiseInterrupt(SimAxis& axis, std::uint32_t errorCauses, std::uint32_t eventCauses) {
  AxisInterrupts& state = axis.interrupts;
  errorCauses &= ~MaskedCauses(kErrorSources, errorCauses, state.mask);
  eventCauses &= ~MaskedCauses(kEventSources, eventCauses, state.mask);
  if (errorCauses == 0 && eventCauses == 0) return;
  state.errorCauses |= errorCauses;
  state.eventCauses |= eventCauses;
  ++state.raised;
}

void MoveEndInterrupt(SimAxis& axis, std::uint32_t stopCause) {
  RaiseInterrupt(axis, StopCause(stopCause, axis.motion.direction), kEventMoveEnd);
}

std::uint32_t PendingSources(const AxisInterrupts& interrupts) {
  return SourcesOf(kErrorSources, interrupts.errorCauses) |
         SourcesOf(kEventSources, interrupts.eventCauses);
}

void DeliverInterrupts(std::span<SimBoard> boards) {
  for (SimBoard& board : boards) {
    std::uint64_t raised = 0;
    for (SimAxis& axis : board.axes)
      raised += std::exchange(axis.interrupts.raised, 0u);
    if (raised != 0 && board.notification) board.notification->Signal(raised);
  }
}

bool AnyEventRegistered(std::span<const SimBoard> boards) {
  return std::any_of(boards.begin(), boards.end(),
                     [](const SimBoard& board) { return board.notification.has_value(); });
}

}  // namespace quorva::sim
