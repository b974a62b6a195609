// quorva list, quorva info: the boards there are and what one of them has.
#include <cstdio>
#include <ostream>

#include "cli/command.h"
#include "cli/session.h"

namespace quorva::cli {
namespace {

std::string Where(const Session& session) {
  return session.Simulated() ? "simulated" : "installed";
}

int ListBoards(const Invocation& call) {
  call.args.AllowAtMost(0);
  const Session session(call.args);
  DevList list{};
  QUORVA_GetAvailDevList(&list);
  std::ostream& out = call.console.out;
  out << "BOARD   MODEL                AXES  AI  AO  DI  DO  FLAGS\n";
  for (int i = 0; i < list.count; ++i) {
    const DevInfo& b = list.boards[i];
    char line[120];
    std::snprintf(line, sizeof line, "%-7s %-20s %4u %3u %3u %3u %3u  0x%02X\n",
                  FormatBoardName(b).c_str(), b.modelName, b.axes, b.analogInputs, b.analogOutputs,
                  b.digitalInputs, b.digitalOutputs, b.resourceFlags);
    out << line;
  }
  out << list.count << (list.count == 1 ? " board, " : " boards, ") << Where(session) << '\n';
  return 0;
}

int ShowInfo(const Invocation& call) {
  call.args.AllowAtMost(1);
  Session session(call.args);
  const OpenBoard& board = session.Open(call.args.At(0, "BOARD"), false);
  const DevInfo& b = board.info;
  char text[400];
  std::snprintf(text, sizeof text,
                "board         %s (%s)\n"
                "model         %s\n"
                "DeviceId      0x%04X, instance %d\n"
                "axes          %u\n"
                "analog        %u inputs, %u outputs\n"
                "digital       %u inputs, %u outputs\n"
                "resources     flags 0x%02X\n"
                "open handles  %d in the system\n",
                FormatBoardName(b).c_str(), Where(session).c_str(), b.modelName, b.DeviceId,
                b.instance, b.axes, b.analogInputs, b.analogOutputs, b.digitalInputs,
                b.digitalOutputs, b.resourceFlags, QUORVA_GetDeviceThreadCount(board.handle));
  call.console.out << text;
  if (b.axes > 0) {
    int version = 0;
    QUORVA_MC_GetDeviceVer(board.handle, &version, nullptr);
    call.console.out << "controller    version " << version << '\n';
  }
  return 0;
}

}  // namespace

extern const Command kListCommand{
    "list",
    "",
    "list the boards",
    "Lists the boards there are, sorted by DeviceId, with their resources: on the simulator\n"
    "the boards of QUORVA_SIM_BOARDS (default A508,A101), with --device the installed ones.",
    {BoardOptions()},
    ListBoards};

extern const Command kInfoCommand{
    "info",
    "BOARD",
    "show what a board has",
    "Shows a board's model, DeviceId and instance, axes, analog and digital channels, how\n"
    "many handles are open on it, and its motion controller's version. BOARD is the DeviceId\n"
    "in hexadecimal, with the instance after a colon when there are several: A508, A508:1.",
    {BoardOptions()},
    ShowInfo};

}  // namespace quorva::cli
