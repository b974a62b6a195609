// Interpolation on the simulated controller: the start commands that run several axes of a
// chip along one path, the completion command that brings an axis to its path's end point,
// and the rule that a path stops as a whole.
//
// Model:
// - A start command (0x51-0x53) whose addressed axis holds mode 97 in pre-register 7 starts a
//   line of the named axes (the addressed one and bits 8-11 of the word) that hold mode 97:
//   register 0 holds each axis's amount. Modes 100 (clockwise) and 101 (counter-clockwise)
//   start an arc of the two lowest named axes with that mode, X and Y: register 0 holds the end
//   point and register 8 the centre, both relative to the start.
// - The path runs the speed profile of the addressed axis's registers, as a positioning move
//   along the path (path_shape.h): every axis follows it, and all arrive in the same instant.
// - A path starts only when all its axes are idle and none is held by its alarm or an error;
//   otherwise none of them moves. With the start-signal bit (18) in the addressed axis's mode,
//   all of them wait for the signal.
// - A stop, emergency stop or reset of any axis of a running path stops every axis of it; so
//   does the alarm or an error of one of them.
// - Command 85 runs an axis whose last move was a path to that path's exact end point (its
//   start plus register 0), straight, at the correction speed (register 27 in steps of the
//   magnification in force), without ramps; an axis already there stays idle.
#pragma once

#include <cstdint>

#include "sim/sim_board.h"

namespace quorva::sim {

// Starts the paths a start word selects among the named axes of the four-axis chip from
// `chipBase` (bit i of `named` is axis chipBase + i; `addressed` is the axis the word went to).
// Returns the named axes it dealt with, which take no part in a plain start.
std::uint32_t StartPaths(SimBoard& board, int chipBase, std::uint32_t named, int addressed,
                         std::uint32_t startCode, std::int64_t nowNs);

// The named axes together with the other axes of the paths they run (bits as for StartPaths).
std::uint32_t WithPathPartners(const SimBoard& board, int chipBase, std::uint32_t named);

// Stops at once the other axes of the path `axis` ran until now.
void StopPathPartners(SimBoard& board, int axis, std::int64_t nowNs);

// Command 85 on an axis.
void CompletePath(SimAxis& axis, std::int64_t nowNs);

}  // namespace quorva::sim
