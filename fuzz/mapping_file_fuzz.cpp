// The gantry-mapping file reader against a reference that applies the same reading rules to
// the whole text at once. Input: one byte choosing the board (bit 0: instance 0 or 1; bit 1:
// 8 or 4 axes), then the file's text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "config/gantry_file.h"
#include "config/profile_reader.h"

namespace {

using namespace quorva;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string_view Trim(std::string_view s) {
  constexpr std::string_view kBlanks = " \t\r\v\f";
  const std::size_t begin = s.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  return s.substr(begin, s.find_last_not_of(kBlanks) + 1 - begin);
}

// Sections and keys by lower-cased name, first occurrences only.
class ReferenceProfile {
 public:
  explicit ReferenceProfile(std::string_view text) {
    std::map<std::string, std::string>* section = nullptr;
    while (!text.empty()) {
      const std::size_t end = std::min(text.find('\n'), text.size());
      const std::string_view raw = text.substr(0, end);
      text.remove_prefix(std::min(end + 1, text.size()));
      const std::string_view line = Trim(raw);
      if (raw.size() > kMaxProfileLine) {
        if (!line.empty() && line.front() == '[') section = nullptr;
        continue;
      }
      if (line.empty() || line.front() == ';') continue;
      if (line.front() == '[') {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) continue;
        const auto [entry, added] = sections_.try_emplace(Lower(Trim(line.substr(1, close - 1))));
        section = added ? &entry->second : nullptr;
        continue;
      }
      const std::size_t equals = line.find('=');
      if (equals == std::string_view::npos || section == nullptr) continue;
      section->try_emplace(Lower(Trim(line.substr(0, equals))),
                           std::string(Trim(line.substr(equals + 1))));
    }
  }

  const std::string* Value(std::string_view section, std::string_view key) const {
    const auto s = sections_.find(Lower(section));
    if (s == sections_.end()) return nullptr;
    const auto k = s->second.find(Lower(key));
    return k == s->second.end() ? nullptr : &k->second;
  }
  int Integer(std::string_view section, std::string_view key, int fallback) const {
    const std::string* value = Value(section, key);
    return value ? ProfileInteger(*value, fallback) : fallback;
  }
  std::optional<double> Decimal(std::string_view section, std::string_view key) const {
    const std::string* value = Value(section, key);
    return value ? ParseDecimal(*value) : std::nullopt;
  }
  std::size_t Keys(std::string_view section) const {
    const auto s = sections_.find(Lower(section));
    return s == sections_.end() ? 0 : s->second.size();
  }

 private:
  std::map<std::string, std::map<std::string, std::string>> sections_;
};

std::optional<double> Correction(std::string_view text) {
  text = Trim(text);
  return text.empty() ? 0.0 : ParseDecimal(text);
}

bool ReadAxis(const ReferenceProfile& file, const char* section, double& unit, double& origin,
              double& pitch, int& count) {
  const auto unitDistance = file.Decimal(section, "UnitDist");
  const auto start = file.Decimal(section, "StartPoint");
  const auto spacing = file.Decimal(section, "Offset");
  if (!unitDistance || *unitDistance == 0 || !start || !spacing) return false;
  unit = *unitDistance;
  origin = *start * unit;
  pitch = *spacing * unit;
  count = file.Integer(section, "Num", 0);
  return count > 0;
}

std::optional<GantryGrid> ReferenceGrid(const ReferenceProfile& file, int axisCount) {
  GantryGrid grid{};
  grid.axisX = file.Integer("GantryMapInfo", "AxisX", kNoGantryAxis);
  grid.axisY = file.Integer("GantryMapInfo", "AxisY", kNoGantryAxis);
  for (int axis : {grid.axisX, grid.axisY}) {
    if (axis == kNoGantryAxis || axis < 0 || axis >= axisCount) return std::nullopt;
  }
  if (!ReadAxis(file, "AxisXInfo", grid.unitX, grid.originX, grid.pitchX, grid.countX) ||
      !ReadAxis(file, "AxisYInfo", grid.unitY, grid.originY, grid.pitchY, grid.countY) ||
      static_cast<long long>(grid.countX) * grid.countY > kMaxGantryPoints) {
    return std::nullopt;
  }
  // Fewer keys than points: one is missing (and looking up a million keys is slow).
  if (file.Keys("MappingPoint") < static_cast<std::size_t>(grid.countX) * grid.countY)
    return std::nullopt;
  for (int i = 0; i < grid.countX; ++i) {
    for (int j = 0; j < grid.countY; ++j) {
      char key[48];
      std::snprintf(key, sizeof key, "Mappoint_X%.3d_Y%.3d", i, j);
      const std::string* value = file.Value("MappingPoint", key);
      if (value == nullptr || value->empty()) return std::nullopt;
      const std::size_t comma = value->find(',');
      const auto dx = Correction(std::string_view(*value).substr(0, comma));
      const auto dy =
          comma == std::string::npos ? 0.0 : Correction(std::string_view(*value).substr(comma + 1));
      if (!dx || !dy) return std::nullopt;
      grid.cells.push_back({*dx * grid.unitX, *dy * grid.unitY});
    }
  }
  return grid;
}

bool SameGrid(const GantryGrid& a, const GantryGrid& b) {
  if (a.axisX != b.axisX || a.axisY != b.axisY || a.countX != b.countX || a.countY != b.countY ||
      a.cells.size() != b.cells.size())
    return false;
  const double fields[2][6] = {{a.unitX, a.unitY, a.originX, a.originY, a.pitchX, a.pitchY},
                               {b.unitX, b.unitY, b.originX, b.originY, b.pitchX, b.pitchY}};
  return std::memcmp(fields[0], fields[1], sizeof fields[0]) == 0 &&
         std::memcmp(a.cells.data(), b.cells.data(), a.cells.size() * sizeof(GantryCell)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int instance = data[0] & 1;
  const int axisCount = (data[0] & 2) != 0 ? 4 : 8;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  std::FILE* file = fmemopen(text.data(), text.size(), "rb");
  if (file == nullptr) std::abort();
  const GantryFileContents read = ReadGantryFile(file, instance, axisCount);
  std::fclose(file);

  const ReferenceProfile reference(text);
  const int named = reference.Integer("GantryMapInfo", "Instance", 0);
  if (read.instance != named) std::abort();
  const std::optional<GantryGrid> expected =
      named == instance ? ReferenceGrid(reference, axisCount) : std::nullopt;
  if (read.grid.has_value() != expected.has_value()) std::abort();
  if (expected && !SameGrid(*read.grid, *expected)) std::abort();
  return 0;
}
