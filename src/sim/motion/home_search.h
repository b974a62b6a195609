// Home searches of the simulated controller: operation codes 16 and 24 (a plain search) and
// 21 and 29 (an automatic search). The controller runs them as moves of their own kind; these
// functions tell it what is special about them (their speed register, the origin that ends
// the approach, what follows it) and model the home switch as the moving axis sees it.
#pragma once

#include <cstdint>

#include "sim/sim_board.h"

namespace quorva::sim {

namespace reg {
inline constexpr std::uint32_t kHomeOffset = 16;  // the amount register in force holds it
inline constexpr std::uint32_t kSearchSpeed = 27;
inline constexpr std::uint32_t kEnvironment3 = 30;  // home mode in bits 0-3
}  // namespace reg

// The cause with which a plan ends where the search finds its origin. Internal: it never
// reaches register 49.
inline constexpr std::uint32_t kCauseHomeOrigin = 1u << 31;

// The low byte of `mode` is a home-search operation code.
bool IsHomeSearch(std::uint32_t mode);
// 1 or -1: the direction of a home-search operation code.
int HomeSearchDirection(std::uint32_t mode);

// Sets up the search of an axis that starts with its mode in force (no search for any other
// operation).
void BeginHomeSearch(SimAxis& axis);
// The speed register that gives the running move its high speed: the search speed during a
// search.
std::uint32_t HighSpeedRegister(const SimAxis& axis);
// Distance from the start of the present move at which its search reaches the origin;
// infinite when the axis is not approaching an origin or has none ahead.
double HomeOriginDistance(const SimAxis& axis);
// The plan of a searching axis ended at `endNs`. True when the search goes on (the offset move
// has started); false when the axis finishes now, with the cause the search leaves in
// `causeAtEnd` and, at the end of an automatic search, counters that read 0.
bool ContinueHomeSearch(SimAxis& axis, std::int64_t endNs);

// The home switch placed with the control interface, as the axis sees it now.
bool HomeSwitchActive(const SimAxis& axis);

}  // namespace quorva::sim
