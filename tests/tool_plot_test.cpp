// quorva plot on the simulator: one curve per axis in each chart, ending where the axes end,
// the samples as CSV; and the chart scales.
#include <fstream>
#include <numbers>

#include "plot/svg.h"
#include "tool_run.h"

namespace quorva {
namespace {

using test::RunQuorva;
using test::TempPath;

// A chart of an SVG file the tool wrote: its curves' last points in data units.
struct DrawnChart {
  std::vector<std::string> series;
  std::vector<std::pair<double, double>> ends;
};

std::string Attribute(const std::string& svg, std::size_t from, const std::string& name) {
  const std::size_t at = svg.find(" " + name + "=\"", from);
  const std::size_t begin = at + name.size() + 3;
  return svg.substr(begin, svg.find('"', begin) - begin);
}

std::vector<DrawnChart> ReadCharts(const std::string& svg) {
  std::vector<DrawnChart> charts;
  for (std::size_t g = svg.find("<g class=\"chart\""); g != std::string::npos;
       g = svg.find("<g class=\"chart\"", g + 1)) {
    double x0, x1, y0, y1, left, top, width, height;
    std::sscanf(Attribute(svg, g, "data-x-range").c_str(), "%lf %lf", &x0, &x1);
    std::sscanf(Attribute(svg, g, "data-y-range").c_str(), "%lf %lf", &y0, &y1);
    std::sscanf(Attribute(svg, g, "data-area").c_str(), "%lf %lf %lf %lf", &left, &top, &width,
                &height);
    DrawnChart chart;
    const std::size_t end = std::min(svg.find("<g class=\"chart\"", g + 1), svg.size());
    for (std::size_t p = svg.find("<polyline", g); p < end; p = svg.find("<polyline", p + 1)) {
      chart.series.push_back(Attribute(svg, p, "data-series"));
      const std::string points = Attribute(svg, p, "points");
      double px = 0, py = 0;
      std::sscanf(points.c_str() + points.rfind(' ') + 1, "%lf,%lf", &px, &py);
      chart.ends.emplace_back(x0 + (px - left) / width * (x1 - x0),
                              y0 + (top + height - py) / height * (y1 - y0));
    }
    charts.push_back(chart);
  }
  return charts;
}

class ToolPlot : public test::SimTest {};

TEST_F(ToolPlot, ListOfTwoAxesDrawsTimeChartsAndThePathInThePlane) {
  const std::string svg = TempPath("list.svg");
  const std::string csv = TempPath("list.csv");
  const test::ToolRun run = RunQuorva({"plot", "list", "0:40", "1:20", "0:-15", "-o", svg, "--csv",
                                       csv, "--speed", "40", "--accel", "400", "--decel", "400"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(test::Contains(run.out, "axis 0 at 25.000 mm\naxis 1 at 20.000 mm\n")) << run.out;
  // 40, 20 and 15 mm at 40 mm/s with ramps of about 0.1 s: some 0.1 s more than 75 / 40 each.
  double seconds = 0;
  ASSERT_EQ(std::sscanf(run.out.c_str() + run.out.find("over "), "over %lf", &seconds), 1);
  EXPECT_NEAR(seconds, 75.0 / 40 + 3 * 0.1, 0.05);

  const std::vector<DrawnChart> charts = ReadCharts(test::ReadFile(svg));
  ASSERT_EQ(charts.size(), 3u) << "position, velocity, path";
  const double tolerance = 0.01 * 45;  // a hundredth of the drawn range
  for (std::size_t c = 0; c < 2; ++c) {
    EXPECT_EQ(charts[c].series, (std::vector<std::string>{"axis 0", "axis 1"}));
    EXPECT_NEAR(charts[c].ends[0].first, seconds, 0.03);
  }
  EXPECT_NEAR(charts[0].ends[0].second, 25, tolerance);
  EXPECT_NEAR(charts[0].ends[1].second, 20, tolerance);
  EXPECT_NEAR(charts[1].ends[0].second, 0, tolerance) << "standing at the end";
  ASSERT_EQ(charts[2].ends.size(), 1u);
  EXPECT_NEAR(charts[2].ends[0].first, 25, tolerance);
  EXPECT_NEAR(charts[2].ends[0].second, 20, tolerance);

  std::ifstream samples(csv);
  std::string header;
  std::getline(samples, header);
  EXPECT_EQ(
      header,
      "time_s,axis 0 position_mm,axis 0 velocity_mm/s,axis 1 position_mm,axis 1 velocity_mm/s");
  std::string line, last;
  while (std::getline(samples, line))
    last = line;
  EXPECT_EQ(last.substr(last.find(',')), ",25.000000,0.000000,20.000000,0.000000");
}

TEST_F(ToolPlot, OneAxisMoveHasNoPlaneAndLongRunsKeepFewSamples) {
  const std::string svg = TempPath("move.svg");
  const test::ToolRun run = RunQuorva({"plot", "moveto", "5", "-3000", "--output", svg, "--speed",
                                       "10", "--accel", "0", "--decel", "0"});
  ASSERT_EQ(run.status, 0) << run.err;
  unsigned long long samples = 0;
  double seconds = 0;
  ASSERT_EQ(std::sscanf(run.out.c_str() + run.out.find(": ") + 2, "%llu samples over %lf", &samples,
                        &seconds),
            2)
      << run.out;
  EXPECT_NEAR(seconds, 300, 0.01);
  EXPECT_LE(samples, 4001u) << "the interval doubles";
  EXPECT_GE(samples, 2000u);
  const std::vector<DrawnChart> charts = ReadCharts(test::ReadFile(svg));
  ASSERT_EQ(charts.size(), 2u);
  EXPECT_NEAR(charts[0].ends.at(0).second, -3000, 30);
}

TEST_F(ToolPlot, LinesAndArcsEndAtTheirEndPoints) {
  const struct {
    std::vector<std::string> words;
    double x;
    double y;
    double seconds;
  } cases[] = {
      // 50 mm at 50 mm/s, with ramps from 1 mm/s at 500 mm/s^2.
      {{"line", "0,1", "30,40"}, 30, 40, 1.09},
      // Three quarters of a turn of radius 10 at 20 mm/s, counter-clockwise from the left.
      {{"arc", "0,1", "10,0", "270", "--speed", "20"}, 10, 10, 1.5 * std::numbers::pi / 2},
      {{"arc", "5,4", "0,-5", "-180", "--speed", "20"}, 0, -10, std::numbers::pi * 5 / 20},
  };
  for (const auto& c : cases) {
    const std::string svg = TempPath("path.svg");
    std::vector<std::string> words{"plot"};
    words.insert(words.end(), c.words.begin(), c.words.end());
    words.insert(words.end(), {"-o", svg});
    const test::ToolRun run = RunQuorva(words);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<DrawnChart> charts = ReadCharts(test::ReadFile(svg));
    ASSERT_EQ(charts.size(), 3u) << c.words[1];
    const double tolerance = 0.01 * 45;
    EXPECT_NEAR(charts[2].ends.at(0).first, c.x, tolerance) << c.words[1];
    EXPECT_NEAR(charts[2].ends.at(0).second, c.y, tolerance) << c.words[1];
    EXPECT_NEAR(charts[0].ends.at(0).first, c.seconds, 0.03) << c.words[1];
  }
}

TEST_F(ToolPlot, WrongPlotsFail) {
  EXPECT_EQ(RunQuorva({"plot", "spiral", "0", "1"}).status, 2);
  EXPECT_EQ(RunQuorva({"plot", "list", "0=4"}).status, 2);
  EXPECT_EQ(RunQuorva({"plot", "list"}).status, 2);
  const test::ToolRun unwritable =
      RunQuorva({"plot", "move", "0", "1", "-o", TempPath("missing") + "/dir/x.svg"});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_TRUE(test::Contains(unwritable.err, "cannot write")) << unwritable.err;
}

TEST(PlotScale, TicksAreOneTwoOrFiveTimesAPowerOfTen) {
  const struct {
    double span;
    int count;
    double step;
  } cases[] = {{10, 5, 2}, {10, 10, 1}, {3.9, 8, 0.5}, {0.07, 6, 0.02}, {4500, 6, 1000}, {0, 5, 1}};
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(plot::TickStep(c.span, c.count), c.step) << c.span;
}

}  // namespace
}  // namespace quorva
