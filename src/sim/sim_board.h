// One simulated board: the state its driver answers from.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "VarnDasQvSim.h"
#include "platform/notification_event.h"
#include "sim/daq/daq_state.h"
#include "sim/motion/axis_motion.h"
#include "sim/motion/compare_state.h"
#include "sim/motion/interrupts.h"
#include "sim/motion/latch.h"
#include "sim/motion/list_runner.h"
#include "sim/motion/path_record.h"
#include "sim/motion/pulser_input.h"
#include "sim/motion/speed_check.h"

namespace quorva::sim {

inline constexpr int kAxes = 8;
inline constexpr int kEepromWords = 256;

struct SimAxis {
  std::array<std::uint32_t, QUORVA_SIM_AXIS_REGISTERS> registers{};
  std::array<std::uint32_t, QUORVA_SIM_MAIN_SPACE_WORDS> mainStatus{};   // what 640 reads
  std::array<std::uint32_t, QUORVA_SIM_MAIN_SPACE_WORDS> mainWritten{};  // what 620 wrote
  AxisMotion motion;
  AxisInterrupts interrupts;
  LatchQueue latchQueue;
  AxisCompare compare;
  PulserInput pulser;
};

// Resource bytes of the device detail record (flags, analog in/out, digital in/out, axes).
struct SimResources {
  std::uint8_t flags;
  std::uint8_t analogInputs;
  std::uint8_t analogOutputs;
  std::uint8_t digitalInputs;
  std::uint8_t digitalOutputs;
  std::uint8_t axes;
};

struct SimBoard {
  std::uint16_t deviceId = 0;
  SimResources resources{};
  std::int32_t controllerVersion = 1;
  int openHandles = 0;
  int foreignOpens = 0;
  std::array<SimAxis, kAxes> axes{};
  // Double-word spaces keyed by (region << 32 | offset).
  std::unordered_map<std::uint64_t, std::uint32_t> memoryWords;
  std::unordered_map<std::uint64_t, std::uint32_t> ioWords;
  std::array<std::uint32_t, kEepromWords> eeprom{};
  DaqState daq;
  ListRun list;
  // The application's event, while one is registered (command 650).
  std::optional<platform::NotificationEvent> notification;
  std::vector<LatchPulse> latchPulses;  // scheduled, in time order
  std::array<TriggerMap, QUORVA_SIM_TRIGGER_MAPS> triggerMaps{};
  PathRecord pathRecord;
  SpeedCheck speedCheck;
};

inline std::uint64_t WordKey(std::uint32_t region, std::uint32_t offset) {
  return static_cast<std::uint64_t>(region) << 32 | offset;
}

// A board as it comes out of reset.
SimBoard MakeBoard(std::uint16_t deviceId);

}  // namespace quorva::sim
