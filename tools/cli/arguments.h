// The words after a subcommand's name: positional arguments and options.
//
// An option is "--name", "--name VALUE" or "--name=VALUE", or "-x" for one with a letter ("-h"
// is "--help"); "--" ends the options. A word that starts with one dash followed by a digit or a
// point is a negative number, not an option, and a lone "-" is a positional word too.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorva::cli {

struct OptionSpec {
  const char* name;   // without the dashes
  const char* value;  // what the value is ("SECONDS"), or null for a flag
  const char* help;
  char letter = 0;  // "-o" stands for the option whose letter is 'o'
};

class Arguments {
 public:
  // UsageError for an option that is none of `options`, or one given without its value.
  Arguments(std::span<const std::string> words, std::span<const OptionSpec> options);

  std::size_t Count() const { return positionals_.size(); }
  // UsageError "missing WHAT" when there are fewer than index + 1 positionals.
  const std::string& At(std::size_t index, const char* what) const;
  // UsageError when more than `count` positionals were given.
  void AllowAtMost(std::size_t count) const;
  std::span<const std::string> From(std::size_t index) const;

  bool Flag(const char* name) const;
  std::optional<std::string> Value(const char* name) const;
  double Number(const char* name, double otherwise) const;
  std::optional<double> Number(const char* name) const;

 private:
  std::vector<std::string> positionals_;
  std::map<std::string, std::string> options_;  // flags hold ""
};

// Parsers of option and argument values; UsageError naming `what` for anything else.
double ParseNumber(const std::string& text, const char* what);
// Decimal, or hexadecimal after "0x".
long long ParseInteger(const std::string& text, const char* what);
// "0,1,2": numbers separated by commas.
std::vector<double> ParseNumbers(const std::string& text, const char* what);
// "0,1,2": axis numbers 0-7, each once.
std::vector<int> ParseAxes(const std::string& text);
int ParseAxis(const std::string& text);

}  // namespace quorva::cli
