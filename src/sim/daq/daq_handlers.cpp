#include "sim/daq/daq_handlers.h"

namespace quorva::sim {

void CatchUpScans(SimBoard& board, std::int64_t nowNs) {
  CatchUpUs1(board, nowNs);
  CatchUpUs2(board, nowNs);
}

void AddDaqHandlers(HandlerTable& table) {
  AddAnalogInputHandlers(table);
  AddUs1Handlers(table);
  AddUs2Handlers(table);
  AddDigitalHandlers(table);
  AddSerialHandlers(table);
  AddAnalogOutputHandlers(table);
  AddCounterHandlers(table);
}

}  // namespace quorva::sim
