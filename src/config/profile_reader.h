// Reading a profile (INI) text file one line at a time, without holding the file.
//
// Lines: "[name]" opens a section (text after the "]" is ignored; a "[" line without "]" is
// ignored); "key = value" is a key of the section above it; lines that are empty, start with
// ';' or have no "=" are ignored. Blanks around names, around "=" and around values are
// trimmed. A line longer than kMaxProfileLine characters is not read: when its first non-blank
// character is '[' it opens a section that has no name a reader looks for, otherwise it is
// ignored.
//
// What the reader leaves to its caller, who knows the few names it needs: names compare
// without regard to ASCII case; keys before the first section are ignored; the first
// occurrence of a section, and of a key within it, wins (the keys of a repeated section are
// ignored).
#pragma once

#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace quorva {

inline constexpr std::size_t kMaxProfileLine = 4096;

struct ProfileLine {
  enum Kind {
    kSection,         // `name` is the section's name
    kUnnamedSection,  // a header too long to read: a section no reader looks for
    kKey,             // `name` = `value`
  };
  Kind kind;
  std::string_view name;
  std::string_view value;
};

class ProfileReader {
 public:
  // Reads `file` from its present position; the file stays open and owned by the caller.
  explicit ProfileReader(std::FILE* file);

  // The next section header or key; false at the end of the file or when reading fails. The
  // views stay valid until the next call.
  bool Next(ProfileLine& line);
  // Whether reading stopped on an error of the file rather than at its end.
  bool Failed() const { return failed_; }

 private:
  // The next line without its line end; false at the end of the file. A line longer than
  // kMaxProfileLine is left unread with `overlong` set.
  bool NextLine(std::string_view& line, bool& overlong);
  // Reads more of the file behind what is buffered; false when nothing more came.
  bool Fill();
  // Drops an overlong line through its line end; whether its first non-blank character is '['.
  bool SkipOverlongHeader();

  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // the unread part of the buffer is [begin_, end_)
  std::size_t end_ = 0;
  bool atEnd_ = false;
  bool failed_ = false;
};

// `text` without the blanks (space, tab, CR, VT, FF) at its ends.
std::string_view TrimBlanks(std::string_view text);

// Section and key names compare without regard to ASCII case.
bool SameName(std::string_view a, std::string_view b);

// An integer read the way profile readers read one: an optional sign and the leading digits
// (0 when there are none, saturated to the int range); `fallback` for an empty value.
int ProfileInteger(std::string_view value, int fallback);

// Parses a whole decimal number (optional sign, digits, fraction, exponent) that fills
// `text`; nullopt for anything else, including infinities and NaN.
std::optional<double> ParseDecimal(std::string_view text);

}  // namespace quorva
