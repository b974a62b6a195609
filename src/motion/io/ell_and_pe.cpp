// EL logic and PE of an axis: one bit per axis in a board double-word, or an axis command on
// the 0xA534, whose controller takes them as commands.
#include "device/board_table.h"
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/io/board_words.h"

using namespace quorva;

namespace {

struct BoardBitSignal {
  unsigned offset;
  bool inverted;  // the word holds the inverse of the setting
  std::uint32_t commandOn;
  std::uint32_t commandOff;
};

constexpr BoardBitSignal kLimitLogic{boardword::kLimitLogic, false, 27, 19};
constexpr BoardBitSignal kPulseEnable{boardword::kPulseEnable, true, 18, 26};

void BoardBitSet(QUORVA_HANDLE handle, int axis, const BoardBitSignal& signal, int on) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  if (context->deviceId == kDriverDescribedBoard) {
    AxisCommand(handle, axis, 0, on != 0 ? signal.commandOn : signal.commandOff);
    return;
  }
  const auto site = AxisBoardSiteOf(handle, axis);
  if (!site) return;
  const std::uint32_t bit = ((on != 0) != signal.inverted) ? 1u : 0u;
  BoardWordUpdateBits(handle, *site, signal.offset, bit << site->group, 1u << site->group);
}

void BoardBitGet(QUORVA_HANDLE handle, int axis, const BoardBitSignal& signal, int* on) {
  const auto site = AxisBoardSiteOf(handle, axis);
  if (!site) return;
  const std::uint32_t bit = BoardWordRead(handle, *site, signal.offset) >> site->group & 1u;
  if (on != nullptr) *on = static_cast<int>(signal.inverted ? bit ^ 1u : bit);
}

}  // namespace

extern "C" {

void QUORVA_MC_SetELL(QUORVA_HANDLE handle, int axis, int on) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetELL(0x%x, %d, %d)", TraceWord(handle), axis, on);
  BoardBitSet(handle, axis, kLimitLogic, on);
}

void QUORVA_MC_GetELL(QUORVA_HANDLE handle, int axis, int* on) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetELL(0x%x, %d, 0x%x)", TraceWord(handle), axis,
               TraceWord(on));
  BoardBitGet(handle, axis, kLimitLogic, on);
}

void QUORVA_MC_SetPE(QUORVA_HANDLE handle, int axis, int on) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetPE(0x%x, %d, %d)", TraceWord(handle), axis, on);
  BoardBitSet(handle, axis, kPulseEnable, on);
}

void QUORVA_MC_GetPE(QUORVA_HANDLE handle, int axis, int* on) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetPE(0x%x, %d, 0x%x)", TraceWord(handle), axis,
               TraceWord(on));
  BoardBitGet(handle, axis, kPulseEnable, on);
}

}  // extern "C"
