// The exported control interface of the simulated driver.
#include <cmath>

#include "VarnDasQvSim.h"
#include "platform/backend.h"
#include "sim/motion/axis_controller.h"
#include "sim/sim_bus.h"

using namespace quorva;
using namespace quorva::sim;

namespace {

SimBus& Bus() {
  return SimBus::Instance();
}

SimAxis* AxisOf(SimBoard& board, int axis) {
  return axis >= 0 && axis < kAxes ? &board.axes[static_cast<std::size_t>(axis)] : nullptr;
}

// Reads or writes one element of an array-valued part of a board: -1 when out of range.
template <typename Array>
int Access(Array& array, int index, unsigned int* read, const unsigned int* write) {
  if (index < 0 || static_cast<std::size_t>(index) >= array.size()) return -1;
  if (write != nullptr) array[static_cast<std::size_t>(index)] = *write;
  if (read != nullptr) *read = array[static_cast<std::size_t>(index)];
  return 0;
}

// Register reads see the motion at the present simulated time; a write acts as the library's.
int AxisRegisterAccess(int board, int axis, int reg, unsigned int* read,
                       const unsigned int* write) {
  return Bus().WithBoardAt(board, [&](SimBoard& b, std::int64_t now) {
    SimAxis* a = AxisOf(b, axis);
    if (a == nullptr || reg < 0 || static_cast<std::size_t>(reg) >= a->registers.size()) {
      return -1;
    }
    const auto number = static_cast<std::uint32_t>(reg);
    SettleAxis(*a, now);
    if (write != nullptr) {
      a->registers[number] = *write;
      AfterRegisterWrite(*a, number, now);
    }
    if (read != nullptr) *read = RegisterValue(*a, number);
    return 0;
  });
}

// Reads give the words as the driver reports them; writes set the stored bits beneath.
int MainStatusAccess(int board, int axis, int offset, unsigned int* read,
                     const unsigned int* write) {
  return Bus().WithBoardAt(board, [&](SimBoard& b, std::int64_t now) {
    SimAxis* a = AxisOf(b, axis);
    if (a == nullptr || Access(a->mainStatus, offset, nullptr, write) != 0) return -1;
    SettleAxis(*a, now);
    if (read != nullptr) *read = StatusWord(b, axis, static_cast<std::uint32_t>(offset));
    return 0;
  });
}

std::unordered_map<std::uint64_t, std::uint32_t>* SpaceOf(SimBoard& board, int space) {
  if (space == QUORVA_SIM_SPACE_MEMORY) return &board.memoryWords;
  if (space == QUORVA_SIM_SPACE_IO) return &board.ioWords;
  return nullptr;
}

}  // namespace

extern "C" {

int QUORVA_SIM_Configure(const char* boards) {
  const int count = Bus().Configure(boards);
  if (count >= 0) SelectBackend(SimulatedDriverBackend());
  return count;
}

int QUORVA_SIM_BoardCount(void) {
  return Bus().BoardCount();
}

int QUORVA_SIM_GetAxisRegister(int board, int axis, int reg, unsigned int* value) {
  return AxisRegisterAccess(board, axis, reg, value, nullptr);
}

int QUORVA_SIM_SetAxisRegister(int board, int axis, int reg, unsigned int value) {
  return AxisRegisterAccess(board, axis, reg, nullptr, &value);
}

int QUORVA_SIM_GetMainStatus(int board, int axis, int offset, unsigned int* value) {
  return MainStatusAccess(board, axis, offset, value, nullptr);
}

int QUORVA_SIM_SetMainStatus(int board, int axis, int offset, unsigned int value) {
  return MainStatusAccess(board, axis, offset, nullptr, &value);
}

int QUORVA_SIM_GetMainWritten(int board, int axis, int offset, unsigned int* value) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    SimAxis* a = AxisOf(b, axis);
    return a != nullptr ? Access(a->mainWritten, offset, value, nullptr) : -1;
  });
}

int QUORVA_SIM_GetBoardWord(int board, int space, unsigned int region, unsigned int offset,
                            unsigned int* value) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    auto* words = SpaceOf(b, space);
    if (words == nullptr) return -1;
    const auto it = words->find(WordKey(region, offset));
    if (value != nullptr) *value = it == words->end() ? 0 : it->second;
    return 0;
  });
}

int QUORVA_SIM_SetBoardWord(int board, int space, unsigned int region, unsigned int offset,
                            unsigned int value) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    auto* words = SpaceOf(b, space);
    if (words == nullptr) return -1;
    (*words)[WordKey(region, offset)] = value;
    return 0;
  });
}

int QUORVA_SIM_GetEeprom(int board, unsigned int address, unsigned int* value) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    return Access(b.eeprom, static_cast<int>(address), value, nullptr);
  });
}

int QUORVA_SIM_SetEeprom(int board, unsigned int address, unsigned int value) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    return Access(b.eeprom, static_cast<int>(address), nullptr, &value);
  });
}

int QUORVA_SIM_SetControllerVersion(int board, int version) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    b.controllerVersion = version;
    return 0;
  });
}

int QUORVA_SIM_SetForeignOpens(int board, int count) {
  return Bus().WithBoard(board, [&](SimBoard& b) {
    if (count < 0) return -1;
    b.foreignOpens = count;
    return 0;
  });
}

int QUORVA_SIM_RefuseCommand(int code) {
  Bus().RefuseCommand(code);
  return 0;
}

int QUORVA_SIM_SetClock(int mode, double factor) {
  if (mode == QUORVA_SIM_CLOCK_VIRTUAL) {
    Bus().WithClock([](SimClock& clock) { clock.UseVirtual(); });
    return 0;
  }
  if (mode != QUORVA_SIM_CLOCK_REALTIME || !std::isfinite(factor) || factor <= 0) return -1;
  Bus().WithClock([factor](SimClock& clock) { clock.UseRealTime(factor); });
  return 0;
}

int QUORVA_SIM_GetClock(int* mode, double* factor) {
  Bus().WithClock([&](const SimClock& clock) {
    const bool virtualClock = clock.CurrentMode() == SimClock::Mode::kVirtual;
    if (mode != nullptr) *mode = virtualClock ? QUORVA_SIM_CLOCK_VIRTUAL : QUORVA_SIM_CLOCK_REALTIME;
    if (factor != nullptr) *factor = virtualClock ? 1.0 : clock.Factor();
  });
  return 0;
}

double QUORVA_SIM_GetTime(void) {
  return Bus().WithClock([](SimClock& clock) { return static_cast<double>(clock.Now()) * 1e-9; });
}

int QUORVA_SIM_AdvanceTime(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0 || seconds > 1e9) return -1;
  Bus().WithClock([seconds](SimClock& clock) {
    clock.Advance(static_cast<std::int64_t>(std::llround(seconds * 1e9)));
  });
  return 0;
}

int QUORVA_SIM_RequestCount(void) {
  return Bus().WithLog([](RequestLog& log) { return static_cast<int>(log.Size()); });
}

int QUORVA_SIM_GetRequest(int index, QUORVA_SIM_REQUEST* request) {
  return Bus().WithLog([&](RequestLog& log) {
    if (request == nullptr || index < 0 || static_cast<std::size_t>(index) >= log.Size()) {
      return -1;
    }
    *request = log.At(static_cast<std::size_t>(index));
    return 0;
  });
}

void QUORVA_SIM_ClearRequests(void) {
  Bus().WithLog([](RequestLog& log) { log.Clear(); });
}

}  // extern "C"
