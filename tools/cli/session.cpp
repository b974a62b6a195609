#include "cli/session.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "VarnDasQvSim.h"
#include "cli/command.h"
#include "cli/errors.h"
#include "cli/terminal.h"

namespace quorva::cli {
namespace {

constexpr OptionSpec kBoardOptions[] = {
    {"device", nullptr, "use the installed boards and their driver, not the simulator"},
};

std::vector<std::uint16_t> ParseSimBoards(const char* list) {
  std::vector<std::uint16_t> ids;
  const std::string text = list;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    ids.push_back(static_cast<std::uint16_t>(
        std::strtoul(text.substr(start, comma - start).c_str(), nullptr, 16)));
    if (comma == std::string::npos) return ids;
    start = comma + 1;
  }
}

double SteadySeconds() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

}  // namespace

std::span<const OptionSpec> BoardOptions() {
  return kBoardOptions;
}

BoardName ParseBoardName(const std::string& text) {
  const std::size_t colon = text.find(':');
  const std::string id = text.substr(0, colon);
  char* end = nullptr;
  const unsigned long value = std::strtoul(id.c_str(), &end, 16);
  if (id.empty() || *end != '\0' || value == 0 || value > 0xFFFF) {
    throw UsageError("board '" + text + "' is not a DeviceId such as A508 or A508:1");
  }
  BoardName name{static_cast<std::uint16_t>(value), 0};
  if (colon != std::string::npos) {
    const long long instance = ParseInteger(text.substr(colon + 1), "board instance");
    if (instance < 0 || instance > 255) throw UsageError("board instance out of range: " + text);
    name.instance = static_cast<int>(instance);
  }
  return name;
}

std::string FormatBoardName(const DevInfo& info) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X:%d", info.DeviceId, info.instance);
  return text;
}

Session::Session(const Arguments& args) : simulated_(!args.Flag("device")) {
  if (!simulated_) return;
  const char* list = std::getenv("QUORVA_SIM_BOARDS");
  if (list == nullptr || *list == '\0') list = kDefaultSimBoards;
  if (QUORVA_SIM_Configure(list) < 0) {
    throw ToolError(std::string("QUORVA_SIM_BOARDS is not a list of DeviceIds: ") + list);
  }
  simBoards_ = ParseSimBoards(list);
}

Session::~Session() {
  for (const OpenBoard& board : opened_)
    QUORVA_UnloadDevice(board.handle);
}

void Session::RequireSimulator(const char* what) const {
  if (!simulated_) throw ToolError(std::string(what) + " runs on the simulator only");
}

void Session::UseVirtualClock() const {
  if (simulated_) QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_VIRTUAL, 1.0);
}

int Session::SimIndexOf(std::uint16_t deviceId, int instance) const {
  for (std::size_t i = 0; i < simBoards_.size(); ++i) {
    if (simBoards_[i] == deviceId && instance-- == 0) return static_cast<int>(i);
  }
  return -1;
}

const OpenBoard& Session::Open(const std::string& board, bool motion) {
  const BoardName name = ParseBoardName(board);
  OpenBoard opened;
  opened.handle = QUORVA_LoadDevice(name.deviceId, name.instance);
  if (opened.handle == QUORVA_INVALID_HANDLE) {
    char text[80];
    std::snprintf(text, sizeof text, "no board %04X instance %d%s", name.deviceId, name.instance,
                  simulated_ ? " on the simulator" : "");
    throw ToolError(text);
  }
  QUORVA_GetDevInfo(opened.handle, &opened.info);
  if (simulated_) opened.simIndex = SimIndexOf(name.deviceId, name.instance);
  opened_.push_back(opened);
  if (motion && opened.info.axes == 0) throw ToolError("board " + board + " has no axes");
  return opened_.back();
}

double Session::Now() const {
  return simulated_ ? QUORVA_SIM_GetTime() : SteadySeconds();
}

void Session::Pause(double seconds) const {
  if (!(seconds > 0)) return;
  int mode = QUORVA_SIM_CLOCK_REALTIME;
  double factor = 1;
  if (simulated_) QUORVA_SIM_GetClock(&mode, &factor);
  if (mode == QUORVA_SIM_CLOCK_VIRTUAL) {
    QUORVA_SIM_AdvanceTime(seconds);
  } else {
    SleepSeconds(seconds / factor);
  }
}

}  // namespace quorva::cli
