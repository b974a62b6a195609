// QUORVA_MC_GetIntStatus: the interrupt status words of an axis, straight from the driver.
#include "device/commands.h"
#include "device/driver_call.h"
#include "device/trace.h"

using namespace quorva;

namespace {

constexpr int kErrorWordBits = 0x3FFFF;  // 18 significant bits
constexpr int kEventWordBits = 0xFFFFF;  // 20 significant bits

}  // namespace

extern "C" void QUORVA_MC_GetIntStatus(QUORVA_HANDLE handle, int axis, int* errorWord,
                                       int* eventWord) {
  QUORVA_TRACE(kTracePolling, "QUORVA_MC_GetIntStatus(0x%x, %d)", TraceWord(handle), axis);
  DriverCall(handle, cmd::kIntStatus, axis, errorWord, eventWord);
  if (errorWord != nullptr) *errorWord &= kErrorWordBits;
  if (eventWord != nullptr) *eventWord &= kEventWordBits;
}
