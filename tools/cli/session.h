// The boards a command works on: the simulated driver inside the library (the default), or the
// installed boards and their driver with --device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "VarnDasQv.h"
#include "cli/arguments.h"

namespace quorva::cli {

// The simulated boards unless QUORVA_SIM_BOARDS names others.
inline constexpr const char* kDefaultSimBoards = "A508,A101";

struct OpenBoard {
  QUORVA_HANDLE handle = nullptr;
  DevInfo info{};
  int simIndex = -1;  // the board's index for the simulator's control functions
};

class Session {
 public:
  // Without --device, configures the simulated driver with the boards of QUORVA_SIM_BOARDS (or
  // the default set); its clock follows QUORVA_SIM_CLOCK (real time unless it says otherwise).
  explicit Session(const Arguments& args);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool Simulated() const { return simulated_; }
  // ToolError unless the session runs on the simulator; `what` names the command.
  void RequireSimulator(const char* what) const;
  // The simulator's virtual clock from now on: runs repeat exactly and take no real time.
  void UseVirtualClock() const;

  // BOARD: the DeviceId in hexadecimal, optionally with the instance, "A508" or "A508:1".
  // ToolError when no such board opens or, with `motion`, when it has no axes.
  const OpenBoard& Open(const std::string& board, bool motion = true);

  // Seconds on the board's time line: simulated time on the simulator, the host's clock else.
  double Now() const;
  // Lets `seconds` pass: on the simulator's virtual clock by moving it on, else by sleeping.
  void Pause(double seconds) const;

 private:
  int SimIndexOf(std::uint16_t deviceId, int instance) const;

  bool simulated_ = false;
  std::vector<std::uint16_t> simBoards_;
  std::vector<OpenBoard> opened_;
};

// Parses BOARD as described for Session::Open.
struct BoardName {
  std::uint16_t deviceId = 0;
  int instance = 0;
};
BoardName ParseBoardName(const std::string& text);
std::string FormatBoardName(const DevInfo& info);

}  // namespace quorva::cli
