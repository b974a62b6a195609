// The subcommands. A new one is a file of its own that defines its Command, and a line here.
#include "cli/command.h"

namespace quorva::cli {

extern const Command kListCommand, kInfoCommand, kStatusCommand, kMoveCommand, kMoveToCommand,
    kJogCommand, kStopCommand, kResetCommand, kRegsCommand, kReadCommand, kWriteCommand,
    kTraceCommand;

std::span<const Command* const> Commands() {
  static constexpr const Command* kCommands[] = {
      &kListCommand,   &kInfoCommand, &kStatusCommand, &kMoveCommand,
      &kMoveToCommand, &kJogCommand,  &kStopCommand,   &kResetCommand,
      &kRegsCommand,   &kReadCommand, &kWriteCommand,  &kTraceCommand,
  };
  return kCommands;
}

}  // namespace quorva::cli
