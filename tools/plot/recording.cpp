#include "plot/recording.h"

#include <cstdio>

namespace quorva::plot {
namespace {

// Every other index of `count`, and the last.
std::vector<std::size_t> EveryOther(std::size_t count) {
  std::vector<std::size_t> kept;
  for (std::size_t i = 0; i < count; i += 2)
    kept.push_back(i);
  if (count > 0 && kept.back() != count - 1) kept.push_back(count - 1);
  return kept;
}

void Select(std::vector<double>& values, const std::vector<std::size_t>& indices) {
  if (values.empty()) return;
  std::vector<double> kept;
  kept.reserve(indices.size());
  for (std::size_t i : indices)
    kept.push_back(values[i]);
  values = std::move(kept);
}

}  // namespace

void Recording::DeriveVelocities() {
  const std::size_t n = time.size();
  for (AxisTrack& axis : axes) {
    axis.velocity.assign(n, 0.0);
    for (std::size_t i = 0; i < n && n > 1; ++i) {
      const std::size_t before = i == 0 ? 0 : i - 1;
      const std::size_t after = i + 1 == n ? i : i + 1;
      const double span = time[after] - time[before];
      if (span > 0) axis.velocity[i] = (axis.position[after] - axis.position[before]) / span;
    }
  }
}

void Recording::Thin() {
  const std::vector<std::size_t> kept = EveryOther(time.size());
  Select(time, kept);
  for (AxisTrack& axis : axes) {
    Select(axis.position, kept);
    Select(axis.velocity, kept);
  }
}

void Recording::Append(const Recording& later, double offset) {
  for (double t : later.time)
    time.push_back(t + offset);
  for (std::size_t i = 0; i < axes.size() && i < later.axes.size(); ++i) {
    const AxisTrack& from = later.axes[i];
    axes[i].position.insert(axes[i].position.end(), from.position.begin(), from.position.end());
    axes[i].velocity.insert(axes[i].velocity.end(), from.velocity.begin(), from.velocity.end());
  }
}

std::vector<Chart> MotionCharts(const Recording& recording, const std::vector<int>& planeAxes) {
  const std::string unit = recording.axes.empty() ? "" : recording.axes.front().unit;
  Chart position{"Position", "time, s", "position, " + unit, {}};
  Chart velocity{"Velocity", "time, s", "velocity, " + unit + "/s", {}};
  for (const AxisTrack& axis : recording.axes) {
    position.series.push_back({axis.label, recording.time, axis.position});
    velocity.series.push_back({axis.label, recording.time, axis.velocity});
  }
  std::vector<Chart> charts{position, velocity};
  if (planeAxes.size() == 2) {
    const AxisTrack& a = recording.axes.at(static_cast<std::size_t>(planeAxes[0]));
    const AxisTrack& b = recording.axes.at(static_cast<std::size_t>(planeAxes[1]));
    Chart plane{"Path", a.label + ", " + a.unit, b.label + ", " + b.unit, {}};
    plane.series.push_back({"path", a.position, b.position});
    plane.equalScales = true;
    charts.push_back(plane);
  }
  return charts;
}

void WriteCsv(const Recording& recording, std::ostream& out) {
  out << "time_s";
  for (const AxisTrack& axis : recording.axes) {
    out << ',' << axis.label << " position_" << axis.unit << ',' << axis.label << " velocity_"
        << axis.unit << "/s";
  }
  out << '\n';
  char number[32];
  for (std::size_t i = 0; i < recording.time.size(); ++i) {
    std::snprintf(number, sizeof number, "%.6f", recording.time[i]);
    out << number;
    for (const AxisTrack& axis : recording.axes) {
      std::snprintf(number, sizeof number, ",%.6f", axis.position[i]);
      out << number;
      std::snprintf(number, sizeof number, ",%.6f", axis.velocity[i]);
      out << number;
    }
    out << '\n';
  }
}

}  // namespace quorva::plot
