#include "config/profile_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace quorva {
namespace {

// Room for several lines of the longest length read, so that most reads of the file are
// large.
constexpr std::size_t kBufferSize = 1 << 16;
static_assert(kBufferSize > kMaxProfileLine);

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

ProfileReader::ProfileReader(std::FILE* file) : file_(file), buffer_(kBufferSize) {}

bool ProfileReader::Fill() {
  if (atEnd_) return false;
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  const std::size_t read = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  end_ += read;
  if (read == 0) {
    atEnd_ = true;
    failed_ = std::ferror(file_) != 0;
  }
  return read != 0;
}

bool ProfileReader::NextLine(std::string_view& line, bool& overlong) {
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    // A line of kMaxProfileLine characters has its line end at that index.
    const auto* newline = static_cast<const char*>(
        std::memchr(start, '\n', std::min(available, kMaxProfileLine + 1)));
    overlong = newline == nullptr && available > kMaxProfileLine;
    if (newline != nullptr || overlong) {
      line = {start, newline != nullptr ? static_cast<std::size_t>(newline - start) : 0};
      if (!overlong) begin_ += line.size() + 1;
      return true;
    }
    if (!Fill()) {
      // The last line of a file that does not end in a line end; the refill has moved it to
      // the front of the buffer.
      line = {buffer_.data() + begin_, end_ - begin_};
      begin_ = end_;
      return !line.empty();
    }
  }
}

bool ProfileReader::SkipOverlongHeader() {
  bool decided = false;
  bool header = false;
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', available));
    const std::size_t length = newline != nullptr ? newline - start : available;
    for (std::size_t k = 0; !decided && k < length; ++k) {
      decided = !IsBlank(start[k]);
      header = start[k] == '[';
    }
    begin_ += length;
    if (newline != nullptr) {
      ++begin_;
      return header;
    }
    if (!Fill()) return header;
  }
}

bool ProfileReader::Next(ProfileLine& out) {
  std::string_view raw;
  bool overlong = false;
  while (NextLine(raw, overlong)) {
    if (overlong) {
      if (!SkipOverlongHeader()) continue;
      out = {ProfileLine::kUnnamedSection, {}, {}};
      return true;
    }
    const std::string_view text = TrimBlanks(raw);
    if (text.empty() || text.front() == ';') continue;
    if (text.front() == '[') {
      const std::size_t close = text.find(']');
      if (close == std::string_view::npos) continue;
      out = {ProfileLine::kSection, TrimBlanks(text.substr(1, close - 1)), {}};
      return true;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    out = {ProfileLine::kKey, TrimBlanks(text.substr(0, equals)),
           TrimBlanks(text.substr(equals + 1))};
    return true;
  }
  return false;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

int ProfileInteger(std::string_view value, int fallback) {
  if (value.empty()) return fallback;
  const bool negative = value.front() == '-';
  if (value.front() == '-' || value.front() == '+') value.remove_prefix(1);
  constexpr long long kLimit = std::numeric_limits<int>::max();
  long long magnitude = 0;
  for (char c : value) {
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
