// A subcommand of the tool, and what it is handed when it runs.
#pragma once

#include <iosfwd>
#include <span>
#include <vector>

#include "cli/arguments.h"

namespace quorva::cli {

// Where a command writes: results to `out`, notes and progress to `err`. `terminal` is set when
// `out` is an interactive terminal: tables then refresh in place and progress bars are drawn.
struct Console {
  std::ostream& out;
  std::ostream& err;
  bool terminal = false;
};

struct Invocation;

struct Command {
  const char* name;
  const char* arguments;    // "BOARD AXIS DISTANCE"
  const char* summary;      // one line in the list of commands
  const char* description;  // what --help prints after the usage line
  std::vector<std::span<const OptionSpec>> options;
  int (*run)(const Invocation& invocation);  // the exit status
};

struct Invocation {
  const Command& command;
  const Arguments& args;
  Console& console;
};

// Every subcommand, in the order the overview lists them.
std::span<const Command* const> Commands();

// Options that several commands share.
std::span<const OptionSpec> BoardOptions();  // --device
std::span<const OptionSpec> AxisOptions();   // --settings and units, speeds, ramps, profile

}  // namespace quorva::cli
