// A small settings file: "[section]" lines, "key = value" lines, comments after '#' or ';'.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorva::cli {

struct IniEntry {
  std::string section;  // as written between the brackets, blanks trimmed
  std::string key;
  std::string value;
  int line = 0;
};

struct IniFile {
  std::string origin;  // the path, for messages
  std::vector<IniEntry> entries;

  // ToolError "ORIGIN:LINE: what is wrong" for a line that is none of the above.
  static IniFile Parse(std::string_view text, const std::string& origin);
  // ToolError when the file cannot be read.
  static IniFile Read(const std::string& path);

  // A ToolError that points at `entry`.
  [[noreturn]] void Fail(const IniEntry& entry, const std::string& message) const;
};

}  // namespace quorva::cli
