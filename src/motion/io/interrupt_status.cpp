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
  // Without an answer (a handle of no board) the words read as 0, not as what the caller's
  // variables held before.
  const bool answered = DriverCall(handle, cmd::kIntStatus, axis, errorWord, eventWord) != 0;
  if (errorWord != nullptr) *errorWord = answered ? *errorWord & kErrorWordBits : 0;
  if (eventWord != nullptr) *eventWord = answered ? *eventWord & kEventWordBits : 0;
}
