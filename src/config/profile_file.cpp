#include "config/profile_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>

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

// FNV-1a over the lower-cased name, seeded with its owner. Names that differ only in their
// last characters land in nearby slots, which keeps reading a file's keys in file order
// cache-friendly.
std::uint64_t NameHash(std::uint32_t owner, std::string_view name) {
  std::uint64_t h = 14695981039346656037ull ^ owner;
  for (char c : name) {
    h ^= static_cast<unsigned char>(Lower(c));
    h *= 1099511628211ull;
  }
  return h;
}

// A slot holds the entry number + 1 in its low half and the upper half of the name's hash in
// its high half, so that most probes past other names need not look at their entries.
std::uint64_t SlotValue(std::uint64_t hash, std::size_t entry) {
  return (hash & 0xFFFFFFFF00000000ull) | (entry + 1);
}
std::uint32_t EntryPlusOne(std::uint64_t slot) {
  return static_cast<std::uint32_t>(slot);
}

}  // namespace

std::optional<ProfileFile> ProfileFile::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  in.read(text.data(), size);
  text.resize(static_cast<std::size_t>(in.gcount()));
  return Parse(std::move(text));
}

ProfileFile ProfileFile::Parse(std::string text) {
  ProfileFile file;
  file.text_ = std::make_unique<const std::string>(std::move(text));
  file.Index();
  return file;
}

void ProfileFile::Index() {
  const std::string_view text = *text_;
  // One slot pair per line: the table never fills beyond half.
  const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  std::size_t slots = 64;
  while (slots < 2 * lines && slots < 2 * kMaxEntries)
    slots *= 2;
  slots_.assign(slots, 0);
  entries_.reserve(std::min(lines, kMaxEntries));
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
  const std::uint64_t hash = NameHash(owner, key);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t held = slots_[slot];
    if (held == 0) return slot;
    if ((held ^ hash) >> 32 != 0) continue;
    const Entry& entry = entries_[EntryPlusOne(held) - 1];
    if (entry.owner == owner && SameName(entry.key, key)) return slot;
  }
}

std::uint32_t ProfileFile::Insert(std::uint32_t owner, std::string_view key,
                                  std::string_view value) {
  const std::size_t slot = SlotOf(owner, key);
  if (slots_[slot] != 0) return EntryPlusOne(slots_[slot]) - 1;
  entries_.push_back({owner, key, value});
  slots_[slot] = SlotValue(NameHash(owner, key), entries_.size() - 1);
  return static_cast<std::uint32_t>(entries_.size() - 1);
}

std::optional<std::uint32_t> ProfileFile::Find(std::uint32_t owner, std::string_view key) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint64_t held = slots_[SlotOf(owner, key)];
  if (held == 0) return std::nullopt;
  return EntryPlusOne(held) - 1;
}

std::optional<std::uint32_t> ProfileFile::FindKey(std::uint32_t section,
                                                  std::string_view key) const {
  // Readers mostly ask for keys in the order of the file: the entry after the last key found
  // is tried before the table (entries hold first occurrences only, so a match there is the
  // key's entry).
  const std::size_t next = lastKeyFound_ + 1;
  if (next < entries_.size() && entries_[next].owner == section &&
      SameName(entries_[next].key, key)) {
    lastKeyFound_ = next;
    return static_cast<std::uint32_t>(next);
  }
  const auto found = Find(section, key);
  if (found) lastKeyFound_ = *found;
  return found;
}

std::optional<std::string_view> ProfileFile::Value(std::string_view section,
                                                   std::string_view key) const {
  const auto number = Find(kSectionHeader, section);
  if (!number) return std::nullopt;
  const auto entry = FindKey(*number, key);
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
