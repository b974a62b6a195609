// The hand wheel on an axis's pulser input and the operations that follow it.
//
// Model:
// - The control interface turns the wheel by a number of pulses (the sign gives the direction)
//   at a rate. Turns follow one another: a turn asked for while another is under way begins
//   when that one ends. Input pulse n of a turn comes n / rate seconds after the turn begins.
// - Operation codes 0x01 (continuous), 0x51 (to the command counter where the operation
//   began plus the amount in force), 0x52 (to the amount in force as a position), 0x54 and 0x55
//   (towards home, in the negative and the positive direction) follow the wheel from the
//   instant they start. Every input pulse makes 1, 2, 4 or 1 output pulses for the input mode
//   in register 29 bits 24-25 (0 to 3), in the wheel's direction, reversed by register 29 bit 26.
// - A positioning operation ends when the counter reaches its target; a pulse that would pass
//   the target ends there. Writing register 0 while one runs moves the target: for 0x51 to the
//   present counter plus the amount, for 0x52 to the amount.
// - A home operation follows only the pulses of its search direction and ends at the first
//   position on the home switch (or at once while the home input is active).
// - While an operation follows the wheel the axis is running in state 0xC, at the speed of the
//   turn under way (0 between turns). Stop commands end it at once. Limits do not act on it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace quorva::sim {

struct SimAxis;

struct WheelTurn {
  std::int64_t startNs = 0;
  std::int64_t pulses = 0;  // signed
  double rate = 1;          // pulses per second

  // When input pulse `n` (1 .. |pulses|) comes.
  std::int64_t PulseNs(std::int64_t n) const;
  std::int64_t EndNs() const { return PulseNs(Count()); }
  std::int64_t Count() const { return pulses < 0 ? -pulses : pulses; }
  int Sign() const { return pulses < 0 ? -1 : 1; }
  // Input pulses of the turn that have come by `t` (0 .. |pulses|).
  std::int64_t CountBy(std::int64_t t) const;
};

struct PulserInput {
  std::vector<WheelTurn> turns;  // in time order

  // The operation that follows the wheel.
  bool following = false;
  std::uint32_t operation = 0;
  std::int64_t sinceNs = 0;  // when it began to follow
  int factor = 1;            // output pulses per input pulse, with the direction's sign
  int searchDirection = 0;   // home operations: the direction followed; 0 for the others
  std::int64_t origin = 0;   // command counter when it began
  std::int64_t target = 0;   // positioning operations: where they end ...
  std::int64_t aimedNs = 0;  // ... counting from when the target was set
};

// Turns the wheel of `axis` by `pulses` at `rate` pulses per second (1 or more) from `nowNs`,
// or from the end of the turn under way. False, with nothing changed, for a rate below 1 or a
// turn that would end beyond the simulated clock's range.
bool TurnWheel(SimAxis& axis, std::int64_t pulses, double rate, std::int64_t nowNs);

// The axis runs an operation that follows the wheel.
bool FollowsPulser(const SimAxis& axis);
bool IsPulserOperation(std::uint32_t operationCode);
// Called when such an operation starts to run at `nowNs` (its registers in force).
void BeginPulserOperation(SimAxis& axis, std::int64_t nowNs);
// Brings the operation up to `nowNs`: position, speed, state, and its end.
void SettlePulserOperation(SimAxis& axis, std::int64_t nowNs);
// When the operation reaches its target or the home switch with the turns asked for so far;
// nothing when it does not.
std::optional<std::int64_t> PulserEndNs(const SimAxis& axis);
// Called after the library wrote register `number` while the operation runs.
void PulserRegisterWritten(SimAxis& axis, std::uint32_t number, std::int64_t nowNs);
// The command counter at `t` (from the operation's start to now).
std::int64_t PulserPositionAt(const SimAxis& axis, std::int64_t t);

}  // namespace quorva::sim
