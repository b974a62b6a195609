// Reading and presetting the position counters (C and A) of an axis, through the gantry
// mapping when it is on and the axis is one of the two mapped axes.
#pragma once

#include "device/driver_call.h"
#include "motion/core/motion_context.h"

namespace quorva {

// Counter register `reg` of `axis` as a 28-bit two's-complement count, unmapped.
int ReadCounter28(Handle handle, int axis, int reg);

// Mapping is on and `axis` is one of the mapped axes.
bool IsMappedAxis(const MotionContext& context, int axis);

// The count of position counter `reg` (reg::kCounterCommand or reg::kCounterActual) of
// `axis`, in pulses: the mapped count on a mapped axis, else the sign-extended register.
double ReadPositionCounter(Handle handle, const MotionContext& context, int axis, int reg);

// Presets position counter `reg` of `axis` so that ReadPositionCounter gives `count`
// (limited to the counter range and truncated toward zero). On a mapped axis that is the raw
// count whose mapped value, with the other mapped axis where it is, equals the count.
// Returns the raw count written.
int PresetPositionCounter(Handle handle, const MotionContext& context, int axis, int reg,
                          double count);

// Records a preset of the command counter as the axis's last move: moveStartPos and
// moveTargetPos := `rawCount`, the raw count just written to the command counter, in pulses.
// Pulses because the moves keep these two fields in pulses and take their base from the raw
// command counter (or, while recording a list, from moveTargetPos); so a move started after a
// preset, recorded or not, begins from the preset position whatever the unit distance, and
// on a mapped axis from the raw count the mapped position corresponds to.
void RecordPresetPosition(MotionContext& context, int axis, int rawCount);

}  // namespace quorva
