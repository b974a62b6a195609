// QUORVA_MC_Done: whether an axis has finished its motion.
#include "device/trace.h"
#include "motion/core/axis_primitives.h"

using namespace quorva;

namespace {

constexpr std::uint32_t kMainStatusRunning = 1u << 1;

}  // namespace

extern "C" int QUORVA_MC_Done(QUORVA_HANDLE handle, int axis) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_Done(0x%x, %d)", TraceWord(handle), axis);
  return (AxisStatusRead(handle, axis, 0) & kMainStatusRunning) == 0 ? 1 : 0;
}
