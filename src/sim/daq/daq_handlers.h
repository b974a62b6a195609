// The acquisition handlers of the simulated driver, by area, and what they share.
#pragma once

#include <cstdint>

#include "sim/sim_handlers.h"

namespace quorva::sim {

// Writes the scans acquired by `nowNs` into the rings of both scan engines. Every acquisition
// request runs it first, so rings fill lazily, up to the time of the request that looks.
void CatchUpScans(SimBoard& board, std::int64_t nowNs);

// A handler that first brings the board's scans up to the request's time.
template <Handler handler>
int Synced(SimBoard& board, const SimRequest& request) {
  CatchUpScans(board, request.NowNs());
  return handler(board, request);
}

// Latches `states` into the bits of `mask` of output group `group` (channels the board does not
// have stay 0); false for a group that does not exist.
bool SetDigitalOutputs(SimBoard& board, std::uint32_t group, std::uint32_t mask,
                       std::uint32_t states);
// Sets or clears output `channel`; false for a channel the board does not have.
bool SetDigitalOutput(SimBoard& board, std::uint32_t channel, bool on);

void AddAnalogInputHandlers(HandlerTable& table);
void AddUs1Handlers(HandlerTable& table);
void AddUs2Handlers(HandlerTable& table);
void AddDigitalHandlers(HandlerTable& table);
void AddSerialHandlers(HandlerTable& table);
void AddAnalogOutputHandlers(HandlerTable& table);
void AddCounterHandlers(HandlerTable& table);

// The engines' halves of CatchUpScans.
void CatchUpUs1(SimBoard& board, std::int64_t nowNs);
void CatchUpUs2(SimBoard& board, std::int64_t nowNs);

}  // namespace quorva::sim
