// The simulated controller's own state of one axis: the move it runs, its input signals and
// outputs, where its limit and home switches sit, and its following error. The registers the
// library reads are computed from it when a request reaches the axis.
#pragma once

#include <cstdint>

#include "sim/motion/home_search_state.h"
#include "sim/motion/motion_plan.h"
#include "sim/motion/path_shape.h"

namespace quorva::sim {

struct AxisMotion {
  enum class Phase : std::uint8_t {
    kIdle,
    kWaiting,  // started, holding for the start signal
    kRunning,
  };

  Phase phase = Phase::kIdle;

  // The present or last move.
  std::uint32_t startCode = 0;  // 0x51, 0x52 or 0x53
  int direction = 1;
  bool positioning = false;
  bool stopping = false;           // a decelerating stop is under way
  double end = kEndless;           // pulses from the start at which a positioning move ends
  std::int64_t commandOrigin = 0;  // command counter when the move began (not wrapped)
  std::int64_t actualOrigin = 0;   // actual counter when the move began (not wrapped)
  std::int64_t startNs = 0;        // when the pulses began (after a start-signal wait)
  std::int64_t planOriginNs = 0;   // time 0 of `plan`
  std::int64_t endNs = 0;          // when the last move ended
  MotionPlan plan;
  PathFollow path;                  // the move's part in an interpolated path (path_shape.h)
  std::uint32_t causeAtEnd = 0;     // stop-cause bits the plan's end sets (a limit)
  std::uint32_t stoppingCause = 0;  // why a decelerating stop is under way

  // Changes to the running move.
  std::int64_t operationOrigin = 0;  // command counter where the operation began: the base of a
                                     // relative amount (commandOrigin is that of the present
                                     // leg: a move that travels back has two)
  bool overshooting = false;         // the end can no longer be reached: stop, then travel back
  bool compareStartArmed = false;    // comparator 3 starts the prepared operation when reached
  bool overrideRefused = false;      // register 16 was written with no positioning move running

  // What a waiting move waits for: start condition 1 (the start signal), 2 (a signal of the
  // axis `startSource`, code `startSignal`) or 3 (the stop of the axis `startSource`).
  std::uint32_t startCondition = 0;
  int startSource = 0;
  std::uint32_t startSignal = 0;
  std::int64_t waitSinceNs = 0;

  // Motion at the last request that reached the axis.
  double distance = 0;  // pulses travelled since the move began
  double speed = 0;     // pulses per second
  std::uint32_t state = kStateStopped;

  // Signals.
  std::uint32_t inputs = 0;      // QUORVA_SIM_INPUT_* bits set through the control interface
  std::uint32_t outputs = 0;     // output bits of the signal status word set by axis commands
  std::uint32_t stopCauses = 0;  // register 49 bits telling why the last move stopped

  // Switch positions, in command-counter pulses.
  bool hasMinusLimit = false;
  bool hasPlusLimit = false;
  std::int64_t minusLimit = 0;
  std::int64_t plusLimit = 0;
  std::int64_t homePosition = 0;
  std::int64_t homeWidth = 0;  // 0: no home switch position
  std::int64_t homeHysteresis = 0;

  HomeSearch home;

  std::int32_t followingError = 0;  // command counter minus actual counter
};

}  // namespace quorva::sim
