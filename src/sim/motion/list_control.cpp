// The List motion block of the simulator's control interface: the entries the driver received.
#include <cstring>

#include "VarnDasQvSim.h"
#include "sim/sim_bus.h"

using namespace quorva;
using namespace quorva::sim;

static_assert(sizeof(ListEntry) == QUORVA_SIM_LIST_ENTRY_BYTES);

extern "C" {

int QUORVA_SIM_ListEntryCount(int board) {
  return SimBus::Instance().WithBoard(
      board, [](SimBoard& b) { return static_cast<int>(b.list.entries.size()); });
}

int QUORVA_SIM_GetListEntry(int board, int index, void* entry) {
  return SimBus::Instance().WithBoard(board, [&](SimBoard& b) {
    const auto& entries = b.list.entries;
    if (entry == nullptr || index < 0 || static_cast<std::size_t>(index) >= entries.size()) {
      return -1;
    }
    std::memcpy(entry, &entries[static_cast<std::size_t>(index)], sizeof(ListEntry));
    return 0;
  });
}

}  // extern "C"
