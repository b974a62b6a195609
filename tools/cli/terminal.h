// What the tool needs from the console: whether output goes to a terminal, Ctrl-C, pauses.
#pragma once

namespace quorva::cli {

// True when standard output is an interactive terminal that understands the ANSI sequences
// that move the cursor (on Windows, once they are switched on for the console).
bool OutputIsTerminal();

// While one exists, Ctrl-C does not end the program: it is noted, for the command to stop its
// axes and finish. Requested() is true once Ctrl-C was pressed.
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;
  bool Requested() const;
};

void SleepSeconds(double seconds);

}  // namespace quorva::cli
