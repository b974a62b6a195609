// quorva config: a board configuration file as text, and text made into such a file.
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <vector>

#include "cli/command.h"
#include "cli/config_text.h"
#include "cli/errors.h"

namespace quorva::cli {
namespace {

namespace ic = init_config;

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ToolError("cannot read " + path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int Show(const Invocation& call) {
  call.args.AllowAtMost(2);
  const std::string& path = call.args.At(1, "FILE");
  const std::vector<std::uint8_t> bytes = ReadBytes(path);
  if (bytes.size() < ic::kHeaderBytes || ic::DecodeVersion(bytes) != ic::kVersion)
    throw ToolError(path + ": not a board configuration file (its first word is not 0x0131C9AC)");
  if (bytes.size() < ic::kFileBytes) {
    throw ToolError(path + ": " + std::to_string(bytes.size()) +
                    " bytes, shorter than a configuration file (1428)");
  }
  call.console.out << FormatConfigText(ic::Decode(bytes));
  return 0;
}

int Write(const Invocation& call) {
  call.args.AllowAtMost(3);
  const std::string& textPath = call.args.At(1, "TEXT");
  const std::string& path = call.args.At(2, "FILE");
  const std::vector<std::uint8_t> text = ReadBytes(textPath);
  const ic::Record record = ParseConfigText(
      std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), textPath);
  const auto bytes = ic::Encode(record);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw ToolError("cannot write " + path);
  call.console.err << "wrote " << path << " (" << bytes.size() << " bytes)\n";
  return 0;
}

int Config(const Invocation& call) {
  const std::string& action = call.args.At(0, "show or write");
  if (action == "show") return Show(call);
  if (action == "write") return Write(call);
  throw UsageError("config takes show or write, not " + action);
}

}  // namespace

extern const Command kConfigCommand{
    "config",
    "show FILE | write TEXT FILE",
    "read or write a board configuration file",
    "A board configuration file (1428 bytes) is what QUORVA_MC_InitFromFile reads to configure\n"
    "every axis of a motion board. 'config show FILE' prints it as text, 'config write TEXT\n"
    "FILE' makes the file from such text; what show prints, write takes back unchanged.\n"
    "\n"
    "The text has a section [axis N] for each axis 0-7 and a line 'key = value' for each\n"
    "setting, in the order the library applies them: output_mode, input_mode (mode + 4 x\n"
    "reverse), max_speed (pulses per second), unit_distance, unit_speed, in_out_ratio, alm\n"
    "(2 x first + second), soft_limits (0 off, else on), soft_limit1, soft_limit2, el (2 x\n"
    "logic + flag), filter_logic, dr, sd1 (2 x enable + first), sd2 (2 x second + third), sta\n"
    "(mode; input type mode - 1), stp, clr1, clr2, cmp_width, cmp_logic, inp (2 x enable +\n"
    "logic), ltc (2 x second + first). Integers take 32 bits, soft_limits and filter_logic\n"
    "0-255, the others any number. Text after ';' or '#' is a comment; a section or key left\n"
    "out is 0.",
    {},
    Config};

}  // namespace quorva::cli
