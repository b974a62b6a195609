// The simulated driver's command dispatch: one handler per command code.
#pragma once

#include <array>
#include <cstdint>

#include "sim/sim_board.h"
#include "sim/sim_request.h"

namespace quorva::sim {

// Executes one request on a board; returns the success flag.
using Handler = int (*)(SimBoard& board, const SimRequest& request);

class HandlerTable {
 public:
  static constexpr std::uint32_t kCodeLimit = 2200;

  void Set(std::uint32_t code, Handler handler) {
    if (code < kCodeLimit) handlers_[code] = handler;
  }
  // Null for a code the driver does not know.
  Handler Find(std::uint32_t code) const { return code < kCodeLimit ? handlers_[code] : nullptr; }

 private:
  std::array<Handler, kCodeLimit> handlers_{};
};

// Runs `action(axis)` on the axis that slot 1 names and accepts the request; refuses it (0) when
// the board has no such axis.
template <typename Action>
int WithRequestAxis(SimBoard& board, const SimRequest& request, Action action) {
  const std::uint32_t axis = request.U32(1);
  if (axis >= static_cast<std::uint32_t>(kAxes)) return 0;
  action(board.axes[axis]);
  return 1;
}

// Every code of the protocol, answered by storing zero through each result address.
void AddProtocolDefaults(HandlerTable& table);
// Board information, raw access, EEPROM, open count.
void AddBoardHandlers(HandlerTable& table);
// Axis registers, main space, controller version.
void AddAxisHandlers(HandlerTable& table);
// Interrupt registration, masks, state and status words.
void AddInterruptHandlers(HandlerTable& table);
// The latch queues.
void AddLatchHandlers(HandlerTable& table);
// List motion and the output addresses list output actions name.
void AddListHandlers(HandlerTable& table);
// Table-driven trigger and indexed compare-trigger.
void AddCompareHandlers(HandlerTable& table);
// The measured-speed check.
void AddSpeedCheckHandlers(HandlerTable& table);
// Analog input and scans, digital and serial I/O, analog output and waveforms, counters.
void AddDaqHandlers(HandlerTable& table);

// The table with every handler installed.
const HandlerTable& Handlers();

}  // namespace quorva::sim
