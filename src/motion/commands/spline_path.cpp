// The spline path: a handful of multi-axis points resampled into a smooth path, thinned to the
// samples that move at least a couple of units, and replayed as a list of absolute lines whose
// speeds follow the path's timing.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <mutex>

#include "device/immortal.h"
#include "device/trace.h"
#include "motion/commands/spline.h"
#include "motion/core/map_axes.h"
#include "motion/core/motion_context.h"

namespace quorva {
namespace {

// A sample joins the path once some axis has moved more than this many units since the last
// sample kept (the change divided by the axis's unitDistance).
constexpr double kKeepThreshold = 2.0;

// The process-wide path. Builds replace it whole; a replay holds the path it started with.
struct SplineStore {
  std::mutex mutex;
  std::shared_ptr<const SplinePath> path;
};

SplineStore& Store() {
  static Immortal<SplineStore> store;
  return *store;
}

void Publish(std::shared_ptr<const SplinePath> path) {
  SplineStore& store = Store();
  std::lock_guard lock(store.mutex);
  store.path.swap(path);
}  // the path replaced is freed here, outside the lock

// A path of the axes the board has, from finite points at a positive time step.
bool Buildable(const MotionContext& context, std::uint32_t mask, const double* points,
               int pointCount, int sampleCount, double timeStep) {
  if (points == nullptr || pointCount < 2 || sampleCount < 2) return false;
  if (!(timeStep > 0) || !std::isfinite(timeStep)) return false;
  if (mask == 0 || (mask & ~BoardAxisMask(context)) != 0) return false;
  const auto values = static_cast<std::size_t>(pointCount) * std::popcount(mask);
  return std::all_of(points, points + values, [](double v) { return std::isfinite(v); });
}

// One axis's samples, as QUORVA_MC_BuildSpline returns them.
void FreeSamples(double* samples) {
  delete[] samples;
}
using AxisSamples = std::unique_ptr<double[], decltype(&FreeSamples)>;

// Each axis's coordinate resampled: `resampled[s]` holds the samples of the s-th axis.
bool ResampleAxes(const SplinePath& path, const double* points, int pointCount,
                  std::vector<AxisSamples>& resampled) {
  const std::size_t axes = path.axes.size();
  std::vector<double> coordinate(static_cast<std::size_t>(pointCount));
  for (std::size_t s = 0; s < axes; ++s) {
    for (std::size_t f = 0; f < coordinate.size(); ++f)
      coordinate[f] = points[f * axes + s];
    resampled.emplace_back(QUORVA_MC_BuildSpline(coordinate.data(), pointCount, path.sampleCount),
                           FreeSamples);
    if (!resampled.back()) return false;
  }
  return true;
}

// Keeps the first sample and every sample that moves an axis more than the threshold from the
// last kept one; a kept sample's time covers the samples merged into it.
void KeepSamples(const MotionContext& context, SplinePath& path,
                 const std::vector<AxisSamples>& resampled) {
  const std::size_t axes = path.axes.size();
  std::vector<double> last(axes, 0.0);
  int skipped = 0;
  for (int e = 0; e < path.sampleCount; ++e) {
    double largest = 0;
    for (std::size_t s = 0; s < axes; ++s) {
      const double unit = std::fabs(context.unitDistance[path.axes[s]]);
      largest = std::max(largest, std::fabs(resampled[s][e] - last[s]) / unit);
    }
    if (largest > kKeepThreshold || e == 0) {
      for (std::size_t s = 0; s < axes; ++s) {
        last[s] = resampled[s][e];
        path.samples.push_back(last[s]);
      }
      path.times.push_back(path.timeStep * (skipped + 1));
      skipped = 0;
    } else {
      ++skipped;
    }
  }
}

std::shared_ptr<const SplinePath> BuildPath(const MotionContext& context, std::uint32_t mask,
                                            const double* points, int pointCount, int sampleCount,
                                            double timeStep) {
  auto path = std::make_shared<SplinePath>();
  path->mask = mask;
  for (int axis = 0; axis < kMaxAxes; ++axis) {
    if ((mask >> axis & 1u) != 0) path->axes.push_back(axis);
  }
  path->sampleCount = sampleCount;
  path->timeStep = timeStep;
  std::vector<AxisSamples> resampled;
  if (!ResampleAxes(*path, points, pointCount, resampled)) return nullptr;
  KeepSamples(context, *path, resampled);
  return path;
}

// Speeds of the last ten segments, weighted 1/55 (oldest) to 10/55 (newest).
class SpeedWindow {
 public:
  double Add(double speed) {
    if (empty_) slots_.fill(speed);
    empty_ = false;
    slots_[next_] = speed;
    next_ = (next_ + 1) % slots_.size();
    double smoothed = 0;
    for (std::size_t j = 0; j < slots_.size(); ++j)
      smoothed += static_cast<double>(j + 1) / 55 * slots_[(next_ + j) % slots_.size()];
    return smoothed;
  }

