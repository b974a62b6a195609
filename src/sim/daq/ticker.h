// Something that advances at a steady rate in simulated time and can be halted: the scans of a
// scan engine, the samples of a waveform, the counts of a counter. Its value at any time is a
// closed form of the time, so nothing runs between requests.
#pragma once

#include <cmath>
#include <cstdint>

namespace quorva::sim {

class Ticker {
 public:
  // Counts from 0 at `nowNs`, `rate` ticks per simulated second.
  void Start(double rate, std::int64_t nowNs) {
    rate_ = rate;
    anchorNs_ = nowNs;
    anchorTicks_ = 0;
    running_ = true;
  }
  // Freezes the count reached at `nowNs`.
  void Halt(std::int64_t nowNs) {
    anchorTicks_ = At(nowNs);
    anchorNs_ = nowNs;
    running_ = false;
  }
  // Counts on from the frozen value.
  void Resume(std::int64_t nowNs) {
    if (running_) return;
    anchorNs_ = nowNs;
    running_ = true;
  }
  // Goes on from the count reached at `nowNs` at a new rate.
  void ChangeRate(double rate, std::int64_t nowNs) {
    anchorTicks_ = At(nowNs);
    anchorNs_ = nowNs;
    rate_ = rate;
  }

  // Ticks completed by `nowNs`.
  std::uint64_t At(std::int64_t nowNs) const {
    if (!running_ || nowNs <= anchorNs_) return anchorTicks_;
    const double ticks = std::floor(static_cast<double>(nowNs - anchorNs_) * 1e-9 * rate_);
    return anchorTicks_ + (ticks < kTickLimit ? static_cast<std::uint64_t>(ticks) : kTickLimit);
  }
  // Simulated time in seconds of tick `tick`, one after the count at the anchor.
  double SecondsOf(std::uint64_t tick) const {
    return static_cast<double>(anchorNs_) * 1e-9 + static_cast<double>(tick - anchorTicks_) / rate_;
  }

  bool Running() const { return running_; }
  double Rate() const { return rate_; }

 private:
  static constexpr std::uint64_t kTickLimit = std::uint64_t{1} << 62;

  double rate_ = 0;
  std::int64_t anchorNs_ = 0;
  std::uint64_t anchorTicks_ = 0;
  bool running_ = false;
};

}  // namespace quorva::sim
