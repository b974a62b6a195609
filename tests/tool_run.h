// Runs the quorva tool's subcommands in the test's process, on the simulator with the virtual
// clock, and captures what they print.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/tool.h"
#include "sim_test.h"

namespace quorva::test {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline ToolRun RunQuorva(const std::vector<std::string>& words, bool terminal = false) {
  std::ostringstream out;
  std::ostringstream err;
  cli::Console console{out, err, terminal};
  ToolRun run;
  run.status = cli::RunTool(words, console);
  run.out = out.str();
  run.err = err.str();
  return run;
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace quorva::test
