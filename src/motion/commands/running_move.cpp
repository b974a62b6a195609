#include "motion/commands/running_move.h"

#include "motion/core/axis_primitives.h"

namespace quorva {

std::uint32_t OperationState(Handle handle, int axis) {
  return AxisRegRead(handle, axis, reg::kExtendedStatus) & 0xF;
}

}  // namespace quorva
