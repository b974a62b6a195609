#include "cli/config_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <set>

#include "cli/errors.h"
#include "cli/ini_file.h"

namespace quorva::cli {
namespace {

namespace ic = init_config;

enum class Kind { kInteger, kReal, kFlag, kMaxSpeed };

// What a packed value means for its setters, written after it as a comment.
using Explain = std::string (*)(std::int32_t value);

struct Setting {
  const char* key;
  Kind kind;
  int index;  // in the setting's table
  Explain explain = nullptr;
};

std::string Pair(const char* first, int a, const char* second, int b) {
  return std::string(first) + " " + std::to_string(a) + ", " + second + " " + std::to_string(b);
}

// In the order the library applies them.
constexpr Setting kSettings[] = {
    {"output_mode", Kind::kInteger, ic::kOutputMode},
    {"input_mode", Kind::kInteger, ic::kInputModeCode,
     [](std::int32_t v) { return Pair("mode", ic::InputMode(v), "reverse", ic::InputReverse(v)); }},
    {"max_speed", Kind::kMaxSpeed, 0, nullptr},
    {"unit_distance", Kind::kReal, ic::kUnitDistance},
    {"unit_speed", Kind::kReal, ic::kUnitSpeed},
    {"in_out_ratio", Kind::kReal, ic::kInOutRatio},
    {"alm", Kind::kInteger, ic::kAlmCode,
     [](std::int32_t v) { return Pair("first", ic::CodeAbove(v), "second", ic::CodeBit0(v)); }},
    {"soft_limits", Kind::kFlag, ic::kSoftLimitsOn,
     [](std::int32_t v) { return std::string(v != 0 ? "on" : "off"); }},
    {"soft_limit1", Kind::kReal, ic::kSoftLimit1},
    {"soft_limit2", Kind::kReal, ic::kSoftLimit2},
    {"el", Kind::kInteger, ic::kElCode,
     [](std::int32_t v) { return Pair("flag", ic::CodeBit0(v), "logic", ic::CodeAbove(v)); }},
    {"filter_logic", Kind::kFlag, ic::kFilterLogic},
    {"dr", Kind::kInteger, ic::kDrFlag},
    {"sd1", Kind::kInteger, ic::kSdCode1,
     [](std::int32_t v) { return Pair("enable", ic::CodeAbove(v), "first", ic::CodeBit0(v)); }},
    {"sd2", Kind::kInteger, ic::kSdCode2,
     [](std::int32_t v) { return Pair("second", ic::CodeAbove(v), "third", ic::CodeBit0(v)); }},
    {"sta", Kind::kInteger, ic::kStaCode,
     [](std::int32_t v) { return Pair("mode", v, "input type", ic::StartInputType(v)); }},
    {"stp", Kind::kInteger, ic::kStpKind},
    {"clr1", Kind::kInteger, ic::kClrCode1},
    {"clr2", Kind::kInteger, ic::kClrCode2},
    {"cmp_width", Kind::kReal, ic::kCmpWidth},
    {"cmp_logic", Kind::kInteger, ic::kCmpLogic},
    {"inp", Kind::kInteger, ic::kInpCode,
     [](std::int32_t v) { return Pair("enable", ic::CodeAbove(v), "logic", ic::CodeBit0(v)); }},
    {"ltc", Kind::kInteger, ic::kLtcCode,
     [](std::int32_t v) { return Pair("first", ic::CodeBit0(v), "second", ic::CodeAbove(v)); }},
};

// A real as the shortest text that reads back as the same double: whole numbers in plain
// digits, others in the shorter of plain and exponent notation.
std::string RealText(double value) {
  std::array<char, 64> text{};
  const bool whole = std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15;
  const auto end =
      whole ? std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed)
            : std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), end.ptr);
}

