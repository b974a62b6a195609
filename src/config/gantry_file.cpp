#include "config/gantry_file.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "platform/platform.h"

namespace quorva {
namespace {

constexpr const char* kInfoSection = "GantryMapInfo";
constexpr const char* kAxisSections[2] = {"AxisXInfo", "AxisYInfo"};
constexpr const char* kPointSection = "MappingPoint";

// A name for the temporary file beside `path` that no other write uses at the same time.
std::string TemporaryPathBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  char suffix[48];
  std::snprintf(suffix, sizeof suffix, ".%llx-%x.tmp", static_cast<unsigned long long>(ticks),
                counter.fetch_add(1));
  return path + suffix;
}

// Collects formatted text and hands it to the file in large pieces.
class LineWriter {
 public:
  explicit LineWriter(std::FILE* file) : file_(file) { buffer_.reserve(kChunk + kLineRoom); }
  ~LineWriter() { Flush(); }

  template <typename... Args>
  void Line(const char* format, Args... args) {
    const std::size_t used = buffer_.size();
    buffer_.resize(used + kLineRoom);
    int length = std::snprintf(buffer_.data() + used, kLineRoom, format, args...);
    if (length < 0) {
      failed_ = true;
      length = 0;
    } else if (static_cast<std::size_t>(length) >= kLineRoom) {
      buffer_.resize(used + static_cast<std::size_t>(length) + 1);
      std::snprintf(buffer_.data() + used, static_cast<std::size_t>(length) + 1, format, args...);
    }
    buffer_.resize(used + static_cast<std::size_t>(length));
    buffer_.push_back('\n');
    if (buffer_.size() >= kChunk) Flush();
  }
  void Flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
      failed_ = true;
    buffer_.clear();
  }
  bool Failed() const { return failed_; }

 private:
  static constexpr std::size_t kChunk = 1 << 16;
  static constexpr std::size_t kLineRoom = 128;
  std::FILE* file_;
  std::string buffer_;
  bool failed_ = false;
};

void WriteContents(LineWriter& out, int instance, const GantryFileAxis& x, const GantryFileAxis& y,
                   const double* xCorrections, const double* yCorrections) {
  out.Line("[GantryMapInfo]");
  out.Line("Instance = %d", instance);
  out.Line("AxisX = %d", x.axis);
  out.Line("AxisY = %d", y.axis);
  const GantryFileAxis* axes[2] = {&x, &y};
  for (int k = 0; k < 2; ++k) {
    out.Line("[%s]", kAxisSections[k]);
    out.Line("UnitDist = %.2f", axes[k]->unitDistance);
    out.Line("StartPoint = %.2f", axes[k]->start);
    out.Line("Offset = %.2f", axes[k]->spacing);
    out.Line("Num = %d", axes[k]->count);
  }
  out.Line("[MappingPoint]");
  for (int i = 0; i < x.count; ++i) {
    for (int j = 0; j < y.count; ++j) {
      const std::size_t point = static_cast<std::size_t>(i) * y.count + j;
      out.Line("Mappoint_X%03d_Y%03d= %.2f,%.2f", i, j, xCorrections[point], yCorrections[point]);
    }
  }
}

// Writes the whole text to `path`; false when any part of it failed.
bool WriteWholeFile(const std::string& path, int instance, const GantryFileAxis& x,
                    const GantryFileAxis& y, const double* xCorrections,
                    const double* yCorrections) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  bool failed = false;
  try {
    LineWriter out(file);
    WriteContents(out, instance, x, y, xCorrections, yCorrections);
    out.Flush();
    failed = out.Failed() || std::ferror(file) != 0;
  } catch (const std::bad_alloc&) {
    failed = true;
  }
  return std::fclose(file) == 0 && !failed;
}

