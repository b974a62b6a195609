// The latch queue: a queue per axis, kept by the driver, that collects the latched values of one
// counter so that a burst of latches is not lost between two reads. The library forwards the
// calls and turns the items it hands back into user units.
//
// The driver stores its results into words of the library's own, which are then copied to the
// caller's pointers: whatever the driver writes, nothing lands beyond the ints the caller
// passed, and a null pointer is simply skipped.
#include <algorithm>
#include <initializer_list>

#include "VarnDasQv.h"
#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

constexpr int kLastCounterCode = 3;
constexpr int kCounterC = 0;
constexpr int kCounterA = 1;

int LatchAxis(int axis) {
  return std::clamp(axis, 0, kMaxAxes - 1);
}

// One or two 32-bit results of `code`, copied to the non-null `outs` when the driver answered.
int QueueRead(QUORVA_HANDLE handle, std::uint32_t code, int axis,
              std::initializer_list<int*> outs) {
  std::int32_t words[2] = {};
  const int answered = outs.size() == 2 ? DriverCall(handle, code, axis, &words[0], &words[1])
                                        : DriverCall(handle, code, axis, &words[0]);
  if (answered == 0) return answered;
  const std::int32_t* word = words;
  for (int* out : outs) {
    if (out != nullptr) *out = *word;
    ++word;
  }
  return answered;
}

// An item as the driver hands it back; all 0 when it does not answer.
struct LatchItem {
  std::int32_t value = 0;  // pulses
  std::int32_t counter = 0;
  std::int32_t code = 0;
};

// The item's value in user units: counter C divided by the unit distance, counter A also by the
// in/out ratio (the count as it is while the ratio is 0), the others in pulses. Without a motion
// context there are no units: pulses.
double UserValue(QUORVA_HANDLE handle, int axis, const LatchItem& item) {
  const double pulses = item.value;
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return pulses;
  const double unit = context->unitDistance[axis];
  const double ratio = context->inOutRatio[axis];
  if (item.counter == kCounterC) return pulses / unit;
  if (item.counter == kCounterA) return ratio == 0 ? pulses : pulses / unit / ratio;
  return pulses;
}

int Deliver(QUORVA_HANDLE handle, int axis, const LatchItem& item, double* value) {
  if (value != nullptr) *value = UserValue(handle, axis, item);
  return item.code - QUORVA_LATCH_QUEUE_CODE_BASE;
}

}  // namespace

extern "C" {

int QUORVA_MC_LtcQueSetCfg(QUORVA_HANDLE handle, int axis, int size, int counter) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_QueSetCfg(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               size, counter);
  return DriverCall(handle, cmd::kLatchQueueSetConfig, LatchAxis(axis),
                    std::clamp(size, 0, QUORVA_LATCH_QUEUE_MAX),
                    std::clamp(counter, 0, kLastCounterCode));
}

int QUORVA_MC_LtcQueGetCfg(QUORVA_HANDLE handle, int axis, int* size, int* counter) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LtcQueGetCfg(0x%x, %d, %d, %d)", TraceWord(handle),
               axis, TraceSigned(size), TraceSigned(counter));
  return QueueRead(handle, cmd::kLatchQueueGetConfig, LatchAxis(axis), {size, counter});
}

int QUORVA_MC_LtcQueSetEnable(QUORVA_HANDLE handle, int axis, int enable) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LtcQueSetEnable(0x%x, %d, %d)", TraceWord(handle), axis,
               enable);
  return DriverCall(handle, cmd::kLatchQueueSetEnable, LatchAxis(axis), std::clamp(enable, 0, 1));
}

int QUORVA_MC_LtcQueGetEnable(QUORVA_HANDLE handle, int axis, int* enable) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LtcQueGetEnable(0x%x, %d, %d)", TraceWord(handle), axis,
               TraceSigned(enable));
  return QueueRead(handle, cmd::kLatchQueueGetEnable, LatchAxis(axis), {enable});
}

int QUORVA_MC_LtcQueGetItemCount(QUORVA_HANDLE handle, int axis, int* count) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LtcQueGetItemCount(0x%x, %d, %d)", TraceWord(handle),
               axis, TraceSigned(count));
  return QueueRead(handle, cmd::kLatchQueueItemCount, LatchAxis(axis), {count});
}

int QUORVA_MC_LtcQueResetItem(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LtcQueResetItem(0x%x, %d)", TraceWord(handle), axis);
  return DriverCall(handle, cmd::kLatchQueueReset, LatchAxis(axis));
}

int QUORVA_MC_LtcQueDeque(QUORVA_HANDLE handle, int axis, double* value) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LtcQueDeque(0x%x, %d, %d)", TraceWord(handle), axis,
               TraceSigned(value));
  axis = LatchAxis(axis);
  LatchItem item;
  DriverCall(handle, cmd::kLatchQueueDeque, axis, &item.value, &item.counter, &item.code);
  return Deliver(handle, axis, item, value);
}

int QUORVA_MC_LtcQuePeekAt(QUORVA_HANDLE handle, int axis, unsigned int position, double* value) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LtcQuePeekAt(0x%x, %d, %d)", TraceWord(handle), axis,
               static_cast<int>(position));
  axis = LatchAxis(axis);
  LatchItem item;
  DriverCall(handle, cmd::kLatchQueuePeek, axis, position, &item.value, &item.counter, &item.code);
  return Deliver(handle, axis, item, value);
}

}  // extern "C"
