#include "config/gantry_file.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "platform/platform.h"

namespace quorva {
namespace {

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

  // One line formatted as printf does; the format is checked against the arguments.
#if defined(__GNUC__)
  __attribute__((format(printf, 2, 3)))
#endif
  void
  Line(const char* format, ...) {
    const std::size_t used = buffer_.size();
    buffer_.resize(used + kLineRoom);
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(buffer_.data() + used, kLineRoom, format, args);
    if (length < 0) {
      failed_ = true;
      length = 0;
    } else if (static_cast<std::size_t>(length) >= kLineRoom) {
      buffer_.resize(used + static_cast<std::size_t>(length) + 1);
      std::vsnprintf(buffer_.data() + used, static_cast<std::size_t>(length) + 1, format, again);
    }
    va_end(again);
    va_end(args);
    buffer_.resize(used + static_cast<std::size_t>(length));
    buffer_.push_back('\n');
    if (buffer_.size() >= kChunk) Flush();
  }
  void Flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
      failed_ = true;
    buffer_.clear();
  }
  bool Failed() const {
    return failed_;
  }

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
  constexpr const char* kAxisSections[2] = {"AxisXInfo", "AxisYInfo"};
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

}  // namespace quorva
