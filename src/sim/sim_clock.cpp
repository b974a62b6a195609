#include "sim/sim_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace quorva::sim {

void SimClock::UseVirtual() {
  virtualNs_ = Now();
  mode_ = Mode::kVirtual;
}

void SimClock::UseRealTime(double factor) {
  offsetNs_ = Now();
  origin_ = Steady::now();
  factor_ = factor;
  mode_ = Mode::kRealTime;
}

std::int64_t SimClock::Now() const {
  if (mode_ == Mode::kVirtual) return virtualNs_;
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now() - origin_);
  return offsetNs_ + static_cast<std::int64_t>(static_cast<double>(elapsed.count()) * factor_);
}

SimClock::Steady::time_point SimClock::RealTimeOf(std::int64_t ns) const {
  // One nanosecond more than the quotient covers the truncation in Now(); a year at most keeps
  // the sum within the clock's range.
  constexpr double kYearNs = 3.2e16;
  const double realNs = std::min(std::ceil(static_cast<double>(ns - offsetNs_) / factor_), kYearNs);
  return origin_ + std::chrono::nanoseconds(static_cast<std::int64_t>(realNs) + 1);
}

void SimClock::Advance(std::int64_t ns) {
  if (ns <= 0) return;
  if (mode_ == Mode::kVirtual) {
    virtualNs_ += ns;
  } else {
    offsetNs_ += ns;
  }
}

void SimClock::OnRequest() {
  if (mode_ == Mode::kVirtual) virtualNs_ += kRequestQuantumNs;
}

void SimClock::Restart() {
  virtualNs_ = 0;
  offsetNs_ = 0;
  origin_ = Steady::now();
}

std::optional<ClockChoice> ParseClockChoice(const char* text) {
  if (text == nullptr) return std::nullopt;
  if (std::strcmp(text, "virtual") == 0) return ClockChoice{SimClock::Mode::kVirtual, 1.0};
  constexpr const char kRealTime[] = "realtime";
  constexpr std::size_t kLength = sizeof kRealTime - 1;
  if (std::strncmp(text, kRealTime, kLength) != 0) return std::nullopt;
  if (text[kLength] == '\0') return ClockChoice{SimClock::Mode::kRealTime, 1.0};
  if (text[kLength] != ':') return std::nullopt;
  char* end = nullptr;
  const double factor = std::strtod(text + kLength + 1, &end);
  if (*end != '\0' || !std::isfinite(factor) || factor <= 0) return std::nullopt;
  return ClockChoice{SimClock::Mode::kRealTime, factor};
}

}  // namespace quorva::sim
