// Latch input configuration and the latched counters of an axis. The controller copies the
// counters into registers 45-48 on an edge of the latch input; nothing of it is kept here.
#include <algorithm>

#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"
#include "motion/io/counter_values.h"
#include "motion/io/signal_fields.h"

using namespace quorva;

namespace {

using enum FieldEncoding;

constexpr int kEnvironment5 = 32;
constexpr int kLatchedCounters = 45;  // + counter code: C, A, D, G
constexpr int kLatchStatus = 51;
constexpr int kLatchStateBit = 14;
constexpr int kDeviationCode = 2;
constexpr int kLastCounterCode = 3;
// Bit 14 of environment 5: the deviation latch holds the speed in steps.
constexpr std::uint32_t kLatchSpeed = 1u << 14;
constexpr double kReferenceRate = 19660800.0;

// first (set for 1 or more), second (0-1).
constexpr SignalField kLtcFields[] = {Field(reg::kEnvironment1, 23, 1, 0, kAtLeastOne),
                                      Field(kEnvironment5, 14, 1, 1, kClamped)};
constexpr SignalLayout kLtc{kLtcFields, true};

int LatchAxis(int axis) {
  return std::clamp(axis, 0, kMaxAxes - 1);
}

// Pulses per second of a latched speed of `steps` at the magnification in force.
int LatchedSpeed(QUORVA_HANDLE handle, int axis, std::uint32_t steps) {
  const double magnification = AxisRegRead(handle, axis, reg::kMagnificationInForce);
  return static_cast<int>(steps * kReferenceRate / ((magnification + 1) * 65536));
}

}  // namespace

extern "C" {

void QUORVA_MC_SetMioCfgLTC(QUORVA_HANDLE handle, int axis, int first, int second) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgLTC(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               first, second);
  SignalFieldsWrite(handle, axis, kLtc, {first, second});
}

void QUORVA_MC_GetMioCfgLTC(QUORVA_HANDLE handle, int axis, int* first, int* second) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgLTC(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(first), TraceWord(second));
  SignalFieldsRead(handle, axis, kLtc, {first, second});
}

int QUORVA_MC_ReadLatchCounter(QUORVA_HANDLE handle, int axis, int counter) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_ReadLatchCounter(0x%x, %d, %d)", TraceWord(handle),
               axis, counter);
  axis = LatchAxis(axis);
  counter = std::clamp(counter, 0, kLastCounterCode);
  const std::uint32_t raw = AxisRegRead(handle, axis, kLatchedCounters + counter);
  if (counter != kDeviationCode) return SignExtend28(raw);
  if ((AxisRegRead(handle, axis, kEnvironment5) & kLatchSpeed) != 0) {
    return LatchedSpeed(handle, axis, raw & 0xFFFF);
  }
  return SignExtend16(raw);
}

int QUORVA_MC_GetLatchState(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetLatchState(0x%x, %d)", TraceWord(handle), axis);
  return static_cast<int>(AxisRegRead(handle, LatchAxis(axis), kLatchStatus) >> kLatchStateBit &
                          1u);
}

}  // extern "C"
