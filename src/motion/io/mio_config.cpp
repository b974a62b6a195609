// Mechanical-signal configuration of an axis: alarm, limits, in-position, deviation clear,
// slow-down, direction, clear, start and stop inputs, input filter and output mask. Each
// setting lives only in its register fields; the getters read the registers back.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/io/signal_fields.h"

using namespace quorva;

namespace {

using enum FieldEncoding;
constexpr int kEnv1 = reg::kEnvironment1;
constexpr int kEnv2 = reg::kSignalConfig;
constexpr int kEnv3 = reg::kEnvironment3;
constexpr int kMode = reg::kMode;

// Arguments in setter order: first, second.
constexpr SignalField kAlmFields[] = {Field(kEnv1, 9, 1, 0), Field(kEnv1, 8, 1, 1)};
constexpr SignalField kElFields[] = {Field(kEnv1, 3, 1, 0)};
// enable, logic.
constexpr SignalField kInpFields[] = {Field(kMode, 9, 1, 0, kFlag), Field(kEnv1, 22, 1, 1)};
// flag, code.
constexpr SignalField kErcFields[] = {Field(kEnv1, 15, 1, 0), Field(kEnv1, 12, 7, 1)};
// enable, first, second, third; the three flags are written before the enable bit.
constexpr SignalField kSdFields[] = {Field(kEnv1, 6, 1, 1), Field(kEnv1, 5, 1, 2),
                                     Field(kEnv1, 4, 1, 3), Field(kMode, 8, 1, 0, kFlag)};
constexpr SignalField kDrFields[] = {Field(kEnv1, 25, 1, 0, kAtLeastOne)};
// first code (environment 3), second code (environment 1).
constexpr SignalField kClrFields[] = {Field(kEnv3, 16, 0xF, 0), Field(kEnv1, 20, 3, 1)};
// mode, input type.
constexpr SignalField kStaFields[] = {Field(kMode, 18, 1, 0, kClamped),
                                      Field(kEnv1, 18, 1, 1, kFlag)};
// Both filter bits are set together; bit 26 alone reports the setting.
constexpr SignalField kFilterFields[] = {SignalField{kEnv1, 26, 3, 0, kFlag, 1}};
constexpr SignalField kOutputMaskFields[] = {Field(kEnv2, 28, 1, 0)};

constexpr SignalLayout kAlm{kAlmFields, false};
constexpr SignalLayout kEl{kElFields, false};
constexpr SignalLayout kInp{kInpFields, false};
constexpr SignalLayout kErc{kErcFields, false};
constexpr SignalLayout kSd{kSdFields, false};
constexpr SignalLayout kDr{kDrFields, false};
constexpr SignalLayout kClr{kClrFields, false};
constexpr SignalLayout kSta{kStaFields, true};
constexpr SignalLayout kFilter{kFilterFields, false};
constexpr SignalLayout kOutputMask{kOutputMaskFields, false};

// Stop input: mode bit 24 enables it, environment 1 bit 19 selects the kind (clear: kind 1).
constexpr std::uint32_t kStopEnable = 1u << 24;
constexpr std::uint32_t kStopKindBit = 1u << 19;
constexpr int kStopOff = 0;
constexpr int kStopKind1 = 1;
constexpr int kStopKind2 = 2;

}  // namespace

extern "C" {

void QUORVA_MC_SetMioCfgALM(QUORVA_HANDLE handle, int axis, int first, int second) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgALM(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               first, second);
  SignalFieldsWrite(handle, axis, kAlm, {first, second});
}

void QUORVA_MC_GetMioCfgALM(QUORVA_HANDLE handle, int axis, int* first, int* second) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgALM(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(first), TraceWord(second));
  SignalFieldsRead(handle, axis, kAlm, {first, second});
}

void QUORVA_MC_SetMioCfgEL(QUORVA_HANDLE handle, int axis, int flag) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgEL(0x%x, %d, %d)", TraceWord(handle), axis, flag);
  SignalFieldsWrite(handle, axis, kEl, {flag});
}

void QUORVA_MC_GetMioCfgEL(QUORVA_HANDLE handle, int axis, int* flag) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgEL(0x%x, %d, 0x%x)", TraceWord(handle), axis,
               TraceWord(flag));
  SignalFieldsRead(handle, axis, kEl, {flag});
}

void QUORVA_MC_SetMioCfgINP(QUORVA_HANDLE handle, int axis, int enable, int logic) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgINP(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               enable, logic);
  SignalFieldsWrite(handle, axis, kInp, {enable, logic});
}

void QUORVA_MC_GetMioCfgINP(QUORVA_HANDLE handle, int axis, int* enable, int* logic) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgINP(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(enable), TraceWord(logic));
  SignalFieldsRead(handle, axis, kInp, {enable, logic});
}

void QUORVA_MC_SetMioCfgERC(QUORVA_HANDLE handle, int axis, int flag, int code) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgERC(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               flag, code);
  SignalFieldsWrite(handle, axis, kErc, {flag, code});
}