 private:
  std::array<double, 10> slots_{};
  std::size_t next_ = 0;
  bool empty_ = true;
};

// Records the path as absolute lines on `map`, each at the smoothed speed of its segment, and
// hands the list to the driver.
void Replay(Handle handle, int map, const SplinePath& path) {
  QUORVA_MC_SetListMotionAxes(handle, static_cast<int>(path.mask & 0xFFu));
  QUORVA_MC_BeginList(handle);
  QUORVA_MC_MapAxes(handle, map, static_cast<int>(path.mask));
  std::vector<double> current;
  for (int axis : path.axes)
    current.push_back(QUORVA_MC_GetPosition_C(handle, axis));
  SpeedWindow window;
  for (int k = 0; k < path.KeptCount(); ++k) {
    const double* sample = path.Sample(k);
    double squares = 0;
    for (std::size_t s = 0; s < current.size(); ++s) {
      squares += (sample[s] - current[s]) * (sample[s] - current[s]);
      current[s] = sample[s];
    }
    const double speed = window.Add(std::sqrt(squares) / path.times[static_cast<std::size_t>(k)]);
    QUORVA_MC_SetSpeedModeMx(handle, map, 0);
    QUORVA_MC_SetSpeedMx(handle, map, speed, 0);
    QUORVA_MC_LineTo(handle, map, sample);
  }
  QUORVA_MC_EndList(handle);
  QUORVA_MC_StartListMotion(handle);
}

}  // namespace

std::shared_ptr<const SplinePath> CurrentSplinePath() {
  SplineStore& store = Store();
  std::lock_guard lock(store.mutex);
  return store.path;
}

void ClearSplinePath() {
  Publish(nullptr);
}

}  // namespace quorva

using namespace quorva;

extern "C" {

int QUORVA_MC_LmSplineBuild(QUORVA_HANDLE handle, int axisMask, const double* points,
                            int pointCount, int sampleCount, double timeStep) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LmSplineBuild(0x%x)", TraceWord(handle));
  const MotionContext* context = ContextOf(handle);
  const auto mask = static_cast<std::uint32_t>(axisMask);
  if (context == nullptr || !Buildable(*context, mask, points, pointCount, sampleCount, timeStep)) {
    return 0;
  }
  try {
    if (auto path = BuildPath(*context, mask, points, pointCount, sampleCount, timeStep))
      Publish(std::move(path));
  } catch (const std::bad_alloc&) {
    // Out of memory: the path stays as it was.
  }
  return 0;
}

int QUORVA_MC_LmSplineMoveStart(QUORVA_HANDLE handle, int map) {
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return 0;
  // Nothing to replay without a path, or on a board that lacks one of its axes.
  const std::shared_ptr<const SplinePath> path = CurrentSplinePath();
  if (!path || (path->mask & ~BoardAxisMask(*context)) != 0) return 0;
  Replay(handle, map, *path);
  return 0;
}

}  // extern "C"
