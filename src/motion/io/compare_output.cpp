// Compare-output configuration of an axis, held in board double-words. The 0xA534 has no such
// words: its compare-output operations do nothing.
#include <algorithm>

#include "device/board_table.h"
#include "device/trace.h"
#include "motion/core/motion_context.h"
#include "motion/io/board_words.h"

using namespace quorva;

namespace {

constexpr std::uint32_t kWidthMask = 0xFFFF;

// The site of the axis on a board that has compare-output words.
std::optional<AxisBoardSite> CompareSiteOf(QUORVA_HANDLE handle, int axis) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr || context->deviceId == kDriverDescribedBoard) return std::nullopt;
  return AxisBoardSiteOf(handle, axis);
}

// Control bits of the axis: enable at 2g, level at 2g + 1. The level bit is kept inverted
// while the output is enabled.
std::uint32_t CompareControlBits(std::uint32_t width, int logic) {
  const std::uint32_t enable = width != 0 ? 1u : 0u;
  const std::uint32_t level = enable != 0 ? (logic <= 0 ? 1u : 0u) : (logic >= 1 ? 1u : 0u);
  return enable | level << 1;
}

}  // namespace

extern "C" {

void QUORVA_MC_SetMioCfgCMP(QUORVA_HANDLE handle, int axis, unsigned int width, int logic) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetMioCfgCMP(0x%x, %d, %d, %d)", TraceWord(handle), axis,
               static_cast<int>(width), logic);
  const auto site = CompareSiteOf(handle, axis);
  if (!site) return;
  const int shift = 2 * site->group;
  BoardWordUpdateBits(handle, *site, boardword::kCompareControl,
                      CompareControlBits(width, logic) << shift, 3u << shift);
  if (width != 0) BoardWordWrite(handle, *site, boardword::kCompareWidth + site->group, width);
}

void QUORVA_MC_GetMioCfgCMP(QUORVA_HANDLE handle, int axis, unsigned int* width, int* logic) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_GetMioCfgCMP(0x%x, %d, 0x%x, 0x%x)", TraceWord(handle),
               axis, TraceWord(width), TraceWord(logic));
  const auto site = CompareSiteOf(handle, std::clamp(axis, 0, kMaxAxes - 1));
  if (!site) return;
  const std::uint32_t control = BoardWordRead(handle, *site, boardword::kCompareControl);
  const std::uint32_t pulse = BoardWordRead(handle, *site, boardword::kCompareWidth + site->group);
  const std::uint32_t enable = control >> (2 * site->group) & 1u;
  const std::uint32_t level = control >> (2 * site->group + 1) & 1u;
  const std::uint32_t w = enable != 0 ? pulse & kWidthMask : 0;
  if (width != nullptr) *width = w;
  if (logic != nullptr) *logic = static_cast<int>(w == 0 ? level : 1u - level);
}

int QUORVA_MC_SetMioCfgCMP2(QUORVA_HANDLE handle, int axis, int a, int b) {
  const auto site = AxisBoardSiteOf(handle, axis);
  if (!site) return 0;
  const unsigned offset = boardword::kCompare2 + static_cast<unsigned>(site->group);
  BoardWordWrite(handle, *site, offset, 1);
  BoardWordWrite(handle, *site, offset, 0);
  const std::uint32_t setting =
      (static_cast<std::uint32_t>(a) & 0xFu) << 1 | static_cast<std::uint32_t>(b) << 8;
  return BoardWordWrite(handle, *site, offset, setting);
}

}  // extern "C"
