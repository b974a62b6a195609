// The per-board motion state and its process-wide table.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "device/board_watchers.h"
#include "device/driver_call.h"
#include "motion/core/list_chain.h"

namespace quorva {

inline constexpr int kMaxAxes = 8;
inline constexpr int kMapCount = 11;
inline constexpr int kBoardFamilies = 6;
inline constexpr int kInstancesPerFamily = 8;
// The value of gantryAxisX / gantryAxisY when no gantry axis is set.
inline constexpr std::int32_t kNoGantryAxis = 255;

struct GantryCell {
  double x;
  double y;
};

template <typename T>
using PerAxis = T[kMaxAxes];
template <typename T>
using PerMap = T[kMapCount];

struct MotionContext {
  std::uint16_t deviceId = 0;
  std::uint16_t axisCount = 0;
  std::int32_t deviceVersion = 0;
  std::uint64_t windowHandle = 0;
  std::int32_t pumpMessagesWhileWaiting = 0;
  // Polled by one thread while another sets it.
  std::atomic<std::int32_t> stopRequested{0};
  PerAxis<std::int32_t> posSource{};
  PerAxis<double> moveStartPos{};
  PerAxis<double> moveTargetPos{};
  PerAxis<double> inOutRatio{};
  PerAxis<double> unitSpeed{};
  PerAxis<double> unitDistance{};
  PerAxis<double> maxSpeed{};
  PerMap<std::uint32_t> mapAxisMask{};
  std::uint32_t listMotionAxisMask = 0;
  PerMap<std::int32_t> mapSpeedMode{};
  PerMap<double> mapWorkSpeed{};
  PerMap<double> mapAccel{};
  PerMap<double> mapDecel{};
  PerAxis<double> startSpeed{};
  PerAxis<double> workSpeed{};
  PerAxis<double> correctionSpeed{};
  PerAxis<double> speedResolution{};
  PerAxis<double> accel{};
  PerAxis<double> decel{};
  PerAxis<double> prevDecel{};
  PerAxis<double> scurveAccel{};
  PerAxis<double> scurveDecel{};
  PerAxis<std::int32_t> speedMode{};
  std::int32_t listRecording = 0;
  std::int32_t listImmediacy = 0;
  std::atomic<std::int32_t> abortRequested{0};
  std::atomic<std::int32_t> helicalRunning{0};
  PerAxis<std::uint32_t> modeRegCache{};
  PerAxis<std::uint32_t> mioProperty{};
  PerAxis<double> rampDownOffset{};
  // Recorded list entries: one chain for a native process, one for a 32-bit process on 64-bit
  // Windows. Freed with the context.
  ListChain listItems;
  ListChain listItemsWow64;
  std::uint8_t gantryLoaded = 0;
  std::uint8_t gantryEnabled = 0;
  std::int32_t gantryAxisX = 0;
  std::int32_t gantryAxisY = 0;
  double gantryPitchX = 0;
  double gantryPitchY = 0;
  std::int32_t gantryCountX = 0;
  std::int32_t gantryCountY = 0;
  double gantryOriginX = 0;
  double gantryOriginY = 0;
  // Sized to the loaded grid (gantryCountX × gantryCountY cells); empty when none is loaded.
  std::vector<GantryCell> gantryTable;
  std::int32_t instance = 0;
};

// Row of the context table for a DeviceId (0 for every DeviceId not in the family table).
int BoardFamily(std::uint16_t deviceId);

// Creates the context of (deviceId, instance) with its defaults and initialises the
// controller through `handle`. Null when the instance has no slot (8 and above) or memory ran
// out. An existing context in the slot is replaced.
MotionContext* CreateContext(Handle handle, std::uint16_t deviceId, std::int32_t instance);
void DestroyContext(std::uint16_t deviceId, std::int32_t instance);
// A board that was loaded: a motion board without a context for (DeviceId, instance) gets
// one, which is returned; otherwise (another kind of board, a context that exists already, no
// slot or no memory) null.
MotionContext* AttachContext(const BoardEvent& board);
// A board being unloaded: a motion board's context goes with the last handle open on the
// board in the whole system.
void DetachContext(const BoardEvent& board);
// Frees every context left in the table, such as those of boards another process still holds.
void ReleaseContexts();
bool ContextExists(std::uint16_t deviceId, std::int32_t instance);
// The context of a registered handle, or null.
MotionContext* ContextOf(Handle handle);
// The handle has a context and 0 <= axis < axisCount.
bool AxisValid(Handle handle, int axis);
bool AxisValid(const MotionContext* context, int axis);

// Axis numbers that index the per-axis tables of a context, whatever the board's axis count.
inline bool AxisInTables(int axis) {
  return axis >= 0 && axis < kMaxAxes;
}
// The context of the handle when `axis` indexes its tables, else null. Settings that are only
// stored use it: they do not check the axis against the board's axis count.
MotionContext* AxisSettingsOf(Handle handle, int axis);

// List recording covers the axis / every listed axis / every masked axis below axisCount.
bool IsListAxis(const MotionContext& context, int axis);
bool AreListAxes(const MotionContext& context, int count, const int* axes);
bool IsListMask(const MotionContext& context, std::uint32_t mask);

}  // namespace quorva