std::string ValueText(const ic::Axis& axis, const Setting& s) {
  switch (s.kind) {
    case Kind::kInteger:
      return std::to_string(axis.integers[s.index]);
    case Kind::kFlag:
      return std::to_string(axis.flags[s.index]);
    case Kind::kReal:
      return RealText(axis.reals[s.index]);
    case Kind::kMaxSpeed:
      return RealText(axis.maxSpeed);
  }
  return {};
}

std::string CommentOf(const ic::Axis& axis, const Setting& s) {
  if (s.kind == Kind::kMaxSpeed) return "pulses per second";
  if (s.explain == nullptr) return {};
  return s.explain(s.kind == Kind::kFlag ? axis.flags[s.index] : axis.integers[s.index]);
}

const Setting* FindSetting(const std::string& key) {
  for (const Setting& s : kSettings) {
    if (key == s.key) return &s;
  }
  return nullptr;
}

// The axis number of a section "axis N", or -1.
int AxisOfSection(const std::string& section) {
  int axis = -1;
  if (section.size() == 6 && section.rfind("axis ", 0) == 0) axis = section[5] - '0';
  return axis >= 0 && axis < ic::kAxes ? axis : -1;
}

// Stores the value of `entry` into the setting; false when it is not of the setting's kind.
bool Store(ic::Axis& axis, const Setting& s, const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  if (s.kind == Kind::kReal || s.kind == Kind::kMaxSpeed) {
    const double value = std::strtod(begin, &end);
    if (text.empty() || *end != '\0') return false;
    (s.kind == Kind::kReal ? axis.reals[s.index] : axis.maxSpeed) = value;
    return true;
  }
  long long value = 0;
  const auto [stop, error] = std::from_chars(begin, begin + text.size(), value);
  if (text.empty() || error != std::errc() || stop != begin + text.size()) return false;
  if (s.kind == Kind::kFlag) {
    if (value < 0 || value > 255) return false;
    axis.flags[s.index] = static_cast<std::uint8_t>(value);
    return true;
  }
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return false;
  axis.integers[s.index] = static_cast<std::int32_t>(value);
  return true;
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kInteger:
      return "an integer";
    case Kind::kFlag:
      return "a flag of 0-255";
    default:
      return "a number";
  }
}

}  // namespace

std::string FormatConfigText(const init_config::Record& record) {
  std::string text;
  for (int n = 0; n < ic::kAxes; ++n) {
    const ic::Axis& axis = record[static_cast<std::size_t>(n)];
    text += (n == 0 ? "[axis " : "\n[axis ") + std::to_string(n) + "]\n";
    for (const Setting& s : kSettings) {
      std::string line = std::string(s.key) + " = " + ValueText(axis, s);
      const std::string comment = CommentOf(axis, s);
      if (!comment.empty())
        line += std::string(line.size() < 24 ? 24 - line.size() : 1, ' ') + "; " + comment;
      text += line + "\n";
    }
  }
  return text;
}

init_config::Record ParseConfigText(std::string_view text, const std::string& origin) {
  const IniFile file = IniFile::Parse(text, origin);
  ic::Record record{};
  std::set<std::pair<int, std::string>> seen;
  for (const IniEntry& entry : file.entries) {
    const int axis = AxisOfSection(entry.section);
    if (axis < 0) file.Fail(entry, "'" + entry.key + "' is not in a section [axis 0] to [axis 7]");
    const Setting* setting = FindSetting(entry.key);
    if (setting == nullptr) file.Fail(entry, "no setting is called '" + entry.key + "'");
    if (!seen.insert({axis, entry.key}).second)
      file.Fail(entry, "'" + entry.key + "' is given twice for axis " + std::to_string(axis));
    if (!Store(record[static_cast<std::size_t>(axis)], *setting, entry.value)) {
      file.Fail(entry, "'" + entry.key + "' takes " + KindName(setting->kind) + ", not '" +
                           entry.value + "'");
    }
  }
  return record;
}

}  // namespace quorva::cli
