// Single conversions, channel ranges and the input type of the simulated analog inputs.
#include "device/commands.h"
#include "sim/daq/analog_signal.h"
#include "sim/daq/daq_handlers.h"

namespace quorva::sim {
namespace {

constexpr std::int32_t kDifferentialType = 1;

double Seconds(const SimRequest& request) {
  return static_cast<double>(request.NowNs()) * 1e-9;
}

int SetInputType(SimBoard& board, const SimRequest& request) {
  const std::int32_t type = request.I32(1);
  if (type < 0 || type > kDifferentialType) return 0;
  board.daq.inputType = type;
  return 1;
}

// Lower and upper limits in whole volts; refused unless lower < upper.
int SetRange(SimBoard& board, const SimRequest& request) {
  const std::uint32_t channel = request.U32(1);
  const std::int32_t lower = request.I32(2);
  const std::int32_t upper = request.I32(3);
  if (channel >= kMaxAnalogInputs || lower >= upper) return 0;
  board.daq.inputs[channel].vmin = lower;
  board.daq.inputs[channel].vmax = upper;
  return 1;
}

int Range(SimBoard& board, const SimRequest& request) {
  const std::uint32_t channel = request.U32(1);
  if (channel >= kMaxAnalogInputs) return 0;
  request.Store(2, std::int32_t{0});
  request.Store(3, kTopDigit);
  request.Store(4, board.daq.inputs[channel].vmin);
  request.Store(5, board.daq.inputs[channel].vmax);
  return 1;
}

int Convert(SimBoard& board, const SimRequest& request) {
  const std::uint32_t channel = request.U32(1);
  if (!AnalogInputExists(board, channel)) {
    request.Store(2, std::uint32_t{0});
    return 0;
  }
  request.Store(2, InputDigit(board, channel, Seconds(request)));
  return 1;
}

}  // namespace

void AddAnalogInputHandlers(HandlerTable& table) {
  table.Set(cmd::kAdSetInputType, Synced<SetInputType>);
  table.Set(cmd::kAdSetRange, Synced<SetRange>);
  table.Set(cmd::kAdRange, Synced<Range>);
  table.Set(cmd::kAdConvert, Synced<Convert>);
}

}  // namespace quorva::sim
