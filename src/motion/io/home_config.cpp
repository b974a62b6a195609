// Home-search configuration of an axis: home mode and count in environment 3, flags A and C in
// environment 1, flag B in environment 2. The registers are the only copy.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/io/signal_fields.h"

using namespace quorva;

namespace {

constexpr int kEnv1 = reg::kEnvironment1;
constexpr int kEnv2 = reg::kSignalConfig;
constexpr int kEnv3 = reg::kEnvironment3;

// Arguments in setter order: mode, flagA, count, flagB, flagC; written (and read back) register
// 30 first, then 28, then 29.
constexpr SignalField kHomeFields[] = {Field(kEnv3, 0, 0xF, 0), Field(kEnv3, 4, 0xF, 2),
                                       Field(kEnv1, 7, 1, 1), Field(kEnv1, 11, 1, 4),
                                       Field(kEnv2, 23, 1, 3)};
constexpr SignalLayout kHome{kHomeFields, false};

}  // namespace

extern "C" {

void QUORVA_MC_SetHomeConfig(QUORVA_HANDLE handle, int axis, int mode, int flagA, int count,
                             int flagB, int flagC) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetHomeConfig(0x%x, %d, %d, %d, %d, %d, %d)",
               TraceWord(handle), axis, mode, flagA, count, flagB, flagC);
  SignalFieldsWrite(handle, axis, kHome, {mode, flagA, count, flagB, flagC});
}

void QUORVA_MC_GetHomeConfig(QUORVA_HANDLE handle, int axis, int* mode, int* flagA, int* count,
                             int* flagB, int* flagC) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetHomeConfig(0x%x, %d, 0x%x, 0x%x, 0x%x, 0x%x, 0x%x)",
               TraceWord(handle), axis, TraceWord(mode), TraceWord(flagA), TraceWord(count),
               TraceWord(flagB), TraceWord(flagC));
  SignalFieldsRead(handle, axis, kHome, {mode, flagA, count, flagB, flagC});
}

}  // extern "C"
