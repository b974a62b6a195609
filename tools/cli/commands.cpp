// The subcommands. A new one is a file of its own that defines its Command, declared and
// listed here.
#include "cli/command.h"

namespace quorva::cli {

extern const Command kListCommand, kInfoCommand, kStatusCommand, kMoveCommand, kMoveToCommand,
    kJogCommand, kStopCommand, kResetCommand, kRegsCommand, kReadCommand, kWriteCommand,
    kTraceCommand, kPlotCommand, kGcodeCommand, kHomeCommand;

std::span<const Command* const> Commands() {
  static constexpr const Command* kCommands[] = {
      &kListCommand,    // commands/boards.cpp
      &kInfoCommand,    // commands/boards.cpp
      &kStatusCommand,  // commands/status.cpp
      &kMoveCommand,    // commands/motion.cpp
      &kMoveToCommand,  // commands/motion.cpp
      &kJogCommand,     // commands/motion.cpp
      &kStopCommand,    // commands/motion.cpp
      &kHomeCommand,    // commands/home.cpp
      &kResetCommand,   // commands/motion.cpp
      &kRegsCommand,    // commands/registers.cpp
      &kReadCommand,    // commands/registers.cpp
      &kWriteCommand,   // commands/registers.cpp
      &kTraceCommand,   // commands/trace.cpp
      &kPlotCommand,    // commands/plot.cpp
      &kGcodeCommand,   // commands/gcode.cpp
  };
  return kCommands;
}

}  // namespace quorva::cli
