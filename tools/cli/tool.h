// The command-line tool as a function: the words after the program's name in, text and an
// exit status out (0 success, 1 failure, 2 a wrong command line).
#pragma once

#include <span>
#include <string>

#include "cli/command.h"

namespace quorva::cli {

int RunTool(std::span<const std::string> words, Console& console);

}  // namespace quorva::cli
