#include "motion/core/motion_context.h"

#include <memory>
#include <mutex>
#include <new>

#include "device/board_table.h"
#include "device/immortal.h"
#include "device/registry.h"
#include "motion/core/controller_init.h"
#include "motion/core/last_profile.h"

namespace quorva {

ProfileRecord lastProfile[kMaxAxes] = {};

namespace {

// Slots by [BoardFamily][instance]. They change only while boards are loaded and unloaded; the
// lock keeps a lookup on one thread from racing a load on another.
struct ContextTable {
  std::mutex mutex;
  std::unique_ptr<MotionContext> slots[kBoardFamilies][kInstancesPerFamily];
};

ContextTable& Table() {
  static Immortal<ContextTable> table;
  return *table;
}

std::unique_ptr<MotionContext>* SlotOf(std::uint16_t deviceId, std::int32_t instance) {
  if (instance < 0 || instance >= kInstancesPerFamily) return nullptr;
  return &Table().slots[BoardFamily(deviceId)][instance];
}

void SetDefaults(MotionContext& c, std::uint16_t deviceId) {
  c.deviceId = deviceId;
  c.mapAxisMask[0] = 0x3;
  c.mapAxisMask[1] = 0xC;
  c.listMotionAxisMask = 0xFF;
  for (int axis = 0; axis < kMaxAxes; ++axis) {
    c.inOutRatio[axis] = 1.0;
    c.unitSpeed[axis] = 1.0;
    c.unitDistance[axis] = 1.0;
    c.startSpeed[axis] = 100.0;
    c.workSpeed[axis] = 1000.0;
    c.correctionSpeed[axis] = 100.0;
    c.maxSpeed[axis] = 655350.0;
    c.speedResolution[axis] = 10.0;
    lastProfile[axis].holdRampDown = 0;
  }
}

}  // namespace

int BoardFamily(std::uint16_t deviceId) {
  switch (deviceId) {
    case 0xA502:
      return 1;
    case 0xA504:
    case 0xE504:
      return 2;
    case 0xA508:
    case 0xE508:
    case 0xFE50:
      return 3;
    case 0xA534:
      return 4;
    case 0xA544:
      return 5;
    default:
      return 0;
  }
}

MotionContext* CreateContext(Handle handle, std::uint16_t deviceId, std::int32_t instance) {
  std::unique_ptr<MotionContext>* slot = SlotOf(deviceId, instance);
  if (slot == nullptr) return nullptr;
  MotionContext* context = nullptr;
  {
    // The context is in its slot before the controller is initialised: the axis primitives
    // find it from the handle.
    std::lock_guard lock(Table().mutex);
    slot->reset(new (std::nothrow) MotionContext);
    context = slot->get();
  }
  if (context == nullptr) return nullptr;
  SetDefaults(*context, deviceId);
  InitController(handle, deviceId, *context);
  context->instance = instance;
  return context;
}

void DestroyContext(std::uint16_t deviceId, std::int32_t instance) {
  std::unique_ptr<MotionContext>* slot = SlotOf(deviceId, instance);
  if (slot == nullptr) return;
  std::lock_guard lock(Table().mutex);
  slot->reset();
}

MotionContext* AttachContext(const BoardEvent& board) {
  if (!IsMotionBoard(board.deviceId) || ContextExists(board.deviceId, board.instance)) {
    return nullptr;
  }
  return CreateContext(board.handle, board.deviceId, board.instance);
}

void DetachContext(const BoardEvent& board) {
  if (IsMotionBoard(board.deviceId) && QUORVA_GetDeviceThreadCount(board.handle) == 1) {
    DestroyContext(board.deviceId, board.instance);
  }
}

void ReleaseContexts() {
  ContextTable& table = Table();
  std::lock_guard lock(table.mutex);
  for (auto& row : table.slots) {
    for (std::unique_ptr<MotionContext>& slot : row)
      slot.reset();
  }
}

bool ContextExists(std::uint16_t deviceId, std::int32_t instance) {
  std::unique_ptr<MotionContext>* slot = SlotOf(deviceId, instance);
  std::lock_guard lock(Table().mutex);
  return slot != nullptr && *slot != nullptr;
}

MotionContext* ContextOf(Handle handle) {
  const auto entry = FindDevice(handle);
  if (!entry) return nullptr;
  std::unique_ptr<MotionContext>* slot = SlotOf(entry->deviceId, entry->instance);
  if (slot == nullptr) return nullptr;
  std::lock_guard lock(Table().mutex);
  return slot->get();
}

bool AxisValid(const MotionContext* context, int axis) {
  return context != nullptr && axis >= 0 && axis < context->axisCount;
}

bool AxisValid(Handle handle, int axis) {
  return AxisValid(ContextOf(handle), axis);
}

MotionContext* AxisSettingsOf(Handle handle, int axis) {
  return AxisInTables(axis) ? ContextOf(handle) : nullptr;
}

bool IsListAxis(const MotionContext& context, int axis) {
  return context.listRecording != 0 && axis >= 0 && axis < kMaxAxes &&
         (context.listMotionAxisMask >> axis & 1u) != 0;
}

bool AreListAxes(const MotionContext& context, int count, const int* axes) {
  if (context.listRecording == 0) return false;
  for (int i = 0; i < count; ++i) {
    if (!IsListAxis(context, axes[i])) return false;
  }
  return true;
}

bool IsListMask(const MotionContext& context, std::uint32_t mask) {
  if (context.listRecording == 0) return false;
  for (int axis = 0; axis < context.axisCount && axis < kMaxAxes; ++axis) {
    if ((mask >> axis & 1u) != 0 && (context.listMotionAxisMask >> axis & 1u) == 0) return false;
  }
  return true;
}

}  // namespace quorva
