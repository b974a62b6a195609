// The values of the last speed profile written for each axis number, shared by all boards.
#pragma once

#include "motion/core/motion_context.h"

namespace quorva {

struct ProfileRecord {
  int holdRampDown;  // nonzero: the profile computation leaves the ramp-down register alone
  double curSpeedSteps;
  double startSteps;
  double highSteps;
  double accelRate;
  double decelRate;
  double magnification;
};

extern ProfileRecord lastProfile[kMaxAxes];

}  // namespace quorva
