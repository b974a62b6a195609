#include "cli/tool.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <vector>

#include "cli/errors.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kHelpOption[] = {{"help", nullptr, "show this help", 'h'}};

const Command* FindCommand(const std::string& name) {
  const auto commands = Commands();
  const auto it = std::find_if(commands.begin(), commands.end(),
                               [&](const Command* c) { return name == c->name; });
  return it == commands.end() ? nullptr : *it;
}

std::vector<OptionSpec> OptionsOf(const Command& command) {
  std::vector<OptionSpec> options(std::begin(kHelpOption), std::end(kHelpOption));
  for (std::span<const OptionSpec> group : command.options)
    options.insert(options.end(), group.begin(), group.end());
  return options;
}

void PrintUsage(const Command& command, std::ostream& stream) {
  stream << "usage: quorva " << command.name;
  if (*command.arguments != '\0') stream << ' ' << command.arguments;
  stream << " [options]\n";
}

void PrintHelp(const Command& command, std::ostream& out) {
  PrintUsage(command, out);
  out << '\n' << command.description << "\n\noptions:\n";
  for (const OptionSpec& option : OptionsOf(command)) {
    std::string left = option.letter != 0 ? std::string("  -") + option.letter + ", --" : "  --";
    left += option.name;
    if (option.value != nullptr) left += std::string(" ") + option.value;
    out << left << std::string(left.size() < 26 ? 26 - left.size() : 1, ' ') << option.help << '\n';
  }
}

void PrintOverview(std::ostream& stream) {
  stream << "usage: quorva COMMAND [arguments] [options]\n\n"
            "Watches, moves and plots the axes of Quorva motion boards and runs G-code paths,\n"
            "on the simulated driver inside the library unless --device is given.\n\n"
            "commands:\n";
  for (const Command* command : Commands()) {
    const std::string name = command->name;
    stream << "  " << name << std::string(name.size() < 9 ? 9 - name.size() : 1, ' ')
           << command->summary << '\n';
  }
  stream << "\n'quorva COMMAND --help' describes a command and its options.\n";
}

int Run(const Command& command, std::span<const std::string> words, Console& console) {
  try {
    const std::vector<OptionSpec> options = OptionsOf(command);
    const Arguments args(words, options);
    if (args.Flag("help")) {
      PrintHelp(command, console.out);
      return 0;
    }
    return command.run(Invocation{command, args, console});
  } catch (const UsageError& error) {
    console.err << "quorva " << command.name << ": " << error.what() << '\n';
    PrintUsage(command, console.err);
    return 2;
  } catch (const std::exception& error) {
    console.err << "quorva " << command.name << ": " << error.what() << '\n';
    return 1;
  }
}

}  // namespace

int RunTool(std::span<const std::string> words, Console& console) {
  if (words.empty()) {
    PrintOverview(console.err);
    return 2;
  }
  const std::string& first = words[0];
  if (first == "--help" || first == "-h" || first == "help") {
    if (words.size() > 1) {
      if (const Command* command = FindCommand(words[1])) {
        PrintHelp(*command, console.out);
        return 0;
      }
    }
    PrintOverview(console.out);
    return words.size() > 1 ? 2 : 0;
  }
  const Command* command = FindCommand(first);
  if (command == nullptr) {
    console.err << "quorva: unknown command '" << first << "' ('quorva --help' lists them)\n";
    return 2;
  }
  return Run(*command, words.subspan(1), console);
}

}  // namespace quorva::cli
