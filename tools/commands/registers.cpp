// quorva regs, read and write: an axis's registers, decoded, and raw access to one of them.
#include <cstdio>
#include <ostream>

#include "cli/command.h"
#include "cli/errors.h"
#include "cli/register_map.h"
#include "cli/session.h"

namespace quorva::cli {
namespace {

void PrintLine(std::ostream& out, const char* label, std::uint32_t raw, const RegisterInfo& info) {
  char head[64];
  std::snprintf(head, sizeof head, "%-4s 0x%08X  %-28s ", label, raw,
                info.name != nullptr ? info.name : "");
  out << head << DecodeValue(info, raw) << '\n';
}

void PrintRegister(std::ostream& out, QUORVA_HANDLE board, int axis, int number) {
  const RegisterInfo info = DescribeRegister(number);
  char label[8];
  std::snprintf(label, sizeof label, "R%d", number);
  PrintLine(out, label, QUORVA_MC_ReadRegister(board, axis, number), info);
}

int RegisterNumber(const std::string& text) {
  const long long number = ParseInteger(text, "REG");
  if (number < 0 || number > 63) throw UsageError("REG is a register number 0-63");
  return static_cast<int>(number);
}

int Dump(const Invocation& call) {
  call.args.AllowAtMost(2);
  Session session(call.args);
  const OpenBoard& board = session.Open(call.args.At(0, "BOARD"));
  const int axis = ParseAxis(call.args.At(1, "AXIS"));
  std::ostream& out = call.console.out;
  for (int offset : {0, 1}) {
    PrintLine(out, offset == 0 ? "MS0" : "MS1", QUORVA_MC_ReadMainSpace(board.handle, axis, offset),
              DescribeStatusWord(offset));
  }
  for (int number = 0; number < kDumpedRegisters; ++number) {
    if (DescribeRegister(number).name != nullptr || call.args.Flag("all")) {
      PrintRegister(out, board.handle, axis, number);
    }
  }
  return 0;
}

int Read(const Invocation& call) {
  call.args.AllowAtMost(3);
  Session session(call.args);
  const OpenBoard& board = session.Open(call.args.At(0, "BOARD"));
  PrintRegister(call.console.out, board.handle, ParseAxis(call.args.At(1, "AXIS")),
                RegisterNumber(call.args.At(2, "REG")));
  return 0;
}

int Write(const Invocation& call) {
  call.args.AllowAtMost(4);
  Session session(call.args);
  const OpenBoard& board = session.Open(call.args.At(0, "BOARD"));
  const int axis = ParseAxis(call.args.At(1, "AXIS"));
  const int number = RegisterNumber(call.args.At(2, "REG"));
  const long long value = ParseInteger(call.args.At(3, "VALUE"), "VALUE");
  if (value < INT32_MIN || value > UINT32_MAX) throw UsageError("VALUE does not fit 32 bits");
  if (QUORVA_MC_WriteRegister(board.handle, axis, number, static_cast<std::uint32_t>(value)) == 0) {
    throw ToolError("the driver refused the write");
  }
  PrintRegister(call.console.out, board.handle, axis, number);
  return 0;
}

constexpr OptionSpec kDumpOptions[] = {{"all", nullptr, "also the registers without a name"}};

}  // namespace

extern const Command kRegsCommand{
    "regs",
    "BOARD AXIS",
    "show an axis's registers, decoded",
    "Reads the axis's status words and registers from the controller and shows each with its\n"
    "name and value: counts and counters as numbers (signed where they are), modes,\n"
    "environments and status as their fields.",
    {BoardOptions(), kDumpOptions},
    Dump};

extern const Command kReadCommand{
    "read",
    "BOARD AXIS REG",
    "read one axis register",
    "Reads register REG (0-63) of AXIS from the controller and shows it decoded.",
    {BoardOptions()},
    Read};

extern const Command kWriteCommand{
    "write",
    "BOARD AXIS REG VALUE",
    "write one axis register",
    "Writes VALUE (decimal, or hexadecimal after 0x) into register REG of AXIS, directly, then\n"
    "reads it back. The library's copy of the mode register is not updated.",
    {BoardOptions()},
    Write};

}  // namespace quorva::cli
