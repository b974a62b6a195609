#include "gcode/words.h"

#include <cctype>
#include <cstdlib>
#include <string>

#include "gcode/program.h"

namespace quorva::gcode {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The number that begins at `at` (blanks inside it are not allowed), or an empty view.
std::string_view NumberAt(std::string_view text, std::size_t at) {
  std::size_t end = at;
  if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
  const std::size_t digits = end;
  while (end < text.size() && (IsDigit(text[end]) || text[end] == '.'))
    ++end;
  const std::string_view number = text.substr(digits, end - digits);
  if (number.empty() || number == "." || number.find('.') != number.rfind('.')) return {};
  return text.substr(at, end - at);
}

}  // namespace

std::vector<Word> SplitWords(std::string_view text, int line) {
  std::vector<Word> words;
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < text.size() && IsBlank(text[i]))
      ++i;
  };
  skipBlanks();
  if (i < text.size() && text[i] == '/') ++i;
  while (i < text.size()) {
    const char c = text[i];
    if (IsBlank(c)) {
      ++i;
    } else if (c == ';') {
      break;
    } else if (c == '%') {
      ++i;
    } else if (c == '(') {
      const std::size_t close = text.find(')', i);
      if (close == std::string_view::npos) throw ProgramError(line, "comment without ')'");
      i = close + 1;
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      ++i;
      skipBlanks();
      const std::string_view number = NumberAt(text, i);
      if (number.empty()) {
        throw ProgramError(line, std::string("'") + c + "' without a number");
      }
      const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      words.push_back({upper, std::strtod(std::string(number).c_str(), nullptr), number});
      i += number.size();
    } else {
      throw ProgramError(line, std::string("unexpected '") + c + "'");
    }
  }
  return words;
}

}  // namespace quorva::gcode
