// Model: a comparator condition is met when the compared counter changes to the comparator's
// value during a single-axis move (a home search included; not on an interpolated path), in a
// direction the condition allows. The motion between two calls is a
// stretch of whole pulses of one move in one direction; each value it passes is found from the
// counter where the move began, and the instant from the move's plan, so an event carries the
// time it happened at whenever a request looks.
#include "sim/motion/compare_outputs.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "sim/motion/axis_controller.h"
#include "sim/motion/interrupts.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kComparatorConfig = 31;
constexpr std::uint32_t kTriggerConfig = 32;
constexpr std::uint32_t kGeneralValue = 42;
constexpr std::uint32_t kTriggerValue = 43;
constexpr std::uint32_t kTriggerConfigMask = 0xFF;
constexpr std::uint32_t kActualCounter = 1;  // counter field value that selects counter A

enum class Condition { kNone, kEither, kUp, kDown };

Condition ConditionOf(std::uint32_t field) {
  switch (field) {
    case 1:
      return Condition::kEither;
    case 2:
      return Condition::kUp;
    case 3:
      return Condition::kDown;
    default:
      return Condition::kNone;
  }
}

bool Allows(Condition condition, int direction) {
  switch (condition) {
    case Condition::kEither:
      return true;
    case Condition::kUp:
      return direction > 0;
    case Condition::kDown:
      return direction < 0;
    case Condition::kNone:
      break;
  }
  return false;
}

// The pulses (from, to] of the present move compared in one call.
struct Stretch {
  std::int64_t commandOrigin;  // counters when the move began
  std::int64_t actualOrigin;
  int direction;
  std::int64_t from;
  std::int64_t to;
  const MotionPlan& plan;
  std::int64_t planOriginNs;

  // The pulse of the stretch at which a counter changes to `value`.
  std::optional<std::int64_t> PulseOf(bool actual, std::int32_t value) const {
    const std::int64_t pulse = (value - (actual ? actualOrigin : commandOrigin)) * direction;
    if (pulse <= from || pulse > to) return std::nullopt;
    return pulse;
  }
  std::int64_t TimeOf(std::int64_t pulse) const {
    // A pulse at the very end of the plan may miss it by rounding: it is passed when the plan ends.
    const double at = std::min(plan.TimeToReach(static_cast<double>(pulse)), plan.EndTime());
    return planOriginNs + std::llround(at * 1e9);
  }
};

// A comparator watching one counter: its condition, counter and value.
struct Watch {
  Condition condition;
  bool actual;
  std::int32_t value;
};

Watch TriggerWatch(const SimAxis& axis) {
  const std::uint32_t config = axis.registers[kTriggerConfig];
  return {ConditionOf(config & 7), (config >> 3 & 7) == kActualCounter,
          static_cast<std::int32_t>(axis.registers[kTriggerValue])};
}

Watch GeneralWatch(const SimAxis& axis) {
  const std::uint32_t config = axis.registers[kComparatorConfig];
  return {ConditionOf(config >> 26 & 7), (config >> 24 & 3) == kActualCounter,
          static_cast<std::int32_t>(axis.registers[kGeneralValue])};
}

CompareEvent EventAt(const Stretch& s, std::int64_t pulse, int source, std::int32_t position) {
  CompareEvent event;
  event.timeNs = s.TimeOf(pulse);
  event.source = source;
  event.position = position;
  return event;
}

// The table that feeds comparator 5, if one runs: an indexed table, or the trigger table.
CompareTable* Feed(AxisCompare& compare) {
  if (compare.indexed.running) return &compare.indexed;
  return compare.trigger.running ? &compare.trigger : nullptr;
}

// Comparator 5: once at register 43, or at each entry of the table that feeds it in turn (the
// driver writes the next entry into register 43 as one fires). After the last entry the driver
// switches the comparator off.
void TrackTrigger(SimAxis& axis, Stretch s, std::vector<CompareEvent>& events) {
  const Watch watch = TriggerWatch(axis);
  if (!Allows(watch.condition, s.direction)) return;
  AxisCompare& compare = axis.compare;
  CompareTable* feed = Feed(compare);
  for (;;) {
    const auto value = static_cast<std::int32_t>(axis.registers[kTriggerValue]);
    const auto pulse = s.PulseOf(watch.actual, value);
    if (!pulse) return;
    CompareEvent event = EventAt(s, *pulse, QUORVA_SIM_EVENT_TRIGGER, value);
    if (feed == nullptr) {
      events.push_back(event);
      return;
    }
    const bool indexed = feed == &compare.indexed;
    event.source = indexed ? QUORVA_SIM_EVENT_INDEXED : QUORVA_SIM_EVENT_TRIGGER_TABLE;
    event.entry = static_cast<std::int32_t>(feed->next);
    if (indexed) event.data = feed->data[feed->next];
    events.push_back(event);
    if (++feed->next == feed->positions.size()) {
      feed->running = false;
      axis.registers[kTriggerConfig] &= ~kTriggerConfigMask;
      return;
    }
    axis.registers[kTriggerValue] = static_cast<std::uint32_t>(feed->positions[feed->next]);
    s.from = *pulse;
  }
}

