#include "motion/io/signal_fields.h"

#include <algorithm>

#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"

namespace quorva {
namespace {

std::uint32_t FieldValue(const SignalField& field, int argument) {
  switch (field.encoding) {
    case FieldEncoding::kFlag:
      return argument != 0 ? field.width : 0;
    case FieldEncoding::kAtLeastOne:
      return argument >= 1 ? 1 : 0;
    case FieldEncoding::kClamped:
      return static_cast<std::uint32_t>(std::clamp(argument, 0, static_cast<int>(field.width)));
    case FieldEncoding::kLowBits:
      break;
  }
  return static_cast<std::uint32_t>(argument) & field.width;
}

int SignalAxis(const SignalLayout& signal, int axis) {
  return signal.clampAxis ? std::clamp(axis, 0, kMaxAxes - 1) : axis;
}

void RegisterFieldsWrite(Handle handle, int axis, int reg, std::uint32_t bits, std::uint32_t mask) {
  if (reg == reg::kMode) {
    AxisModeUpdate(handle, axis, -1, static_cast<int>(bits), mask);
  } else {
    AxisRegUpdateBits(handle, axis, reg, bits, mask);
  }
}

// The register a field is read back from: the mode in force shares the mode's cache slot.
int ReadRegister(int reg) {
  return reg == reg::kMode ? reg::kModeInForce : reg;
}

}  // namespace

void SignalFieldsWrite(Handle handle, int axis, const SignalLayout& signal,
                       std::initializer_list<int> values) {
  axis = SignalAxis(signal, axis);
  const auto& fields = signal.fields;
  for (std::size_t i = 0; i < fields.size();) {
    const int reg = fields[i].reg;
    std::uint32_t bits = 0;
    std::uint32_t mask = 0;
    for (; i < fields.size() && fields[i].reg == reg; ++i) {
      const SignalField& field = fields[i];
      bits |= FieldValue(field, values.begin()[field.arg]) << field.shift;
      mask |= field.width << field.shift;
    }
    RegisterFieldsWrite(handle, axis, reg, bits, mask);
  }
}

void SignalFieldsRead(Handle handle, int axis, const SignalLayout& signal,
                      std::initializer_list<int*> outs) {
  axis = SignalAxis(signal, axis);
  // One read per run of fields in the same register, as the setter writes them.
  int lastReg = -1;
  std::uint32_t value = 0;
  for (const SignalField& field : signal.fields) {
    if (field.reg != lastReg) {
      lastReg = field.reg;
      value = AxisRegRead(handle, axis, ReadRegister(field.reg));
    }
    int* out = outs.begin()[field.arg];
    if (out != nullptr) *out = static_cast<int>(value >> field.shift & field.readMask);
  }
}

}  // namespace quorva