void QUORVA_MC_GetMioCfgERC(QUORVA_HANDLE handle, int axis, int* flag, int* code) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_GetMioCfgERC(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(flag), TraceWord(code));
  SignalFieldsRead(handle, axis, kErc, {flag, code});
}

void QUORVA_MC_SetMioCfgSD(QUORVA_HANDLE handle, int axis, int enable, int first, int second,
                           int third) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgSD(0x%x, %d, %d, %d, %d, %d)", TraceWord(handle),
               axis, enable, first, second, third);
  SignalFieldsWrite(handle, axis, kSd, {enable, first, second, third});
}

void QUORVA_MC_GetMioCfgSD(QUORVA_HANDLE handle, int axis, int* enable, int* first, int* second,
                           int* third) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgSD(0x%x, %d, 0x%x, 0x%x, 0x%x, 0x%x)",
               TraceWord(handle), axis, TraceWord(enable), TraceWord(first), TraceWord(second),
               TraceWord(third));
  SignalFieldsRead(handle, axis, kSd, {enable, first, second, third});
}

void QUORVA_MC_SetMioCfgDR(QUORVA_HANDLE handle, int axis, int flag) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgDR(0x%x, %d, %d)", TraceWord(handle), axis, flag);
  SignalFieldsWrite(handle, axis, kDr, {flag});
}

void QUORVA_MC_GetMioCfgDR(QUORVA_HANDLE handle, int axis, int* flag) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_GetMioCfgDR(0x%x, %d, 0x%x)", TraceWord(handle), axis,
               TraceWord(flag));
  SignalFieldsRead(handle, axis, kDr, {flag});
}

void QUORVA_MC_SetMioCfgCLR(QUORVA_HANDLE handle, int axis, int first, int second) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgCLR(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               first, second);
  SignalFieldsWrite(handle, axis, kClr, {first, second});
}

void QUORVA_MC_GetMioCfgCLR(QUORVA_HANDLE handle, int axis, int* first, int* second) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgCLR(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(first), TraceWord(second));
  SignalFieldsRead(handle, axis, kClr, {first, second});
}

void QUORVA_MC_SetMioCfgSTA(QUORVA_HANDLE handle, int axis, int mode, int inputType) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgSTA(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               mode, inputType);
  SignalFieldsWrite(handle, axis, kSta, {mode, inputType});
}

void QUORVA_MC_GetMioCfgSTA(QUORVA_HANDLE handle, int axis, int* mode, int* inputType) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgSTA(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(mode), TraceWord(inputType));
  SignalFieldsRead(handle, axis, kSta, {mode, inputType});
}

void QUORVA_MC_SetMioCfgSTP(QUORVA_HANDLE handle, int axis, int kind) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgSTP(0x%x, %d, %d)", TraceWord(handle), axis,
               kind);
  if (kind == kStopOff) {
    AxisModeUpdate(handle, axis, -1, 0, kStopEnable);
    return;
  }
  AxisModeUpdate(handle, axis, -1, static_cast<int>(kStopEnable), kStopEnable);
  AxisRegUpdateBits(handle, axis, reg::kEnvironment1, kind == kStopKind1 ? 0 : kStopKindBit,
                    kStopKindBit);
}

void QUORVA_MC_GetMioCfgSTP(QUORVA_HANDLE handle, int axis, int* kind) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgSTP(0x%x, %d, 0x%x)", TraceWord(handle), axis,
               TraceWord(kind));
  int result = kStopOff;
  if ((AxisRegRead(handle, axis, reg::kModeInForce) & kStopEnable) != 0) {
    const bool kind2 = (AxisRegRead(handle, axis, reg::kEnvironment1) & kStopKindBit) != 0;
    result = kind2 ? kStopKind2 : kStopKind1;
  }
  if (kind != nullptr) *kind = result;
}

void QUORVA_MC_SetFilterLogic(QUORVA_HANDLE handle, int axis, int on) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetFilterLogic(0x%x, %d, %d)", TraceWord(handle), axis,
               on);
  SignalFieldsWrite(handle, axis, kFilter, {on});
}

void QUORVA_MC_GetFilterLogic(QUORVA_HANDLE handle, int axis, int* on) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetFilterLogic(0x%x, %d, 0x%x)", TraceWord(handle),
               axis, TraceWord(on));
  SignalFieldsRead(handle, axis, kFilter, {on});
}

void QUORVA_MC_SetOutputMask(QUORVA_HANDLE handle, int axis, int mask) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetOutputMask(0x%x, %d, %d)", TraceWord(handle), axis,
               mask);
  SignalFieldsWrite(handle, axis, kOutputMask, {mask});
}

int QUORVA_MC_GetOutputMask(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetOutputMask(0x%x, %d)", TraceWord(handle), axis);
  int mask = 0;
  SignalFieldsRead(handle, axis, kOutputMask, {&mask});
  return mask;
}

}  // extern "C"
