// The axis lists that multi-axis functions take: validation, masks, chip groups and the
// trace line's list formatting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorva {

// A usable list: 0 to 8 axes numbered 0 to 7, none twice, with the arrays present. A list the
// functions cannot read safely is ignored after the trace line.
bool ValidAxisList(int count, const int* axes, const void* values);
// The same rules for a list of unsigned axis numbers.
bool ValidAxisList(int count, const unsigned* axes, const void* values);

// The count of list items a trace line can print safely: `count` when 0 to 8 with both arrays
// present, else 0.
int PrintableCount(int count, const int* axes, const void* values);

// Bit a for every listed axis a.
std::uint32_t AxisListMask(int count, const int* axes);

// The listed axes of one four-axis chip, in list order, with their values.
template <typename Value>
struct ChipGroup {
  std::vector<int> axes;
  std::vector<Value> values;
  bool Empty() const { return axes.empty(); }
  int First() const { return axes.front(); }
  int Count() const { return static_cast<int>(axes.size()); }
};

// Splits a list into the axes of chip 0 (axes 0-3) and chip 1 (axes 4-7).
template <typename Value>
void SplitByChip(int count, const int* axes, const Value* values, ChipGroup<Value> groups[2]) {
  for (int i = 0; i < count; ++i) {
    ChipGroup<Value>& group = groups[axes[i] < 4 ? 0 : 1];
    group.axes.push_back(axes[i]);
    group.values.push_back(values[i]);
  }
}

// "[0,5]" and "[10.000,-2.500]": the lists of a trace line.
std::string TraceList(int count, const int* values);
std::string TraceList(int count, const double* values);
std::string TraceList(int count, const unsigned* values);

}  // namespace quorva
