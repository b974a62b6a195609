// Interrupts: the application's event handed to the driver, the masks of the axes' interrupt
// sources, their state, and the internal start signal (the status words: interrupt_status.cpp).
// These go straight to the driver: they look up no motion context and check no axis.
#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/axis_primitives.h"

using namespace quorva;

namespace {

constexpr int kGroupAxes = 4;

}  // namespace

extern "C" {

void QUORVA_MC_EnableInterrupt(QUORVA_HANDLE handle, uint64_t notification) {
  // The line prints the low 32 bits of the value, as its format reads them.
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_EnableInterrupt(0x%x, %x)", TraceWord(handle),
               static_cast<unsigned>(notification));
  std::uint32_t errorWord = 0;  // not examined: the status operations tell what happened
  DriverCall(handle, cmd::kEnableInterrupt, DriverArg::Wide(notification), &errorWord);
}

void QUORVA_MC_DisableInterrupt(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_DisableInterrupt(0x%x)", TraceWord(handle));
  DriverCall(handle, cmd::kDisableInterrupt);
}

void QUORVA_MC_MaskInterrupt(QUORVA_HANDLE handle, int axis, unsigned int mask) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_MaskInterrupt(0x%x, %d, %d)", TraceWord(handle), axis,
               static_cast<int>(mask));
  DriverCall(handle, cmd::kMaskInterrupt, axis, mask);
}

unsigned int QUORVA_MC_GetAxisIntState(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetAxisIntState(0x%x, %d)", TraceWord(handle), axis);
  return DriverRead(handle, cmd::kAxisIntState, axis);
}

void QUORVA_MC_PutIntSTA(QUORVA_HANDLE handle, int mask) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_PutIntSTA(0x%x, 0x%x)", TraceWord(handle),
               static_cast<unsigned>(mask));
  const auto bits = static_cast<std::uint32_t>(mask);
  int axis = 0;  // the lowest axis 0-7 of the mask
  if (AxisMaskToList(bits, &axis, 1) == 0) return;
  const std::uint32_t group = axis < kGroupAxes ? bits : bits >> kGroupAxes;
  AxisCommand(handle, axis, 0, axiscmd::kStartSignal + 256 * group);
}

}  // extern "C"
