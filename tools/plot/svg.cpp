#include "plot/svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

namespace quorva::plot {
namespace {

constexpr double kWidth = 900;
constexpr double kPlotHeight = 280;
constexpr double kLeft = 80;    // room for the y ticks and label
constexpr double kRight = 170;  // room for the legend
constexpr double kTop = 40;     // room for the chart's title
constexpr double kBottom = 50;  // room for the x ticks and label
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                    "#ff7f0e", "#17becf", "#8c564b", "#e377c2"};

struct Range {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();

  void Add(double v) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
  double Span() const { return high - low; }
  // The range drawn: the values with a margin of 4 % on each side (a range of zero width gets
  // one of its own).
  Range Padded() const {
    Range r = *this;
    if (!(r.low <= r.high)) r = {0, 1};
    if (r.Span() == 0) {
      const double pad = r.low == 0 ? 1 : std::abs(r.low) * 0.1;
      return {r.low - pad, r.high + pad};
    }
    const double pad = r.Span() * 0.04;
    return {r.low - pad, r.high + pad};
  }
};

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

std::string TickLabel(double v, double step) {
  char text[32];
  const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
  std::snprintf(text, sizeof text, "%.*f", decimals, std::abs(v) < step * 1e-6 ? 0.0 : v);
  return text;
}

// Indices of the points drawn: all, or `limit` spread evenly with the last one included.
std::vector<std::size_t> Drawn(std::size_t count, std::size_t limit) {
  std::vector<std::size_t> indices;
  if (count == 0) return indices;
  const std::size_t kept = std::min(count, std::max<std::size_t>(limit, 2));
  for (std::size_t k = 0; k < kept; ++k)
    indices.push_back(kept == 1 ? 0 : k * (count - 1) / (kept - 1));
  return indices;
}

class ChartWriter {
 public:
  ChartWriter(std::ostringstream& svg, const Chart& chart, double top, std::size_t maxPoints)
      : svg_(svg), chart_(chart), top_(top), maxPoints_(maxPoints) {
    for (const Series& s : chart.series) {
      for (double v : s.x)
        x_.Add(v);
      for (double v : s.y)
        y_.Add(v);
    }
    x_ = x_.Padded();
    y_ = y_.Padded();
    width_ = kWidth - kLeft - kRight;
    height_ = kPlotHeight;
    if (chart.equalScales) FitEqualScales();
  }

  double Height() const { return kTop + height_ + kBottom; }

  void Write() {
    // The chart's data ranges and where its plot area lies on the page, so that a reader can
    // take the curves' points back to data.
    svg_ << "<g class=\"chart\" data-x-range=\"" << Number(x_.low) << ' ' << Number(x_.high)
         << "\" data-y-range=\"" << Number(y_.low) << ' ' << Number(y_.high) << "\" data-area=\""
         << kLeft << ' ' << PlotTop() << ' ' << width_ << ' ' << height_ << "\">\n";
    svg_ << "<text x=\"" << kLeft << "\" y=\"" << top_ + 24
         << "\" font-size=\"15\" font-weight=\"bold\">" << Escape(chart_.title) << "</text>\n";
    Grid();
    Curves();
    Legend();
    svg_ << "<rect x=\"" << kLeft << "\" y=\"" << PlotTop() << "\" width=\"" << width_
         << "\" height=\"" << height_ << "\" fill=\"none\" stroke=\"#333\"/>\n</g>\n";
  }

 private:
  double PlotTop() const { return top_ + kTop; }
  double X(double v) const { return kLeft + (v - x_.low) / x_.Span() * width_; }
  double Y(double v) const { return PlotTop() + height_ - (v - y_.low) / y_.Span() * height_; }

  // Shrinks one side so that a unit has the same length on both, up to a square plot.
  void FitEqualScales() {
    height_ = std::max(height_, 420.0);
    const double scale = std::min(width_ / x_.Span(), height_ / y_.Span());
    width_ = x_.Span() * scale;
    height_ = y_.Span() * scale;
  }

