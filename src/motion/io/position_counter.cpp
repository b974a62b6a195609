#include "motion/io/position_counter.h"

#include <cmath>

#include "motion/core/axis_primitives.h"
#include "motion/io/counter_values.h"
#include "motion/io/gantry_inverse.h"

namespace quorva {
namespace {

// Enough for any smooth table; a table whose mapped counts jump past the target ends with
// the closest raw count found.
constexpr int kMaxRefinements = 8;

// The raw count of mapped `axis` whose mapped value is `target`, found by correcting a guess
// by the remaining difference until the mapped value meets the target.
double RawCountMappedTo(Handle handle, const MotionContext& context, int axis, int reg,
                        double target) {
  const bool isX = axis == context.gantryAxisX;
  const double other = ReadCounter28(handle, isX ? context.gantryAxisY : context.gantryAxisX, reg);
  const auto mapped = [&](double raw) {
    return isX ? InverseGantryCorrection(context, raw, other).x
               : InverseGantryCorrection(context, other, raw).y;
  };
  double best = target;
  double bestMiss = std::fabs(target - mapped(target));
  double raw = target;
  for (int step = 0; step < kMaxRefinements && bestMiss != 0; ++step) {
    raw += target - mapped(raw);
    const double miss = std::fabs(target - mapped(raw));
    if (miss < bestMiss) {
      best = raw;
      bestMiss = miss;
    }
  }
  return best;
}

}  // namespace

int ReadCounter28(Handle handle, int axis, int reg) {
  return SignExtend28(AxisRegRead(handle, axis, reg));
}

bool IsMappedAxis(const MotionContext& context, int axis) {
  return context.gantryEnabled != 0 && (axis == context.gantryAxisX || axis == context.gantryAxisY);
}

double ReadPositionCounter(Handle handle, const MotionContext& context, int axis, int reg) {
  if (!IsMappedAxis(context, axis)) return ReadCounter28(handle, axis, reg);
  const double x = ReadCounter28(handle, context.gantryAxisX, reg);
  const double y = ReadCounter28(handle, context.gantryAxisY, reg);
  const GantryPoint mapped = InverseGantryCorrection(context, x, y);
  return axis == context.gantryAxisX ? mapped.x : mapped.y;
}

int PresetPositionCounter(Handle handle, const MotionContext& context, int axis, int reg,
                          double count) {
  const int target = ClampToCounter(count);
  const int raw = IsMappedAxis(context, axis)
                      ? ClampToCounter(RawCountMappedTo(handle, context, axis, reg, target))
                      : target;
  AxisRegWrite(handle, axis, reg, static_cast<std::uint32_t>(raw));
  return raw;
}

void RecordPresetPosition(MotionContext& context, int axis, int rawCount) {
  context.moveStartPos[axis] = rawCount;
  context.moveTargetPos[axis] = rawCount;
}

}  // namespace quorva
