// Indexed compare-trigger: the driver holds, per index, a map of two axes and a digital-output
// channel and runs a table of trigger positions over them. The library checks that the map
// names two axes of the board and passes the tables through. Every function reports failure
// through the last error and writes no trace line.
#include <cstdint>
#include <new>
#include <optional>
#include <vector>

#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"
#include "motion/io/comparators.h"

using namespace quorva;

namespace {

constexpr std::uint32_t kAxisConfigMask = 7;

// The map as the driver reports it. The axes and the channel are 16-bit values: each is given
// a 32-bit slot, zero beforehand, of which the low half is taken, so that the stores of the
// driver always land inside the slot.
struct TriggerMap {
  std::uint32_t axisX = 0;
  std::uint32_t axisY = 0;
  std::uint32_t channel = 0;
  std::uint32_t valid = 0;

  int AxisX() const { return static_cast<int>(axisX & 0xFFFF); }
  int AxisY() const { return static_cast<int>(axisY & 0xFFFF); }
  int Channel() const { return static_cast<int>(channel & 0xFFFF); }
};

// 1 when the driver took the request and reported no error; otherwise 0 with the last error
// set: the driver's error, or "not supported" for a request the driver refused (its error word
// was never written).
int Outcome(int accepted, std::int32_t error) {
  if (accepted == 0) {
    StoreLastError(QUORVA_ERR_NOT_SUPPORTED);
    return 0;
  }
  if (error != 0) {
    StoreLastError(error);
    return 0;
  }
  return 1;
}

bool HandleUsable(Handle handle) {
  if (!IsNoDevice(handle)) return true;
  StoreLastError(QUORVA_ERR_INVALID_HANDLE);
  return false;
}

// Reads the map of `index` (the values as the driver left them, whatever the outcome).
int MapRead(Handle handle, int index, TriggerMap& map) {
  std::int32_t error = 0;
  const int accepted = DriverCall(handle, cmd::kTriggerGetMap, index, &map.axisX, &map.axisY,
                                  &map.channel, &map.valid, &error);
  return Outcome(accepted, error);
}

// The map of `index` when it names two axes of this motion board. Empty otherwise, with the
// last error set (left alone for a handle without a motion context).
std::optional<TriggerMap> BoardMapOf(Handle handle, int index) {
  TriggerMap map;
  if (!HandleUsable(handle) || MapRead(handle, index, map) == 0) return std::nullopt;
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return std::nullopt;
  if (map.valid == 0 || map.AxisX() >= context->axisCount || map.AxisY() >= context->axisCount) {
    StoreLastError(QUORVA_ERR_TRIGGER_MAP);
    return std::nullopt;
  }
  return map;
}

void AxisConfigWrite(Handle handle, int axis, int config) {
  AxisRegUpdateBits(handle, axis, reg::kTriggerConfig,
                    static_cast<std::uint32_t>(config) & kAxisConfigMask, kAxisConfigMask);
}

void AxisConfigRead(Handle handle, int axis, int* config) {
  if (config != nullptr) {
    *config = static_cast<int>(AxisRegRead(handle, axis, reg::kTriggerConfig) & kAxisConfigMask);
  }
}

template <typename Value>
void StoreIfWanted(int* out, Value value) {
  if (out != nullptr) *out = static_cast<int>(value);
}

bool TablesUsable(const double* positions, const int* second, int count) {
  return count >= 0 && (count == 0 || (positions != nullptr && second != nullptr));
}

}  // namespace

extern "C" {

int QUORVA_MC_CmpTrgIx_SetMap(QUORVA_HANDLE handle, int index, int axisX, int axisY, int channel) {
  if (!HandleUsable(handle)) return 0;
  std::int32_t error = 0;
  const int accepted =
      DriverCall(handle, cmd::kTriggerSetMap, index, axisX, axisY, channel, &error);
  return Outcome(accepted, error);
}

int QUORVA_MC_CmpTrgIx_GetMap(QUORVA_HANDLE handle, int index, int* axisX, int* axisY, int* channel,
                              int* valid) {
  if (!HandleUsable(handle)) return 0;
  TriggerMap map;
  const int outcome = MapRead(handle, index, map);
  StoreIfWanted(axisX, map.AxisX());
  StoreIfWanted(axisY, map.AxisY());
  StoreIfWanted(channel, map.Channel());
  StoreIfWanted(valid, map.valid);
  return outcome;
}

int QUORVA_MC_CmpTrgIx_SetCfg(QUORVA_HANDLE handle, int index, int cfgX, int cfgY) {
  const auto map = BoardMapOf(handle, index);
  if (!map) return 0;
  AxisConfigWrite(handle, map->AxisX(), cfgX);
  AxisConfigWrite(handle, map->AxisY(), cfgY);
  return 1;
}

int QUORVA_MC_CmpTrgIx_GetCfg(QUORVA_HANDLE handle, int index, int* cfgX, int* cfgY) {
  const auto map = BoardMapOf(handle, index);
  if (!map) return 0;
  AxisConfigRead(handle, map->AxisX(), cfgX);
  AxisConfigRead(handle, map->AxisY(), cfgY);
  return 1;
}

int QUORVA_MC_CmpTrgIx_Start(QUORVA_HANDLE handle, int index, uint64_t tag, const double* positions,
                             const int* second, int count) {
  if (!HandleUsable(handle)) return 0;
  if (!TablesUsable(positions, second, count)) {
    StoreLastError(QUORVA_ERR_TRIGGER_TABLE);
    return 0;
  }
  const auto map = BoardMapOf(handle, index);
  if (!map) return 0;
  AxisRegUpdateBits(handle, map->AxisX(), reg::kTriggerFeed, kTriggerFeedBit, kTriggerFeedBit);
  AxisRegUpdateBits(handle, map->AxisY(), reg::kTriggerFeed, kTriggerFeedBit, kTriggerFeedBit);
  std::vector<std::int32_t> first;
  try {
    first.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    StoreLastError(QUORVA_ERR_MEMORY);
    return 0;
  }
  for (int i = 0; i < count; ++i)
    first[static_cast<std::size_t>(i)] = Trunc32(positions[i]);
  std::int32_t error = 0;
  const int accepted = DriverCall(handle, cmd::kTriggerStart, index, DriverArg::Wide(tag),
                                  first.data(), second, count, &error);
  return Outcome(accepted, error);
}

int QUORVA_MC_CmpTrgIx_Stop(QUORVA_HANDLE handle, int index) {
  if (!HandleUsable(handle)) return 0;
  std::int32_t error = 0;
  return Outcome(DriverCall(handle, cmd::kTriggerStop, index, &error), error);
}

int QUORVA_MC_CmpTrgIx_GetState(QUORVA_HANDLE handle, int index, int* value1, int* value2) {
  if (!HandleUsable(handle)) return 0;
  // The driver writes both words: a NULL pointer is given a word of our own.
  int unwanted[2] = {};
  std::int32_t error = 0;
  const int accepted =
      DriverCall(handle, cmd::kTriggerState, index, value1 != nullptr ? value1 : &unwanted[0],
                 value2 != nullptr ? value2 : &unwanted[1], &error);
  return Outcome(accepted, error);
}

}  // extern "C"
