#include "cli/ini_file.h"

#include <fstream>
#include <sstream>

#include "cli/errors.h"

namespace quorva::cli {
namespace {

std::string Trim(std::string_view text) {
  const auto begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return "";
  const auto end = text.find_last_not_of(" \t\r");
  return std::string(text.substr(begin, end - begin + 1));
}

}  // namespace

IniFile IniFile::Parse(std::string_view text, const std::string& origin) {
  IniFile file{origin, {}};
  std::string section;
  int number = 0;
  std::istringstream lines{std::string(text)};
  for (std::string raw; std::getline(lines, raw);) {
    ++number;
    const std::string line = Trim(raw.substr(0, raw.find_first_of("#;")));
    if (line.empty()) continue;
    const std::string where = origin + ":" + std::to_string(number) + ": ";
    if (line.front() == '[') {
      if (line.back() != ']') throw ToolError(where + "a section line ends with ']'");
      section = Trim(std::string_view(line).substr(1, line.size() - 2));
      continue;
    }
    const auto equals = line.find('=');
    if (equals == std::string::npos) throw ToolError(where + "expected 'key = value'");
    file.entries.push_back(
        {section, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), number});
  }
  return file;
}

IniFile IniFile::Read(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) throw ToolError("cannot read " + path);
  std::ostringstream text;
  text << stream.rdbuf();
  return Parse(text.str(), path);
}

void IniFile::Fail(const IniEntry& entry, const std::string& message) const {
  throw ToolError(origin + ":" + std::to_string(entry.line) + ": " + message);
}

}  // namespace quorva::cli