  void Grid() {
    const double xStep = TickStep(x_.Span(), 8);
    const double yStep = TickStep(y_.Span(), 6);
    svg_ << "<g class=\"grid\" stroke=\"#ddd\" font-size=\"11\" fill=\"#333\">\n";
    for (double v = std::ceil(x_.low / xStep) * xStep; v <= x_.high; v += xStep) {
      svg_ << "<line x1=\"" << X(v) << "\" y1=\"" << PlotTop() << "\" x2=\"" << X(v) << "\" y2=\""
           << PlotTop() + height_ << "\"/><text x=\"" << X(v) << "\" y=\""
           << PlotTop() + height_ + 16 << "\" text-anchor=\"middle\" stroke=\"none\">"
           << TickLabel(v, xStep) << "</text>\n";
    }
    for (double v = std::ceil(y_.low / yStep) * yStep; v <= y_.high; v += yStep) {
      svg_ << "<line x1=\"" << kLeft << "\" y1=\"" << Y(v) << "\" x2=\"" << kLeft + width_
           << "\" y2=\"" << Y(v) << "\"/><text x=\"" << kLeft - 6 << "\" y=\"" << Y(v) + 4
           << "\" text-anchor=\"end\" stroke=\"none\">" << TickLabel(v, yStep) << "</text>\n";
    }
    svg_ << "</g>\n";
    svg_ << "<text x=\"" << kLeft + width_ / 2 << "\" y=\"" << PlotTop() + height_ + 38
         << "\" text-anchor=\"middle\" font-size=\"12\">" << Escape(chart_.xLabel) << "</text>\n";
    const double middle = PlotTop() + height_ / 2;
    svg_ << "<text x=\"20\" y=\"" << middle << "\" transform=\"rotate(-90 20 " << middle
         << ")\" text-anchor=\"middle\" font-size=\"12\">" << Escape(chart_.yLabel) << "</text>\n";
  }

  void Curves() {
    for (std::size_t i = 0; i < chart_.series.size(); ++i) {
      const Series& s = chart_.series[i];
      svg_ << "<polyline class=\"curve\" data-series=\"" << Escape(s.label)
           << "\" fill=\"none\" stroke=\"" << kColours[i % std::size(kColours)]
           << "\" stroke-width=\"1.6\" stroke-linejoin=\"round\" points=\"";
      const std::size_t count = std::min(s.x.size(), s.y.size());
      bool first = true;
      char point[48];
      for (std::size_t k : Drawn(count, maxPoints_)) {
        std::snprintf(point, sizeof point, "%s%.2f,%.2f", first ? "" : " ", X(s.x[k]), Y(s.y[k]));
        svg_ << point;
        first = false;
      }
      svg_ << "\"/>\n";
    }
  }

  void Legend() {
    const double x = kLeft + width_ + 16;
    for (std::size_t i = 0; i < chart_.series.size(); ++i) {
      const double y = PlotTop() + 14 + 20 * static_cast<double>(i);
      svg_ << "<line x1=\"" << x << "\" y1=\"" << y - 4 << "\" x2=\"" << x + 22 << "\" y2=\""
           << y - 4 << "\" stroke=\"" << kColours[i % std::size(kColours)]
           << "\" stroke-width=\"2\"/><text x=\"" << x + 28 << "\" y=\"" << y
           << "\" font-size=\"12\">" << Escape(chart_.series[i].label) << "</text>\n";
    }
  }

  std::ostringstream& svg_;
  const Chart& chart_;
  double top_;
  std::size_t maxPoints_;
  Range x_;
  Range y_;
  double width_;
  double height_;
};

}  // namespace

double TickStep(double span, int count) {
  if (!(span > 0)) return 1;
  const double rough = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double factor : {1.0, 2.0, 5.0}) {
    if (rough <= factor * power * 1.0000001) return factor * power;
  }
  return 10 * power;
}

std::string RenderSvg(const std::string& title, const std::vector<Chart>& charts,
                      std::size_t maxPoints) {
  std::ostringstream body;
  double y = 40;
  for (const Chart& chart : charts) {
    ChartWriter writer(body, chart, y, maxPoints);
    writer.Write();
    y += writer.Height();
  }
  std::ostringstream svg;
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << y
      << "\" viewBox=\"0 0 " << kWidth << ' ' << y << "\" font-family=\"sans-serif\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      << "<text x=\"" << kWidth / 2 << "\" y=\"26\" text-anchor=\"middle\" font-size=\"18\">"
      << Escape(title) << "</text>\n"
      << body.str() << "</svg>\n";
  return svg.str();
}

}  // namespace quorva::plot
