#include "motion/commands/axis_list.h"

#include <cstdio>

namespace quorva {
namespace {

constexpr int kMaxListedAxes = 8;

template <typename Value>
std::string FormatList(int count, const Value* values, const char* format) {
  std::string text = "[";
  char item[48];
  for (int i = 0; values != nullptr && i < count && i < kMaxListedAxes; ++i) {
    if (i > 0) text += ',';
    std::snprintf(item, sizeof item, format, values[i]);
    text += item;
  }
  return text + "]";
}

}  // namespace

bool ValidAxisList(int count, const int* axes, const void* values) {
  if (count < 0 || count > kMaxListedAxes) return false;
  if (count == 0) return true;
  if (axes == nullptr || values == nullptr) return false;
  std::uint32_t seen = 0;
  for (int i = 0; i < count; ++i) {
    if (axes[i] < 0 || axes[i] >= kMaxListedAxes || (seen >> axes[i] & 1u) != 0) return false;
    seen |= 1u << axes[i];
  }
  return true;
}

int PrintableCount(int count, const int* axes, const void* values) {
  return count >= 0 && count <= kMaxListedAxes && axes != nullptr && values != nullptr ? count : 0;
}

std::uint32_t AxisListMask(int count, const int* axes) {
  std::uint32_t mask = 0;
  for (int i = 0; i < count; ++i)
    mask |= 1u << axes[i];
  return mask;
}

std::string TraceList(int count, const int* values) {
  return FormatList(count, values, "%d");
}

std::string TraceList(int count, const double* values) {
  return FormatList(count, values, "%.3f");
}

}  // namespace quorva
