// Raw register and main-space access, the controller version, and the register snapshot.
#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

constexpr int kSnapshotWordsPerAxis = 60;

}  // namespace

extern "C" {

unsigned int QUORVA_MC_ReadMainSpace(QUORVA_HANDLE handle, int axis, int offset) {
  return AxisStatusRead(handle, axis, offset);
}

int QUORVA_MC_WriteMainSpace(QUORVA_HANDLE handle, int axis, int offset, unsigned int value) {
  return DriverCall(handle, cmd::kAxisMainWrite, axis, offset, value);
}

unsigned int QUORVA_MC_ReadRegister(QUORVA_HANDLE handle, int axis, int reg) {
  return DriverRead(handle, cmd::kAxisRegRead, axis, reg);
}

int QUORVA_MC_WriteRegister(QUORVA_HANDLE handle, int axis, int reg, unsigned int value) {
  return DriverCall(handle, cmd::kAxisRegWrite, axis, reg, value);
}

void QUORVA_MC_GetDeviceVer(QUORVA_HANDLE handle, int* version, int* second) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetDeviceVer(0x%x, 0x%x, 0x%x)", TraceWord(handle),
               TraceWord(version), TraceWord(second));
  DriverCall(handle, cmd::kControllerVersion, version, second);
}

void QUORVA_MC_ReadAllRegs(QUORVA_HANDLE handle, unsigned int* values) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr || values == nullptr) return;
  const int axes = context->axisCount;
  auto word = [values](int axis, int index) -> unsigned int& {
    return values[kSnapshotWordsPerAxis * axis + index];
  };
  for (int axis = 0; axis < axes; ++axis)
    word(axis, 0) = AxisStatusRead(handle, axis, 0);
  for (int r = 0; r <= 41; ++r) {
    for (int axis = 0; axis < axes; ++axis)
      word(axis, r + 1) = AxisRegRead(handle, axis, 16 + r);
  }
  for (int r = 0; r <= 12; ++r) {
    for (int axis = 0; axis < axes; ++axis)
      word(axis, r + 43) = AxisRegRead(handle, axis, r);
  }
}

}  // extern "C"
