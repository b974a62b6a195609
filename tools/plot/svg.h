// Charts drawn as one self-contained SVG document: frames, ticks, grid, labels, a legend, and
// one curve per series.
//
// Each chart is a <g class="chart"> whose data-x-range and data-y-range hold the data ranges of
// its axes and data-area the plot area on the page (left, top, width, height); each curve is a
// <polyline class="curve" data-series="LABEL"> in page coordinates within that area.
#pragma once

#include <string>
#include <vector>

namespace quorva::plot {

struct Series {
  std::string label;  // "X (axis 0)"
  std::vector<double> x;
  std::vector<double> y;
};

struct Chart {
  std::string title;
  std::string xLabel;  // "time, s"
  std::string yLabel;  // "position, mm"
  std::vector<Series> series;
  bool equalScales = false;  // one unit is as long on both axes (a path in the plane)
};

// Draws the charts one below the other under `title`. At most `maxPoints` points of a series
// are drawn (evenly spread, the first and the last always among them).
std::string RenderSvg(const std::string& title, const std::vector<Chart>& charts,
                      std::size_t maxPoints = 1300);

// The steps between ticks: 1, 2 or 5 times a power of ten, giving about `count` ticks.
double TickStep(double span, int count);

}  // namespace quorva::plot
