// quorva: watches, moves and plots the axes of Quorva motion boards and runs G-code paths, on
// the simulated driver unless --device is given. `quorva --help` lists the commands.
#include <iostream>
#include <string>
#include <vector>

#include "cli/terminal.h"
#include "cli/tool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  quorva::cli::Console console{std::cout, std::cerr, quorva::cli::OutputIsTerminal()};
  const int status = quorva::cli::RunTool(words, console);
  std::cout.flush();
  return status;
}
