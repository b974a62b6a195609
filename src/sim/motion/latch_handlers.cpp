// The driver's latch queue commands (2120-2127). A request for an axis the board does not have
// is refused with nothing written.
#include <algorithm>

#include "device/commands.h"
#include "sim/motion/latch.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

constexpr std::int32_t kDelivered = QUORVA_SIM_LATCH_OK;
constexpr std::int32_t kNoItem = QUORVA_SIM_LATCH_NO_ITEM;

// Runs `action(queue)` on the request's queue; refuses a request for no axis.
template <typename Action>
int WithQueue(SimBoard& board, const SimRequest& request, Action action) {
  return WithRequestAxis(board, request, [&](SimAxis& axis) { action(axis.latchQueue); });
}

// Stores an item (or the no-item code) through slots first, first + 1 and first + 2.
void StoreItem(const SimRequest& request, int first, const LatchItem* item) {
  request.Store(first, item != nullptr ? item->value : 0);
  request.Store(first + 1, item != nullptr ? item->counter : 0);
  request.Store(first + 2, item != nullptr ? kDelivered : kNoItem);
}

int SetConfig(SimBoard& board, const SimRequest& request) {
  return WithQueue(board, request, [&](LatchQueue& queue) {
    ResizeLatchQueue(queue, std::min(request.U32(2), kLatchQueueLimit));
    queue.counter = std::min(request.U32(3), kLatchCounterCodes - 1);
  });
}

int GetConfig(SimBoard& board, const SimRequest& request) {
  return WithQueue(board, request, [&](LatchQueue& queue) {
    request.Store(2, queue.size);
    request.Store(3, queue.counter);
  });
}

int SetEnable(SimBoard& board, const SimRequest& request) {
  return WithQueue(board, request, [&](LatchQueue& queue) { queue.enabled = request.U32(2) != 0; });
}

int GetEnable(SimBoard& board, const SimRequest& request) {
  return WithQueue(board, request, [&](LatchQueue& queue) {
    request.Store(2, static_cast<std::int32_t>(queue.enabled ? 1 : 0));
  });
}

int ItemCount(SimBoard& board, const SimRequest& request) {
  return WithQueue(board, request, [&](LatchQueue& queue) {
    request.Store(2, static_cast<std::int32_t>(queue.items.size()));
  });
}

int Reset(SimBoard& board, const SimRequest& request) {
  return WithQueue(board, request, [](LatchQueue& queue) { queue.items.clear(); });
}

int Deque(SimBoard& board, const SimRequest& request) {
  return WithQueue(board, request, [&](LatchQueue& queue) {
    if (queue.items.empty()) {
      StoreItem(request, 2, nullptr);
      return;
    }
    StoreItem(request, 2, &queue.items.front());
    queue.items.pop_front();
  });
}

int PeekAt(SimBoard& board, const SimRequest& request) {
  return WithQueue(board, request, [&](LatchQueue& queue) {
    const std::uint32_t position = request.U32(2);
    StoreItem(request, 3, position < queue.items.size() ? &queue.items[position] : nullptr);
  });
}

}  // namespace

void AddLatchHandlers(HandlerTable& table) {
  table.Set(cmd::kLatchQueueSetConfig, SetConfig);
  table.Set(cmd::kLatchQueueGetConfig, GetConfig);
  table.Set(cmd::kLatchQueueSetEnable, SetEnable);
  table.Set(cmd::kLatchQueueGetEnable, GetEnable);
  table.Set(cmd::kLatchQueueItemCount, ItemCount);
  table.Set(cmd::kLatchQueueReset, Reset);
  table.Set(cmd::kLatchQueueDeque, Deque);
  table.Set(cmd::kLatchQueuePeek, PeekAt);
}

}  // namespace quorva::sim
