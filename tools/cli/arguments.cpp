#include "cli/arguments.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "cli/errors.h"

namespace quorva::cli {
namespace {

bool LooksLikeNumber(const std::string& word) {
  return word.size() > 1 && word[0] == '-' &&
         (std::isdigit(static_cast<unsigned char>(word[1])) || word[1] == '.');
}

// The option "--name", or for a single letter "-x" the option of that letter.
const OptionSpec* FindOption(std::span<const OptionSpec> options, const std::string& word) {
  const bool letter = word.size() == 2 && word[0] == '-' && word[1] != '-';
  const auto it = std::find_if(options.begin(), options.end(), [&](const OptionSpec& option) {
    return letter ? option.letter == word[1] : word.substr(2) == option.name;
  });
  return it == options.end() ? nullptr : &*it;
}

}  // namespace

Arguments::Arguments(std::span<const std::string> words, std::span<const OptionSpec> options) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || word == "-" || LooksLikeNumber(word) || word.rfind('-', 0) != 0) {
      positionals_.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    std::string written = word;
    std::optional<std::string> value;
    if (const auto equals = written.find('='); equals != std::string::npos) {
      value = written.substr(equals + 1);
      written.resize(equals);
    }
    const OptionSpec* option = FindOption(options, written);
    if (option == nullptr) throw UsageError("unknown option " + written);
    const std::string name = option->name;
    if (option->value == nullptr) {
      if (value) throw UsageError("--" + name + " takes no value");
      options_[name] = "";
      continue;
    }
    if (!value) {
      if (i + 1 >= words.size()) throw UsageError("--" + name + " needs " + option->value);
      value = words[++i];
    }
    options_[name] = *value;
  }
}

const std::string& Arguments::At(std::size_t index, const char* what) const {
  if (index >= positionals_.size()) throw UsageError(std::string("missing ") + what);
  return positionals_[index];
}

void Arguments::AllowAtMost(std::size_t count) const {
  if (positionals_.size() > count) throw UsageError("unexpected argument " + positionals_[count]);
}

std::span<const std::string> Arguments::From(std::size_t index) const {
  return std::span(positionals_).subspan(std::min(index, positionals_.size()));
}

bool Arguments::Flag(const char* name) const {
  return options_.contains(name);
}

std::optional<std::string> Arguments::Value(const char* name) const {
  const auto it = options_.find(name);
  if (it == options_.end()) return std::nullopt;
  return it->second;
}

std::optional<double> Arguments::Number(const char* name) const {
  const auto value = Value(name);
  if (!value) return std::nullopt;
  return ParseNumber(*value, (std::string("--") + name).c_str());
}

double Arguments::Number(const char* name, double otherwise) const {
  return Number(name).value_or(otherwise);
}

double ParseNumber(const std::string& text, const char* what) {
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
    throw UsageError(std::string(what) + ": not a number: " + text);
  }
  return value;
}

long long ParseInteger(const std::string& text, const char* what) {
  const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
  if (text.empty() || *end != '\0' || errno == ERANGE) {
    throw UsageError(std::string(what) + ": not an integer: " + text);
  }
  return value;
}

std::vector<double> ParseNumbers(const std::string& text, const char* what) {
  std::vector<double> numbers;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    numbers.push_back(ParseNumber(text.substr(start, comma - start), what));
    if (comma == std::string::npos) return numbers;
    start = comma + 1;
  }
}

int ParseAxis(const std::string& text) {
  const long long axis = ParseInteger(text, "axis");
  if (axis < 0 || axis > 7) throw UsageError("axis " + text + " is not one of 0-7");
  return static_cast<int>(axis);
}

std::vector<int> ParseAxes(const std::string& text) {
  std::vector<int> axes;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const int axis = ParseAxis(text.substr(start, comma - start));
    if (std::find(axes.begin(), axes.end(), axis) != axes.end()) {
      throw UsageError("axis " + std::to_string(axis) + " is listed twice");
    }
    axes.push_back(axis);
    if (comma == std::string::npos) return axes;
    start = comma + 1;
  }
}

}  // namespace quorva::cli
