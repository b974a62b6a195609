// Failures the tool reports as one line and a nonzero exit status.
#pragma once

#include <stdexcept>

namespace quorva::cli {

// What was asked cannot be done: exit status 1.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The command line is wrong: exit status 2, and the command's usage follows the message.
class UsageError : public ToolError {
 public:
  using ToolError::ToolError;
};

}  // namespace quorva::cli
