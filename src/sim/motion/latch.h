// Latches of the simulated controller and the driver's latch queue.
//
// On an edge of its latch input an axis copies its counters, as they stand at that instant, into
// the latch registers 45-48 and sets the latch state (bit 14 of register 51). While its queue is
// enabled, the latched value of the queue's counter is appended to it. Pulses on the input can
// be scheduled at future instants; they take effect when simulated time reaches them, in order.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace quorva::sim {

struct SimAxis;
struct SimBoard;

inline constexpr std::uint32_t kLatchQueueLimit = 100000;
inline constexpr std::uint32_t kLatchCounterCodes = 4;  // C, A, D, G

struct LatchItem {
  std::int32_t value = 0;  // pulses (or speed steps, see latch.cpp)
  std::int32_t counter = 0;
};

struct LatchQueue {
  std::uint32_t size = 0;     // items it holds at most
  std::uint32_t counter = 0;  // code of the counter it collects
  bool enabled = false;
  std::deque<LatchItem> items;  // oldest first
};

struct LatchPulse {
  std::int64_t atNs = 0;
  int axis = 0;
};

// Latches the axis's counters as they stand (the axis settled to the instant of the latch).
void Latch(SimAxis& axis);
// The latch input becomes active or inactive: latches on the edge bit 23 of register 28 selects
// (clear: becoming active; set: becoming inactive).
void SetLatchInput(SimAxis& axis, bool active, std::int64_t nowNs);
// Adds a pulse to the board's pending pulses, which stay in time order.
void ScheduleLatchPulse(SimBoard& board, int axis, std::int64_t atNs);

// Queue size, dropping the newest items beyond it.
void ResizeLatchQueue(LatchQueue& queue, std::uint32_t size);

}  // namespace quorva::sim
