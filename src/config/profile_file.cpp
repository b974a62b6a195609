#include "config/profile_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

namespace quorva {
namespace {

// The most entries a table can number (entry numbers + 1 must fit the slots).
constexpr std::size_t kMaxEntries = 0xFFFFFFF0u;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// FNV-1a over the lower-cased name, seeded with its owner.
std::uint64_t NameHash(std::uint32_t owner, std::string_view name) {
  std::uint64_t h = 14695981039346656037ull ^ owner;
  for (char c : name) {
    h ^= static_cast<unsigned char>(Lower(c));
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

std::optional<ProfileFile> ProfileFile::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return Parse(std::move(content).str());
}

ProfileFile ProfileFile::Parse(std::string text) {
  ProfileFile file;
  file.text_ = std::make_unique<const std::string>(std::move(text));
  file.Index();
  return file;
}

void ProfileFile::Index() {
  const std::string_view text = *text_;
  slots_.assign(64, 0);
  // Keys go to the first section of their name; kSectionHeader while no section (or a repeated
  // one) is open, whose keys are dropped.
  std::uint32_t owner = kSectionHeader;
  for (std::size_t begin = 0; begin < text.size() && entries_.size() < kMaxEntries;) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trim(text.substr(begin, end - begin));
    begin = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) continue;
      const std::string_view name = Trim(line.substr(1, close - 1));
      const std::size_t before = entries_.size();
      const std::uint32_t number = Insert(kSectionHeader, name, {});
      owner = entries_.size() > before ? number : kSectionHeader;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || owner == kSectionHeader) continue;
    Insert(owner, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
  }
}

std::size_t ProfileFile::SlotOf(std::uint32_t owner, std::string_view key) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = NameHash(owner, key) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0) return slot;
    const Entry& entry = entries_[held - 1];
    if (entry.owner == owner && SameName(entry.key, key)) return slot;
  }
}

void ProfileFile::Grow() {
  slots_.assign(slots_.size() * 2, 0);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    slots_[SlotOf(entries_[i].owner, entries_[i].key)] = static_cast<std::uint32_t>(i + 1);
  }
}

std::uint32_t ProfileFile::Insert(std::uint32_t owner, std::string_view key,
                                  std::string_view value) {
  const std::size_t slot = SlotOf(owner, key);
  if (slots_[slot] != 0) return slots_[slot] - 1;
  entries_.push_back({owner, key, value});
  const auto number = static_cast<std::uint32_t>(entries_.size() - 1);
  slots_[slot] = number + 1;
  if (entries_.size() * 2 > slots_.size()) Grow();
  return number;
}

std::optional<std::uint32_t> ProfileFile::Find(std::uint32_t owner, std::string_view key) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint32_t held = slots_[SlotOf(owner, key)];
  if (held == 0) return std::nullopt;
  return held - 1;
}

std::optional<std::string_view> ProfileFile::Value(std::string_view section,
                                                   std::string_view key) const {
  const auto number = Find(kSectionHeader, section);
  if (!number) return std::nullopt;
  const auto entry = Find(*number, key);
  if (!entry) return std::nullopt;
  return entries_[*entry].value;
}

int ProfileFile::Integer(std::string_view section, std::string_view key, int fallback) const {
  const auto value = Value(section, key);
  if (!value || value->empty()) return fallback;
  std::string_view digits = *value;
  const bool negative = digits.front() == '-';
  if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);
  constexpr long long kLimit = std::numeric_limits<int>::max();
  long long magnitude = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    magnitude = std::min(magnitude * 10 + (c - '0'), kLimit + 1);
  }
  if (negative) return static_cast<int>(-magnitude);
  return static_cast<int>(std::min(magnitude, kLimit));
}

std::optional<double> ParseDecimal(std::string_view text) {
  // from_chars takes no leading '+'; a sign must still be followed by the number itself.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
  if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace quorva
