// Simulated time. The virtual clock is deterministic: it moves only when told to and by a fixed
// quantum with every request the simulated driver answers, so every polling loop makes
// progress. The real-time clock follows the host's monotonic clock, scaled by a factor.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "VarnDasQvSim.h"

namespace quorva::sim {

class SimClock {
 public:
  using Steady = std::chrono::steady_clock;
  enum class Mode { kVirtual, kRealTime };

  // Virtual time that passes with each answered request.
  static constexpr std::int64_t kRequestQuantumNs = QUORVA_SIM_REQUEST_QUANTUM_NS;

  void UseVirtual();
  // factor: simulated seconds per real second (greater than 0).
  void UseRealTime(double factor);
  Mode CurrentMode() const { return mode_; }
  double Factor() const { return factor_; }

  // Simulated nanoseconds since the bus was configured.
  std::int64_t Now() const;
  // Real-time mode: the host's steady-clock instant at which Now() reaches `ns` (not earlier).
  Steady::time_point RealTimeOf(std::int64_t ns) const;
  void Advance(std::int64_t ns);
  // Called once for every answered request.
  void OnRequest();
  // Back to time 0, same mode.
  void Restart();

 private:
  Mode mode_ = Mode::kRealTime;
  double factor_ = 1.0;
  std::int64_t virtualNs_ = 0;
  std::int64_t offsetNs_ = 0;  // real-time mode: simulated time at `origin_`
  Steady::time_point origin_ = Steady::now();
};

// Parses "virtual", "realtime" or "realtime:FACTOR"; nothing for anything else.
struct ClockChoice {
  SimClock::Mode mode;
  double factor;
};
std::optional<ClockChoice> ParseClockChoice(const char* text);

}  // namespace quorva::sim
