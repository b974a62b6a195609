// Interrupts of the simulated controller: what each axis has raised, under its mask, and the
// board's event that the driver signals for them.
//
// An interrupt carries cause bits of two words: the first (error causes: limit and alarm
// stops) and the second (events: move end, latch, comparators). Each cause belongs to a source,
// and a source masked by command 665 records nothing. Command 670 reports the sources with
// causes pending, command 680 the causes (and clears them).
#pragma once

#include <cstdint>
#include <span>

#include "VarnDasQvSim.h"

namespace quorva::sim {

struct SimAxis;
struct SimBoard;

// Sources: the mask bits of command 665 and the state bits of command 670.
inline constexpr std::uint32_t kIntMoveEnd = QUORVA_SIM_INT_MOVE_END;
inline constexpr std::uint32_t kIntEndLimit = QUORVA_SIM_INT_END_LIMIT;
inline constexpr std::uint32_t kIntSoftLimit = QUORVA_SIM_INT_SOFT_LIMIT;
inline constexpr std::uint32_t kIntAlarm = QUORVA_SIM_INT_ALARM;
inline constexpr std::uint32_t kIntLatch = QUORVA_SIM_INT_LATCH;
inline constexpr std::uint32_t kIntCompare = QUORVA_SIM_INT_COMPARE;

// Causes of the second word.
inline constexpr std::uint32_t kEventMoveEnd = QUORVA_SIM_INT_EVENT_MOVE_END;
inline constexpr std::uint32_t kEventLatch = QUORVA_SIM_INT_EVENT_LATCH;
// Comparator n (1-5) met its condition.
inline constexpr std::uint32_t EventCompare(int comparator) {
  return QUORVA_SIM_INT_EVENT_COMPARE1 << (comparator - 1);
}

struct AxisInterrupts {
  std::uint32_t mask = 0;         // masked sources
  std::uint32_t errorCauses = 0;  // first status word
  std::uint32_t eventCauses = 0;  // second status word
  std::uint32_t raised = 0;       // interrupts raised since the board's event was last signalled
};

// Raises one interrupt on the axis with the causes whose sources are not masked (cause bits of
// no source are never masked); nothing when every cause is masked.
void RaiseInterrupt(SimAxis& axis, std::uint32_t errorCauses, std::uint32_t eventCauses);
// A move of the axis ended; `stopCause` is the register 49 stop-cause bit, or 0.
void MoveEndInterrupt(SimAxis& axis, std::uint32_t stopCause);
// The sources whose causes are pending.
std::uint32_t PendingSources(const AxisInterrupts& interrupts);

// Signals each board's event once for every interrupt its axes raised since the last call.
void DeliverInterrupts(std::span<SimBoard> boards);
// Whether a board has an event registered.
bool AnyEventRegistered(std::span<const SimBoard> boards);

}  // namespace quorva::sim
