// The simulated driver as a transport backend.
#include "platform/backend.h"
#include "sim/sim_bus.h"

namespace quorva {
namespace {

QUORVA_HANDLE SimOpen(int index, std::uint32_t* error) {
  return sim::SimBus::Instance().Open(index, error);
}
int SimSend(QUORVA_HANDLE handle, const DriverPacket& packet) {
  return sim::SimBus::Instance().Send(handle, packet);
}
void SimClose(QUORVA_HANDLE handle) {
  sim::SimBus::Instance().Close(handle);
}

void SimRelease() {
  sim::SimBus::Instance().Release();
}

void SimAwaitProgress() {
  sim::SimBus::Instance().AwaitProgress();
}

std::int64_t SimClockNs() {
  return sim::SimBus::Instance().ClockNs();
}

constexpr DriverBackend kSimBackend{"sim",      SimOpen,          SimSend,   SimClose,
                                    SimRelease, SimAwaitProgress, SimClockNs};

}  // namespace

const DriverBackend& SimulatedDriverBackend() {
  return kSimBackend;
}

}  // namespace quorva
