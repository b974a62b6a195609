// Removing the gantry-mapping correction from raw counter values.
#pragma once

#include "config/gantry_correct.h"
#include "motion/core/motion_context.h"

namespace quorva {

// The logical position of the raw counts (a, b) of the mapped X and Y axes, in pulses: the
// correction that GantryCorrect adds to reach (a, b) is looked up at (a, b) itself and taken
// away. Without a usable grid the counts are returned unchanged.
GantryPoint InverseGantryCorrection(const MotionContext& context, double a, double b);

}  // namespace quorva
