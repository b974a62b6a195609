// Bit fields of the environment registers and the operation-mode register through which the
// mechanical signals of an axis are configured. A signal is a list of fields; its setter
// replaces them by read-modify-write, one write per run of fields in the same register, and
// its getter reads them back.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "device/driver_call.h"

namespace quorva {

// How a setter argument becomes a field value.
enum class FieldEncoding {
  kLowBits,     // the argument's low bits, as many as the field has
  kFlag,        // 1 when the argument is non-zero (every bit of the field set)
  kAtLeastOne,  // 1 when the argument is 1 or more
  kClamped,     // the argument limited into the field's range
};

struct SignalField {
  int reg;              // axis register number; reg::kMode for the operation mode
  int shift;            // lowest bit of the field
  std::uint32_t width;  // mask of the field value before shifting
  int arg;              // index of the setter argument and of the getter out-pointer
  FieldEncoding encoding;
  std::uint32_t readMask;  // mask of the value the getter reports
};

constexpr SignalField Field(int reg, int shift, std::uint32_t width, int arg,
                            FieldEncoding encoding = FieldEncoding::kLowBits) {
  return SignalField{reg, shift, width, arg, encoding, width};
}

// A signal: its fields in write order. Some signals take the axis limited into 0-7.
struct SignalLayout {
  std::span<const SignalField> fields;
  bool clampAxis;
};

// Writes `values` (indexed by each field's `arg`) into the signal's fields.
void SignalFieldsWrite(Handle handle, int axis, const SignalLayout& signal,
                       std::initializer_list<int> values);
// Reads the signal's fields into `outs` (indexed by each field's `arg`); null pointers are
// skipped.
void SignalFieldsRead(Handle handle, int axis, const SignalLayout& signal,
                      std::initializer_list<int*> outs);

}  // namespace quorva
