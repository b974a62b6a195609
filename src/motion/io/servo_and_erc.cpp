// Axis commands that drive the servo-on and deviation-counter clear (ERC) outputs.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"

using namespace quorva;

namespace {

// Servo-on command codes: [0] switches the servo on, [1] off.
constexpr std::uint32_t dwSvonCtrlVal[2] = {16, 24};
constexpr std::uint32_t kErcOut = 36;
constexpr std::uint32_t kErcReset = 37;

}  // namespace

extern "C" {

void QUORVA_MC_ServoOn(QUORVA_HANDLE handle, int axis, int on) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_ServoOn(0x%x, %d, %d)", TraceWord(handle), axis, on);
  AxisCommand(handle, axis, 0, dwSvonCtrlVal[on == 0 ? 1 : 0]);
}

int QUORVA_MC_ErcOut(QUORVA_HANDLE handle, int axis) {
  return AxisCommand(handle, axis, 0, kErcOut);
}

int QUORVA_MC_ErcReset(QUORVA_HANDLE handle, int axis) {
  return AxisCommand(handle, axis, 0, kErcReset);
}

}  // extern "C"
