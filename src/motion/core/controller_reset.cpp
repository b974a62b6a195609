// QUORVA_MC_ResetAxis and QUORVA_MC_Reset.
#include "device/board_table.h"
#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/controller_init.h"
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

// Every general digital output off, except on the board whose outputs are its own.
void ClearGeneralOutputs(Handle handle, const MotionContext& context) {
  if (context.deviceId != kDriverDescribedBoard) DriverCall(handle, cmd::kDoPutAll, 0u);
}

}  // namespace

extern "C" {

void QUORVA_MC_ResetAxis(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_ResetAxis(0x%x, %d)", TraceWord(handle), axis);
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  AxisCommand(handle, axis, 0, axiscmd::kEmergencyStop);
  do {
    AxisCommand(handle, axis, 0, axiscmd::kReset);
  } while (QUORVA_MC_Done(handle, axis) == 0);
  AxisCommand(handle, axis, 0, axiscmd::kClearState);
  if (AxisValid(context, axis)) {
    context->moveStartPos[axis] = 0;
    context->moveTargetPos[axis] = 0;
  }
  ClearGeneralOutputs(handle, *context);
}

void QUORVA_MC_Reset(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_Reset(0x%x)", TraceWord(handle));
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  {
    TraceQuietScope quiet;
    for (int axis = 0; axis < context->axisCount; ++axis)
      QUORVA_MC_ResetAxis(handle, axis);
  }
  InitController(handle, context->deviceId, *context);
  for (int axis = 0; axis < context->axisCount; ++axis)
    AxisCommand(handle, axis, 1, 0xFF);
  ClearGeneralOutputs(handle, *context);
}

}  // extern "C"
