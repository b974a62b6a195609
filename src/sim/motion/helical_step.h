// Helical steps on the simulated controller.
//
// Model: a start command whose addressed axis holds mode 102 (clockwise) or 103
// (counter-clockwise) in pre-register 7 starts a step of the named axes: the two lowest holding
// one of those modes run an arc exactly as modes 100 and 101 do (register 0 the end point,
// register 8 the centre, relative to the start), and every other named axis holding a linear
// mode (65 or 97) moves its register-0 amount in proportion to the way along the arc, so that
// all of them arrive in the same instant. Register 12 of the addressed axis holds the arc's
// step count, from which the controller places the deceleration of a ramped step (start codes
// 0x52 and 0x53): without it such a step runs to its end without slowing down.
#pragma once

#include <cstdint>

#include "sim/motion/motion_plan.h"
#include "sim/motion/path_shape.h"
#include "sim/sim_board.h"

namespace quorva::sim {

bool IsHelicalMode(std::uint32_t mode);

// The axes of the step among `named` (board axis bits of one chip): the two lowest in a
// helical mode, and the others in a linear mode. 0 when fewer than two hold a helical mode.
std::uint32_t HelicalStepAxes(const SimBoard& board, std::uint32_t named);

// The path of the step's axes `members`, from their registers in force.
PathShape HelicalStepShape(const SimBoard& board, std::uint32_t members);

// The speed settings of a step driven by `addressed`, given its step count register.
void ApplyStepCount(const SimAxis& addressed, ProfileInputs& drive);

}  // namespace quorva::sim
