// What lines and arcs share: the distance list of a map's axes, the path speed loaded on the
// axis with the longest distance, the start code of a map and the group field of a start
// command.
#pragma once

#include <array>
#include <cstdint>

#include "device/driver_call.h"
#include "motion/core/motion_context.h"

namespace quorva {

// Operation codes of the interpolations.
namespace opcode {
inline constexpr int kLinearInterpolation = 97;
inline constexpr int kArcClockwise = 100;
inline constexpr int kArcCounterClockwise = 101;
}  // namespace opcode

// One value per axis of a map, axes ascending: distances or targets, in user units or pulses.
struct DistanceList {
  std::array<int, kMaxAxes> axes{};
  std::array<double, kMaxAxes> values{};
  int count = 0;

  // The axes of `mask` (bits 0-7), ascending, with `values` in that order (zeros when null).
  static DistanceList Of(std::uint32_t mask, const double* values);
  // Inserts `axis` with `value` in its ascending place.
  void Insert(int axis, double value);
  // Position of `axis` in the list, or -1.
  int IndexOf(int axis) const;
  // Position of the value of largest magnitude; the first of equal ones.
  int MasterIndex() const;
};

// Bits 8-11 of a start command for the axes of `mask` on one four-axis chip.
std::uint32_t GroupField(std::uint32_t mask);

// Start code of a path on map `map`: 81 without a speed profile, 82 without acceleration, else
// 83.
std::uint32_t MapStartCode(const MotionContext& context, int map);

// The map's path speed and rates as the speeds of the master axis (the list's largest
// distance), which runs the longest way in the same time.
struct MasterSpeeds {
  int master = 0;
  double speed = 0;
  double accel = 0;
  double decel = 0;
};
MasterSpeeds PathMasterSpeeds(const MotionContext& context, int map, const DistanceList& pulses);

// Loads the path speed on the master axis, copies its speed registers to the list's lowest
// axis (which the start command addresses) and gives every axis the master's profile bits.
void PathSpeedSetup(Handle handle, MotionContext& context, int map, const DistanceList& pulses);

// The two executions of a line of the map's axes `mask` (pulses; targets when `absolute`).
void LineStartOneGroup(Handle handle, MotionContext& context, int map, std::uint32_t mask,
                       DistanceList& pulses, bool absolute);
void LineStartCrossGroup(Handle handle, MotionContext& context, int map, std::uint32_t mask,
                         DistanceList& pulses, bool absolute);

// Keeps an axis's speed settings and puts them back when it goes out of scope.
class SavedSpeedSettings {
 public:
  SavedSpeedSettings(MotionContext& context, int axis);
  ~SavedSpeedSettings();
  SavedSpeedSettings(const SavedSpeedSettings&) = delete;
  SavedSpeedSettings& operator=(const SavedSpeedSettings&) = delete;

 private:
  MotionContext& context_;
  int axis_;
  std::int32_t speedMode_;
  double startSpeed_;
  double workSpeed_;
  double accel_;
  double decel_;
};

}  // namespace quorva