void TrackGeneral(const SimAxis& axis, const Stretch& s, std::vector<CompareEvent>& events) {
  const Watch watch = GeneralWatch(axis);
  if (!Allows(watch.condition, s.direction)) return;
  if (const auto pulse = s.PulseOf(watch.actual, watch.value)) {
    events.push_back(EventAt(s, *pulse, QUORVA_SIM_EVENT_GENERAL, watch.value));
  }
}

bool DrivesOutput(int source) {
  return source == QUORVA_SIM_EVENT_TRIGGER || source == QUORVA_SIM_EVENT_TRIGGER_TABLE;
}

// The comparator that met its condition in `event`: 4 or 5; 0 for a soft-limit stop, whose
// interrupt comes with the end of its move.
int ComparatorOf(const CompareEvent& event) {
  if (event.source == QUORVA_SIM_EVENT_GENERAL) return 4;
  return event.source == QUORVA_SIM_EVENT_SOFT_LIMIT ? 0 : 5;
}

void Log(SimAxis& axis, CompareEvent event) {
  AxisCompare& compare = axis.compare;
  if (const int comparator = ComparatorOf(event)) RaiseInterrupt(axis, 0, EventCompare(comparator));
  event.serial = ++compare.eventSerial;
  if (DrivesOutput(event.source)) {
    ++compare.outputPulses;
    compare.lastOutputPosition = event.position;
    compare.lastOutputNs = event.timeNs;
  }
  compare.events.push_back(event);
  if (compare.events.size() > QUORVA_SIM_COMPARE_LOG_CAPACITY) compare.events.pop_front();
}

// A move that ended at a soft limit is logged once, when it has ended.
void LogSoftLimitStop(SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  AxisCompare& compare = axis.compare;
  if (m.phase != AxisMotion::Phase::kIdle || (m.stopCauses & kStatusStopSoftLimit) == 0 ||
      compare.softLimitLoggedNs == m.startNs) {
    return;
  }
  compare.softLimitLoggedNs = m.startNs;
  CompareEvent event;
  event.timeNs = m.endNs;
  event.source = QUORVA_SIM_EVENT_SOFT_LIMIT;
  event.position = static_cast<std::int32_t>(CommandPosition(axis));
  event.data = m.direction;
  Log(axis, event);
}

// Comparator 5 starts from the table's first entry.
void StartFeed(SimAxis& axis, CompareTable& table) {
  table.next = 0;
  table.running = !table.positions.empty();
  if (table.running) axis.registers[kTriggerValue] = static_cast<std::uint32_t>(table.positions[0]);
}

CompareTable TableOf(std::span<const std::int32_t> positions) {
  CompareTable table;
  table.positions.assign(positions.begin(), positions.end());
  return table;
}

}  // namespace

void TrackComparators(SimAxis& axis) {
  const AxisMotion& m = axis.motion;
  AxisCompare& compare = axis.compare;
  if (!compare.tracked || compare.trackedMoveNs != m.startNs ||
      compare.trackedOrigin != m.commandOrigin) {
    compare.tracked = true;
    compare.trackedMoveNs = m.startNs;
    compare.trackedOrigin = m.commandOrigin;
    compare.trackedDistance = 0;
  }
  if (m.path.active) {  // an axis on a path has no one direction: not compared
    compare.trackedDistance = m.distance;
    return;
  }
  const Stretch stretch{m.commandOrigin,
                        m.actualOrigin,
                        m.direction,
                        static_cast<std::int64_t>(std::floor(compare.trackedDistance)),
                        static_cast<std::int64_t>(std::floor(m.distance)),
                        m.plan,
                        m.planOriginNs};
  compare.trackedDistance = std::max(compare.trackedDistance, m.distance);
  if (stretch.to > stretch.from) {
    std::vector<CompareEvent> events;
    TrackTrigger(axis, stretch, events);
    TrackGeneral(axis, stretch, events);
    std::stable_sort(
        events.begin(), events.end(),
        [](const CompareEvent& a, const CompareEvent& b) { return a.timeNs < b.timeNs; });
    for (const CompareEvent& event : events)
      Log(axis, event);
  }
  LogSoftLimitStop(axis);
}

void LoadTriggerTable(SimAxis& axis, std::span<const std::int32_t> positions) {
  axis.compare.trigger = TableOf(positions);
}

void StartTriggerTable(SimAxis& axis) {
  axis.compare.indexed.running = false;
  StartFeed(axis, axis.compare.trigger);
}

void StopTriggerTable(SimAxis& axis) {
  axis.compare.trigger.running = false;
}

void StartIndexedTable(SimAxis& axis, int map, std::span<const std::int32_t> positions,
                       std::span<const std::int32_t> data) {
  CompareTable& table = axis.compare.indexed;
  table = TableOf(positions);
  table.data.assign(data.begin(), data.end());
  table.map = map;
  axis.compare.trigger.running = false;
  StartFeed(axis, table);
}

void StopIndexedTable(SimAxis& axis, int map) {
  if (axis.compare.indexed.map == map) axis.compare.indexed.running = false;
}

std::uint32_t IndexedFired(const SimAxis& axis, int map) {
  const CompareTable& table = axis.compare.indexed;
  return table.map == map ? static_cast<std::uint32_t>(table.next) : 0;
}

bool IndexedRunning(const SimAxis& axis, int map) {
  return axis.compare.indexed.map == map && axis.compare.indexed.running;
}

}  // namespace quorva::sim
