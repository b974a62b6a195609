#include "motion/io/board_words.h"

#include "motion/core/motion_context.h"

namespace quorva {
namespace {

constexpr int kGroupSize = 4;
constexpr int kFirstGroupSpace = 1;
constexpr int kSecondGroupSpace = 3;

}  // namespace

std::optional<AxisBoardSite> AxisBoardSiteOf(Handle handle, int axis) {
  if (!AxisInTables(axis) || ContextOf(handle) == nullptr) return std::nullopt;
  if (axis < kGroupSize) return AxisBoardSite{kFirstGroupSpace, axis};
  return AxisBoardSite{kSecondGroupSpace, axis - kGroupSize};
}

std::uint32_t BoardWordRead(Handle handle, const AxisBoardSite& site, unsigned offset) {
  return QUORVA_Inpdw(handle, site.space, offset);
}

int BoardWordWrite(Handle handle, const AxisBoardSite& site, unsigned offset, std::uint32_t value) {
  return QUORVA_Outpdw(handle, site.space, offset, value);
}

void BoardWordUpdateBits(Handle handle, const AxisBoardSite& site, unsigned offset,
                         std::uint32_t bits, std::uint32_t mask) {
  const std::uint32_t value = BoardWordRead(handle, site, offset);
  BoardWordWrite(handle, site, offset, bits | (value & ~mask));
}

}  // namespace quorva