// "AxisXInfo" or "AxisYInfo" converted to pulses; false when a value is missing or unusable.
bool ReadAxis(const ProfileFile& file, const char* section, double& unit, double& origin,
              double& pitch, int& count) {
  const auto number = [&](const char* key) -> std::optional<double> {
    const auto text = file.Value(section, key);
    return text ? ParseDecimal(*text) : std::nullopt;
  };
  const auto unitDistance = number("UnitDist");
  const auto start = number("StartPoint");
  const auto spacing = number("Offset");
  if (!unitDistance || *unitDistance == 0 || !start || !spacing) return false;
  unit = *unitDistance;
  origin = *start * unit;
  pitch = *spacing * unit;
  count = file.Integer(section, "Num", 0);
  return count > 0;
}

// One correction of a point value: empty text reads as 0.
std::optional<double> Correction(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return 0.0;
  return ParseDecimal(text.substr(begin, text.find_last_not_of(" \t") + 1 - begin));
}

// Writes `n` (non-negative) with at least three digits, zero-padded, as "%03d" does; returns
// the end.
char* PutPadded(char* at, int n) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  for (auto length = end - digits; length < 3; ++length)
    *at++ = '0';
  return std::copy(digits, end, at);
}

// The key of point (i, j): "Mappoint_X%03d_Y%03d", built by hand since a million of them are
// read.
std::string_view PointKey(char (&key)[48], int i, int j) {
  constexpr std::string_view kX = "Mappoint_X";
  char* at = std::copy(kX.begin(), kX.end(), key);
  at = PutPadded(at, i);
  *at++ = '_';
  *at++ = 'Y';
  at = PutPadded(at, j);
  return {key, static_cast<std::size_t>(at - key)};
}

// The point values in pulses; false at the first missing or unusable point.
bool ReadPoints(const ProfileFile& file, GantryGrid& grid) {
  grid.cells.resize(static_cast<std::size_t>(grid.countX) * grid.countY);
  char key[48];
  for (int i = 0; i < grid.countX; ++i) {
    for (int j = 0; j < grid.countY; ++j) {
      const auto value = file.Value(kPointSection, PointKey(key, i, j));
      if (!value || value->empty()) return false;
      const std::size_t comma = value->find(',');
      const auto dx = Correction(value->substr(0, comma));
      const auto dy = comma == std::string_view::npos ? 0.0 : Correction(value->substr(comma + 1));
      if (!dx || !dy) return false;
      grid.cells[static_cast<std::size_t>(i) * grid.countY + j] = {*dx * grid.unitX,
                                                                   *dy * grid.unitY};
    }
  }
  return true;
}

}  // namespace

std::string GantryFilePath() {
  const char* configured = std::getenv("QUORVA_GANTRY_FILE");
  if (configured != nullptr && *configured != '\0') return configured;
  return platform::DefaultGantryFilePath();
}

bool WriteGantryFile(const std::string& path, int instance, const GantryFileAxis& x,
                     const GantryFileAxis& y, const double* xCorrections,
                     const double* yCorrections) {
  const std::string temporary = TemporaryPathBeside(path);
  std::error_code error;
  if (!WriteWholeFile(temporary, instance, x, y, xCorrections, yCorrections)) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  std::filesystem::rename(temporary, path, error);
  if (!error) return true;
  std::filesystem::remove(temporary, error);
  return false;
}

int GantryFileInstance(const ProfileFile& file) {
  return file.Integer(kInfoSection, "Instance", 0);
}

std::optional<GantryGrid> ReadGantryGrid(const ProfileFile& file, int axisCount) {
  GantryGrid grid{};
  grid.axisX = file.Integer(kInfoSection, "AxisX", kNoGantryAxis);
  grid.axisY = file.Integer(kInfoSection, "AxisY", kNoGantryAxis);
  for (int axis : {grid.axisX, grid.axisY}) {
    if (axis == kNoGantryAxis || axis < 0 || axis >= axisCount) return std::nullopt;
  }
  if (!ReadAxis(file, kAxisSections[0], grid.unitX, grid.originX, grid.pitchX, grid.countX) ||
      !ReadAxis(file, kAxisSections[1], grid.unitY, grid.originY, grid.pitchY, grid.countY) ||
      static_cast<long long>(grid.countX) * grid.countY > kMaxGantryPoints ||
      !ReadPoints(file, grid)) {
    return std::nullopt;
  }
  return grid;
}

}  // namespace quorva
