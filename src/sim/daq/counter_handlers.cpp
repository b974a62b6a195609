// 32-bit counters counting in simulated time, on boards whose resource flags include 8.
#include "device/commands.h"
#include "sim/daq/daq_handlers.h"

namespace quorva::sim {
namespace {

constexpr std::uint8_t kCounterFlag = 0x08;
constexpr std::int32_t kNoSuchCounter = -1;

// The counter addressed by slot 1, or null.
Ticker* CounterOf(SimBoard& board, const SimRequest& request) {
  const std::uint32_t channel = request.U32(1);
  if ((board.resources.flags & kCounterFlag) == 0 || channel >= kCounters) return nullptr;
  return &board.daq.counters[channel];
}

int Read(SimBoard& board, const SimRequest& request) {
  const Ticker* counter = CounterOf(board, request);
  request.Store(2,
                counter != nullptr ? static_cast<std::uint32_t>(counter->At(request.NowNs())) : 0u);
  request.Store(3, counter != nullptr ? 0 : kNoSuchCounter);
  return 1;
}

int Clear(SimBoard& board, const SimRequest& request) {
  Ticker* counter = CounterOf(board, request);
  if (counter != nullptr) counter->Start(counter->Rate(), request.NowNs());
  request.Store(2, counter != nullptr ? 0 : kNoSuchCounter);
  return 1;
}

}  // namespace

void AddCounterHandlers(HandlerTable& table) {
  table.Set(cmd::kCounterRead, Synced<Read>);
  table.Set(cmd::kCounterClear, Synced<Clear>);
}

}  // namespace quorva::sim
