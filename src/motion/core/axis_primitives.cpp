#include "motion/core/axis_primitives.h"

#include "device/commands.h"
#include "motion/core/motion_context.h"

namespace quorva {
namespace {

bool IsModeRegister(int reg) {
  return reg == reg::kMode || reg == reg::kModeInForce;
}

MotionContext* ValidAxisContext(Handle handle, int axis) {
  MotionContext* context = ContextOf(handle);
  return AxisValid(context, axis) ? context : nullptr;
}

}  // namespace

void AxisRegWrite(Handle handle, int axis, int reg, std::uint32_t value) {
  MotionContext* context = ValidAxisContext(handle, axis);
  if (context == nullptr) return;
  if (IsModeRegister(reg)) context->modeRegCache[axis] = value;
  DriverCall(handle, cmd::kAxisRegWrite, axis, reg, value);
}

std::uint32_t AxisRegRead(Handle handle, int axis, int reg) {
  MotionContext* context = ValidAxisContext(handle, axis);
  if (context == nullptr) return 0;
  if (IsModeRegister(reg)) return context->modeRegCache[axis];
  return DriverRead(handle, cmd::kAxisRegRead, axis, reg);
}

std::uint32_t AxisModeUpdate(Handle handle, int axis, int lowByte, int bits, std::uint32_t mask) {
  MotionContext* context = ValidAxisContext(handle, axis);
  if (context == nullptr) return 0;
  std::uint32_t v = context->modeRegCache[axis];
  if (lowByte >= 0) v = static_cast<std::uint32_t>(lowByte) | (v & ~0xFFu);
  if (bits >= 0) v = static_cast<std::uint32_t>(bits) | (v & ~mask);
  AxisRegWrite(handle, axis, reg::kMode, v);
  return v;
}

int AxisCommand(Handle handle, int axis, int offset, std::uint32_t value) {
  if (ValidAxisContext(handle, axis) == nullptr) return 0;
  return DriverCall(handle, cmd::kAxisMainWrite, axis, offset, value);
}

std::uint32_t AxisStatusRead(Handle handle, int axis, int offset) {
  if (ValidAxisContext(handle, axis) == nullptr) return 0;
  return DriverRead(handle, cmd::kAxisMainRead, axis, offset);
}

void AxisRegUpdateBits(Handle handle, int axis, int reg, std::uint32_t bits, std::uint32_t mask) {
  AxisRegWrite(handle, axis, reg, bits | (AxisRegRead(handle, axis, reg) & ~mask));
}

int AxisBusy(Handle handle, int axis) {
  return (AxisRegRead(handle, axis, reg::kExtendedStatus) & 0x300000u) != 0 ? 1 : 0;
}

int AnyAxisBusy(Handle handle, std::uint32_t mask) {
  for (int axis = 0; axis < kMaxAxes; ++axis) {
    if ((mask >> axis & 1u) != 0 && AxisBusy(handle, axis) == 1) return 1;
  }
  return 0;
}

int AxisMaskToList(std::uint32_t mask, int* list, int limit) {
  int count = 0;
  for (int axis = 0; axis < kMaxAxes; ++axis) {
    if ((mask >> axis & 1u) != 0) list[count++] = axis;
    if (count == limit) break;
  }
  return count;
}

}  // namespace quorva
