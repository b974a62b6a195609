// Spline motion: the cubic-spline resampler, and the process-wide spline path that a list of
// lines replays.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace quorva {

// Samples the cubic spline through `values` (at knots 0, 1, ..., flat at both ends) at
// `samples.size()` evenly spaced points from the first knot to the last. Both spans hold at
// least 2 elements.
void ResampleSpline(std::span<const double> values, std::span<double> samples);

// A path through several axes, resampled and thinned: each kept sample with the time it stands
// for. Never changed once built.
struct SplinePath {
  std::uint32_t mask = 0;
  std::vector<int> axes;        // the set bits of the mask, ascending
  std::vector<double> samples;  // kept sample k, axis s at k × axes.size() + s; user units
  std::vector<double> times;    // seconds of kept sample k
  int sampleCount = 0;          // samples requested
  double timeStep = 0;          // seconds per sample

  int KeptCount() const { return static_cast<int>(times.size()); }
  const double* Sample(int k) const {
    return samples.data() + static_cast<std::size_t>(k) * axes.size();
  }
};

// The path the last QUORVA_MC_LmSplineBuild made; null before the first and after a board load.
// The holder keeps it alive while it replays, whatever builds or loads follow.
std::shared_ptr<const SplinePath> CurrentSplinePath();
// Empties the spline path: a board is being loaded, or the library leaves the process.
void ClearSplinePath();

}  // namespace quorva
