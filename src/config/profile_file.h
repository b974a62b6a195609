// A profile (INI) text file read once into a lookup table.
//
// Reading rules: "[name]" opens a section; "key = value" lines belong to the section above
// them; section and key names compare without regard to ASCII case; blanks around names,
// around "=" and around values are ignored; lines starting with ';', lines without "=" and
// lines before the first section are ignored; the first occurrence of a section, and of a key
// within it, wins. Lines may be of any length.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorva {

// Lookups are fastest in the order of the file. One object is not to be read from two
// threads at a time.
class ProfileFile {
 public:
  // An empty profile: every lookup gives its default.
  ProfileFile() = default;

  // Reads and indexes the whole file; nullopt when it cannot be opened.
  static std::optional<ProfileFile> Load(const std::string& path);
  // Indexes profile text held in memory.
  static ProfileFile Parse(std::string text);

  // The value of the key, nullopt when the section or the key is missing.
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
  // An integer read the way profile readers read one: an optional sign and the leading
  // digits (0 when there are none, saturated to the int range); `fallback` when the key is
  // missing or its value is empty.
  int Integer(std::string_view section, std::string_view key, int fallback) const;

 private:
  // A key of a section, or (owner kSectionHeader) a section's header, whose entry number is
  // then the section's number.
  struct Entry {
    std::uint32_t owner;
    std::string_view key;
    std::string_view value;
  };
  static constexpr std::uint32_t kSectionHeader = 0xFFFFFFFFu;

  void Index();
  // Adds the entry unless its name is already there; returns the entry number of the name.
  std::uint32_t Insert(std::uint32_t owner, std::string_view key, std::string_view value);
  std::optional<std::uint32_t> Find(std::uint32_t owner, std::string_view key) const;
  std::optional<std::uint32_t> FindKey(std::uint32_t section, std::string_view key) const;
  std::size_t SlotOf(std::uint32_t owner, std::string_view key) const;

  // The views in entries_ point into this text, which therefore never moves.
  std::unique_ptr<const std::string> text_;
  std::vector<Entry> entries_;
  // Open addressing over entries_ (0: a free slot); a power of two, at least twice the
  // number of lines of the text.
  std::vector<std::uint64_t> slots_;
  // The entry of the last key found: the next key in file order is the one after it.
  mutable std::size_t lastKeyFound_ = 0;
};

// Parses a whole decimal number (optional sign, digits, fraction, exponent) that fills
// `text`; nullopt for anything else, including infinities and NaN.
std::optional<double> ParseDecimal(std::string_view text);

}  // namespace quorva
