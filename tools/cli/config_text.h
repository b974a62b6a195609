// The text form of a board configuration file, for people to read and write:
//
//   [axis 0]
//   output_mode = 0
//   input_mode = 6          ; mode 2, reverse 1
//   max_speed = 655350      ; pulses per second
//   unit_distance = 1000
//   ...
//
// One section "[axis N]" per axis (0-7) and one "key = value" line per setting, in the order
// the library applies them; what follows ';' or '#' is a comment (the tool writes one where a
// value packs two settings). In text that is read, sections and keys may come in any order and
// a missing one is 0; the words of the file that carry no setting are written as 0.
#pragma once

#include <string>
#include <string_view>

#include "config/init_config_file.h"

namespace quorva::cli {

std::string FormatConfigText(const init_config::Record& record);

// ToolError "ORIGIN:LINE: ..." for an unknown section or key, a key given twice, or a value
// that is not a number of the setting's kind (an integer of 32 bits, a flag of 0-255, or a
// real).
init_config::Record ParseConfigText(std::string_view text, const std::string& origin);

}  // namespace quorva::cli
