// The words of one line of G-code: a letter and a number each, comments removed.
#pragma once

#include <string_view>
#include <vector>

namespace quorva::gcode {

struct Word {
  char letter;  // upper case
  double value;
  std::string_view text;  // the number as written
};

// Splits a line into its words. Comments in parentheses and after ';' are dropped, blanks are
// ignored, letters may be lower case, a leading '/' (block delete) is dropped and a line of
// '%' alone holds no words. ProgramError (with `line`) for anything else.
std::vector<Word> SplitWords(std::string_view text, int line);

}  // namespace quorva::gcode
