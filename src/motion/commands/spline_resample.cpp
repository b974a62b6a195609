// The cubic-spline resampler: one coordinate given at evenly spaced knots, returned at any
// number of evenly spaced samples.
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "device/trace.h"
#include "motion/commands/spline.h"

namespace quorva {
namespace {

// Slopes of the curve at the first and the last knot.
constexpr double kStartSlope = 0;
constexpr double kEndSlope = 0;

// Second derivatives of the spline at the knots, by the tridiagonal recurrence of a cubic
// spline with prescribed end slopes. The knots are 0, 1, ..., so every interval is 1 long and
// each inner knot lies halfway between its neighbours.
std::vector<double> SecondDerivatives(std::span<const double> y) {
  const std::size_t n = y.size();
  std::vector<double> y2(n);
  std::vector<double> u(n);
  y2[0] = -0.5;
  u[0] = 3 * ((y[1] - y[0]) - kStartSlope);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    constexpr double sig = 0.5;
    const double p = sig * y2[i - 1] + 2;
    y2[i] = (sig - 1) / p;
    u[i] = (6 * ((y[i + 1] - y[i]) - (y[i] - y[i - 1])) / 2 - sig * u[i - 1]) / p;
  }
  constexpr double qn = 0.5;
  const double un = 3 * (kEndSlope - (y[n - 1] - y[n - 2]));
  y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1);
  for (std::size_t k = n - 1; k-- > 0;)
    y2[k] = y2[k] * y2[k + 1] + u[k];
  return y2;
}

// The knot interval [lo, lo + 1] that holds x, found by bisection.
std::size_t IntervalOf(double x, std::size_t knots) {
  std::size_t lo = 0;
  std::size_t hi = knots - 1;
  while (hi - lo > 1) {
    const std::size_t mid = (lo + hi) / 2;
    if (static_cast<double>(mid) > x) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  return lo;
}

bool AllFinite(std::span<const double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

void ResampleSpline(std::span<const double> values, std::span<double> samples) {
  const std::vector<double> y2 = SecondDerivatives(values);
  const double last = static_cast<double>(values.size() - 1);
  const double intervals = static_cast<double>(samples.size() - 1);
  for (std::size_t c = 0; c < samples.size(); ++c) {
    const double x = static_cast<double>(c) * last / intervals;
    const std::size_t lo = IntervalOf(x, values.size());
    const std::size_t hi = lo + 1;
    const double a = static_cast<double>(hi) - x;
    const double b = x - static_cast<double>(lo);
    samples[c] =
        a * values[lo] + b * values[hi] + ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) / 6;
  }
}

}  // namespace quorva

using namespace quorva;

extern "C" {

double* QUORVA_MC_BuildSpline(const double* values, int count, int sampleCount) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_BuildSpline(0x%x, %d, %d)", TraceWord(values), count,
               sampleCount);
  if (values == nullptr || count < 2 || sampleCount < 2) return nullptr;
  const std::span<const double> knots(values, static_cast<std::size_t>(count));
  // Values that are not finite make no curve: nothing is returned rather than samples that
  // are not numbers.
  if (!AllFinite(knots)) return nullptr;
  const auto samples = static_cast<std::size_t>(sampleCount);
  std::unique_ptr<double[]> result(new (std::nothrow) double[samples]);
  if (!result) return nullptr;
  try {
    ResampleSpline(knots, {result.get(), samples});
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  // Values near the largest double can overflow between the knots.
  if (!AllFinite({result.get(), samples})) return nullptr;
  return result.release();
}

void QUORVA_MC_DeleteSpline(double* samples) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_DeleteSpline(0x%x)", TraceWord(samples));
  delete[] samples;
}

}  // extern "C"
