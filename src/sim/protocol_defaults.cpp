// The answer to every command code the driver knows and the simulator does not model
// further: accepted, with zero stored through every result address, so that no caller ever
// reads an uninitialised result.
#include <iterator>

#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

constexpr std::uint16_t Slots() {
  return 0;
}
template <typename... Rest>
constexpr std::uint16_t Slots(int slot, Rest... rest) {
  return static_cast<std::uint16_t>(1u << slot | Slots(rest...));
}

struct ResultSlots {
  std::uint32_t code;
  std::uint16_t words32;  // bit k: slot k is the address of a 32-bit result
  std::uint16_t words64;  // bit k: slot k is the address of a 64-bit result
  std::uint16_t lists32;  // bit k: slot k is the address of a list of 32 32-bit entries
};

constexpr ResultSlots kProtocol[] = {
    {0, Slots(), Slots(), Slots()},
    {2, Slots(1, 2, 4), Slots(), Slots()},
    {3, Slots(), Slots(), Slots()},
    {4, Slots(), Slots(), Slots()},
    {5, Slots(2), Slots(), Slots()},
    {6, Slots(), Slots(), Slots()},
    {7, Slots(3), Slots(), Slots()},
    {8, Slots(1), Slots(), Slots()},
    {10, Slots(), Slots(), Slots()},
    {11, Slots(), Slots(), Slots()},
    {15, Slots(), Slots(), Slots()},
    {16, Slots(), Slots(), Slots()},
    {17, Slots(3), Slots(), Slots()},
    {20, Slots(2, 3, 4, 5), Slots(), Slots()},
    {30, Slots(2), Slots(), Slots()},
    {80, Slots(6), Slots(), Slots()},
    {82, Slots(), Slots(), Slots()},
    {83, Slots(2), Slots(), Slots()},
    {84, Slots(), Slots(), Slots()},
    {86, Slots(), Slots(1), Slots()},
    {90, Slots(), Slots(), Slots()},
    {95, Slots(1), Slots(), Slots()},
    {100, Slots(1, 3), Slots(), Slots(2)},
    {108, Slots(), Slots(), Slots()},
    {110, Slots(6, 7), Slots(), Slots()},
    {111, Slots(), Slots(), Slots()},
    {112, Slots(), Slots(), Slots()},
    {113, Slots(2), Slots(), Slots()},
    {114, Slots(), Slots(), Slots()},
    {116, Slots(1), Slots(), Slots()},
    {120, Slots(), Slots(2), Slots()},
    {130, Slots(), Slots(), Slots()},
    {140, Slots(), Slots(), Slots()},
    {150, Slots(1), Slots(), Slots()},
    {160, Slots(1, 3), Slots(), Slots(2)},
    {300, Slots(2), Slots(), Slots()},
    {310, Slots(1), Slots(), Slots()},
    {315, Slots(2), Slots(), Slots()},
    {320, Slots(), Slots(), Slots()},
    {330, Slots(), Slots(), Slots()},
    {332, Slots(), Slots(), Slots()},
    {334, Slots(2), Slots(), Slots()},
    {340, Slots(), Slots(), Slots()},
    {341, Slots(1), Slots(), Slots()},
    {349, Slots(), Slots(), Slots()},
    {350, Slots(2), Slots(), Slots()},
    {352, Slots(3), Slots(), Slots()},
    {354, Slots(2), Slots(), Slots()},
    {356, Slots(2), Slots(), Slots()},
    {358, Slots(3), Slots(), Slots()},
    {360, Slots(3), Slots(), Slots()},
    {400, Slots(), Slots(), Slots()},
    {410, Slots(6), Slots(), Slots()},
    {420, Slots(), Slots(), Slots()},
    {430, Slots(3), Slots(), Slots()},
    {440, Slots(2), Slots(), Slots()},
    {450, Slots(2), Slots(), Slots()},
    {460, Slots(), Slots(), Slots()},
    {500, Slots(2, 3), Slots(), Slots()},
    {510, Slots(2), Slots(), Slots()},
    {610, Slots(), Slots(), Slots()},
    {620, Slots(), Slots(), Slots()},
    {630, Slots(3), Slots(), Slots()},
    {640, Slots(3), Slots(), Slots()},
    {650, Slots(2), Slots(), Slots()},
    {660, Slots(), Slots(), Slots()},
    {665, Slots(), Slots(), Slots()},
    {670, Slots(2), Slots(), Slots()},
    {680, Slots(2, 3), Slots(), Slots()},
    {690, Slots(), Slots(), Slots()},
    {700, Slots(), Slots(), Slots()},
    {710, Slots(2, 3), Slots(), Slots()},
    {720, Slots(), Slots(), Slots()},
    {730, Slots(), Slots(), Slots()},
    {740, Slots(), Slots(), Slots()},
    {760, Slots(), Slots(), Slots()},
    {765, Slots(), Slots(), Slots()},
    {767, Slots(1), Slots(), Slots()},
    {770, Slots(1), Slots(), Slots()},
    {780, Slots(1, 2), Slots(), Slots()},
    {1000, Slots(), Slots(), Slots()},
    {1160, Slots(5), Slots(), Slots()},
    {1162, Slots(2, 3, 4, 5, 6), Slots(), Slots()},
    {1164, Slots(6), Slots(), Slots()},
    {1166, Slots(2), Slots(), Slots()},
    {1168, Slots(2, 3, 4), Slots(), Slots()},
    {1500, Slots(1, 2, 3), Slots(), Slots()},
    {2120, Slots(), Slots(), Slots()},
    {2121, Slots(2, 3), Slots(), Slots()},
    {2122, Slots(), Slots(), Slots()},
    {2123, Slots(2), Slots(), Slots()},
    {2124, Slots(2), Slots(), Slots()},
    {2125, Slots(), Slots(), Slots()},
    {2126, Slots(2, 3, 4), Slots(), Slots()},
    {2127, Slots(3, 4, 5), Slots(), Slots()},
};

const ResultSlots* ResultSlotsOf(std::uint32_t code) {
  for (const ResultSlots& row : kProtocol) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

int StoreZeroResults(SimBoard& /*board*/, const SimRequest& request) {
  const ResultSlots* row = ResultSlotsOf(request.Code());
  if (row == nullptr) return 0;
  for (int slot = 1; slot <= 11; ++slot) {
    if ((row->words32 >> slot & 1u) != 0) request.Store(slot, std::uint32_t{0});
    if ((row->words64 >> slot & 1u) != 0) request.Store(slot, std::uint64_t{0});
    if ((row->lists32 >> slot & 1u) != 0) request.Store(slot, std::array<std::uint32_t, 32>{});
  }
  return 1;
}

}  // namespace

void AddProtocolDefaults(HandlerTable& table) {
  for (const ResultSlots& row : kProtocol)
    table.Set(row.code, StoreZeroResults);
}

}  // namespace quorva::sim
