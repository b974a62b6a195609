// Moves axis 0 of the first 8-axis motion board by 25 mm and back, the board held open by a
// small RAII class. On the simulated driver: QUORVA_BACKEND=sim ./move_axis
#include <cstdio>
#include <stdexcept>

#include "VarnDasQv.h"

namespace {

class Board {
 public:
  Board(int deviceId, int instance) : handle_(QUORVA_LoadDevice(deviceId, instance)) {
    if (handle_ == QUORVA_INVALID_HANDLE) throw std::runtime_error("no such board");
  }
  ~Board() { QUORVA_UnloadDevice(handle_); }
  Board(const Board&) = delete;
  Board& operator=(const Board&) = delete;

  QUORVA_HANDLE handle() const { return handle_; }

 private:
  QUORVA_HANDLE handle_;
};

}  // namespace

int main() try {
  const Board board(0xA508, 0);
  const int axis = 0;
  QUORVA_MC_SetUnitDistance(board.handle(), axis, 100);  // 100 pulses per millimetre
  QUORVA_MC_SetUnitSpeed(board.handle(), axis, 100);
  QUORVA_MC_SetSpeed(board.handle(), axis, 1, 50);  // start at 1 mm/s, run at 50 mm/s
  QUORVA_MC_SetAccel(board.handle(), axis, 500, 500);
  QUORVA_MC_SetSpeedMode(board.handle(), axis, 1);  // trapezoidal
  for (const double target : {25.0, 0.0}) {
    QUORVA_MC_MoveTo(board.handle(), axis, target);  // returns when the axis has arrived
    std::printf("axis %d at %.2f mm\n", axis, QUORVA_MC_GetPosition_C(board.handle(), axis));
  }
  return 0;
} catch (const std::exception& error) {
  std::fprintf(stderr, "move_axis: %s\n", error.what());
  return 1;
}
