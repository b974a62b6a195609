// Reading the gantry-mapping file line by line: the three small sections give the instance,
// the axes and the grid's geometry; the point lines go straight into the grid's cells.
#include <array>
#include <utility>

#include "config/gantry_file.h"
#include "config/profile_reader.h"

namespace quorva {
namespace {

enum Section { kInfo, kAxisX, kAxisY, kPoints, kSectionCount, kNoSection = kSectionCount };
constexpr std::array<std::string_view, kSectionCount> kSectionNames = {"GantryMapInfo", "AxisXInfo",
                                                                       "AxisYInfo", "MappingPoint"};

// The keys used from the three small sections, by section.
enum InfoKey { kInstance, kAxisXKey, kAxisYKey };
enum AxisKey { kUnitDist, kStartPoint, kOffset, kNum };
constexpr std::size_t kKeysPerSection = 4;
constexpr std::array<std::array<std::string_view, kKeysPerSection>, kPoints> kKeyNames = {{
    {"Instance", "AxisX", "AxisY", ""},
    {"UnitDist", "StartPoint", "Offset", "Num"},
    {"UnitDist", "StartPoint", "Offset", "Num"},
}};

// A number of a point key: at least three digits, zero-padded to three ("%03d"), so that each
// number has one spelling. Nullopt for any other text and for numbers beyond any grid.
std::optional<int> PointNumber(std::string_view digits) {
  if (digits.size() < 3 || digits.size() > 9 || (digits.size() > 3 && digits.front() == '0'))
    return std::nullopt;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

// The grid point that a key "Mappoint_X<i>_Y<j>" names.
std::optional<std::pair<int, int>> PointOfKey(std::string_view key) {
  constexpr std::string_view kPrefix = "Mappoint_X";
  constexpr std::string_view kMiddle = "_Y";
  if (key.size() < kPrefix.size() || !SameName(key.substr(0, kPrefix.size()), kPrefix))
    return std::nullopt;
  key.remove_prefix(kPrefix.size());
  const std::size_t middle = key.find_first_not_of("0123456789");
  if (middle == std::string_view::npos || !SameName(key.substr(middle, 2), kMiddle))
    return std::nullopt;
  const auto i = PointNumber(key.substr(0, middle));
  const auto j = PointNumber(key.substr(middle + kMiddle.size()));
  if (!i || !j) return std::nullopt;
  return std::pair{*i, *j};
}

// One correction of a point value, blanks around it ignored: empty text reads as 0.
std::optional<double> Correction(std::string_view text) {
  text = TrimBlanks(text);
  return text.empty() ? 0.0 : ParseDecimal(text);
}

class MappingFileReader {
 public:
  MappingFileReader(int instance, int axisCount) : instance_(instance), axisCount_(axisCount) {}

  GantryFileContents Read(std::FILE* file) {
    const bool pointsDeferred = ReadSectionsAndPoints(file);
    const int named = Integer(kInfo, kInstance, 0);
    if (named != instance_ || stopped_ || (!gridReady_ && !PrepareGrid()))
      return {named, std::nullopt};
    if (pointsDeferred) {
      std::rewind(file);
      ReadDeferredPoints(file);
    }
    if (stopped_ || filled_ != grid_.cells.size()) return {named, std::nullopt};
    return {named, std::move(grid_)};
  }

 private:
  // The whole file, in order. The points are read as they come when the sections that size
  // the grid are behind them; returns whether they came before and must be read again.
  bool ReadSectionsAndPoints(std::FILE* file) {
    ProfileReader reader(file);
    ProfileLine line;
    Section current = kNoSection;
    bool deferred = false;
    while (!stopped_ && reader.Next(line)) {
      if (line.kind == ProfileLine::kKey) {
        if (current == kPoints) {
          stopped_ = !AddPoint(line.name, line.value);
        } else if (current != kNoSection) {
          Remember(current, line.name, line.value);
        }
        continue;
      }
      // A section that is no longer open cannot change: the file of another instance is
      // left as soon as its info section is behind.
      if (seen_[kInfo] && Integer(kInfo, kInstance, 0) != instance_) return false;
      current = Open(line);
      if (current != kPoints) continue;
      if (!seen_[kInfo] || !seen_[kAxisX] || !seen_[kAxisY]) {
        deferred = true;
        current = kNoSection;
      } else if (!PrepareGrid()) {
        stopped_ = true;
      }
    }
    stopped_ = stopped_ || reader.Failed();
    return deferred;
  }

  // The keys of the first point section only.
  void ReadDeferredPoints(std::FILE* file) {
    ProfileReader reader(file);
    ProfileLine line;
    bool inPoints = false;
    while (!stopped_ && reader.Next(line)) {
      if (line.kind != ProfileLine::kKey) {
        if (inPoints) return;
        inPoints =
            line.kind == ProfileLine::kSection && SameName(line.name, kSectionNames[kPoints]);
      } else if (inPoints) {
        stopped_ = !AddPoint(line.name, line.value);
      }
    }
    stopped_ = stopped_ || reader.Failed();
  }

  // The section a header opens: one of ours the first time its name appears, else none.
  Section Open(const ProfileLine& header) {
    if (header.kind != ProfileLine::kSection) return kNoSection;
    for (int s = 0; s < kSectionCount; ++s) {
      if (!SameName(header.name, kSectionNames[s])) continue;
      if (seen_[s]) return kNoSection;
      seen_[s] = true;
      return static_cast<Section>(s);
    }
    return kNoSection;
  }

  void Remember(Section section, std::string_view key, std::string_view value) {
    for (std::size_t k = 0; k < kKeysPerSection; ++k) {
      const std::string_view name = kKeyNames[section][k];
      if (!name.empty() && SameName(key, name) && !values_[section][k])
        values_[section][k] = std::string(value);
    }
  }

  std::optional<double> Decimal(Section section, AxisKey key) const {
    const auto& value = values_[section][key];
    return value ? ParseDecimal(*value) : std::nullopt;
  }

  int Integer(Section section, std::size_t key, int fallback) const {
    const auto& value = values_[section][key];
    return value ? ProfileInteger(*value, fallback) : fallback;
  }

  // "AxisXInfo" or "AxisYInfo" converted to pulses; false when a value is missing or unusable.
  bool ReadAxis(Section section, double& unit, double& origin, double& pitch, int& count) const {
    const auto unitDistance = Decimal(section, kUnitDist);
    const auto start = Decimal(section, kStartPoint);
    const auto spacing = Decimal(section, kOffset);
    if (!unitDistance || *unitDistance == 0 || !start || !spacing) return false;
    unit = *unitDistance;
    origin = *start * unit;
    pitch = *spacing * unit;
    count = Integer(section, kNum, 0);
    return count > 0;
  }

  // The axes and geometry from the small sections, and room for every point.
  bool PrepareGrid() {
    grid_.axisX = Integer(kInfo, kAxisXKey, kNoGantryAxis);
    grid_.axisY = Integer(kInfo, kAxisYKey, kNoGantryAxis);
    for (int axis : {grid_.axisX, grid_.axisY}) {
      if (axis == kNoGantryAxis || axis < 0 || axis >= axisCount_) return false;
    }
    if (!ReadAxis(kAxisX, grid_.unitX, grid_.originX, grid_.pitchX, grid_.countX) ||
        !ReadAxis(kAxisY, grid_.unitY, grid_.originY, grid_.pitchY, grid_.countY) ||
        static_cast<long long>(grid_.countX) * grid_.countY > kMaxGantryPoints) {
      return false;
    }
    const std::size_t points = static_cast<std::size_t>(grid_.countX) * grid_.countY;
    grid_.cells.assign(points, GantryCell{});
    pointRead_.assign(points, false);
    gridReady_ = true;
    return true;
  }

  // Stores a point's corrections in pulses the first time its key appears; keys of no point of
  // the grid are ignored. False for a value that is empty or not a pair of numbers.
  bool AddPoint(std::string_view key, std::string_view value) {
    const auto point = PointOfKey(key);
    if (!point || point->first >= grid_.countX || point->second >= grid_.countY) return true;
    const std::size_t index = static_cast<std::size_t>(point->first) * grid_.countY + point->second;
    if (pointRead_[index]) return true;
    pointRead_[index] = true;
    ++filled_;
    if (value.empty()) return false;
    const std::size_t comma = value.find(',');
    const auto dx = Correction(value.substr(0, comma));
    const auto dy = comma == std::string_view::npos ? 0.0 : Correction(value.substr(comma + 1));
    if (!dx || !dy) return false;
    grid_.cells[index] = {*dx * grid_.unitX, *dy * grid_.unitY};
    return true;
  }

  const int instance_;
  const int axisCount_;
  std::array<bool, kSectionCount> seen_{};
  std::array<std::array<std::optional<std::string>, kKeysPerSection>, kPoints> values_;
  GantryGrid grid_{};
  bool gridReady_ = false;
  std::vector<bool> pointRead_;
  std::size_t filled_ = 0;
  // A point made the grid unusable, or the file could not be read.
  bool stopped_ = false;
};

}  // namespace

GantryFileContents ReadGantryFile(std::FILE* file, int instance, int axisCount) {
  return MappingFileReader(instance, axisCount).Read(file);
}

GantryFileContents ReadGantryFile(const std::string& path, int instance, int axisCount) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {0, std::nullopt};
  GantryFileContents contents = ReadGantryFile(file, instance, axisCount);
  std::fclose(file);
  return contents;
}

}  // namespace quorva
