#include "motion/commands/axis_list.h"

#include <cstdio>

namespace quorva {
namespace {

constexpr int kMaxListedAxes = 8;

// `Printed` is the type the format expects of each value.
template <typename Printed, typename Value>
std::string FormatList(int count, const Value* values, const char* format) {
  std::string text = "[";
  char item[48];
  for (int i = 0; values != nullptr && i < count && i < kMaxListedAxes; ++i) {
    if (i > 0) text += ',';
    std::snprintf(item, sizeof item, format, static_cast<Printed>(values[i]));
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

bool ValidAxisList(int count, const unsigned* axes, const void* values) {
  if (count < 0 || count > kMaxListedAxes || (count > 0 && axes == nullptr)) return false;
  int numbers[kMaxListedAxes] = {};
  for (int i = 0; i < count; ++i)
    numbers[i] = axes[i] < kMaxListedAxes ? static_cast<int>(axes[i]) : -1;
  return ValidAxisList(count, numbers, values);
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
  return FormatList<int>(count, values, "%d");
}

std::string TraceList(int count, const double* values) {
  return FormatList<double>(count, values, "%.3f");
}

std::string TraceList(int count, const unsigned* values) {
  return FormatList<int>(count, values, "%d");
}

}  // namespace quorva
