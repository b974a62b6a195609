// Cost of preparing a move's speed registers through the simulated driver, and the number of
// driver requests one preparation sends, for the three shapes a move can take.
#include <benchmark/benchmark.h>

#include "VarnDasQvSim.h"
#include "device/registry.h"
#include "motion/core/motion_context.h"
#include "motion/core/speed_profile.h"

namespace {

struct Move {
  int speedMode;
  int distance;
};

// Constant speed without a target; a trapezoid that reaches its working speed; a move too
// short for its ramps, whose top speed is lowered and the profile computed once more.
constexpr Move kConstant{quorva::kSpeedModeConstant, 0};
constexpr Move kTrapezoid{quorva::kSpeedModeTrapezoid, 10000};
constexpr Move kTriangle{quorva::kSpeedModeTrapezoid, 50};

void BM_AxisProfilePrepare(benchmark::State& state, Move move) {
  quorva::UnloadAllDevices();
  QUORVA_SIM_Configure("A508");
  const QUORVA_HANDLE board = QUORVA_LoadDevice(0xA508, 0);
  quorva::MotionContext* context = quorva::ContextOf(board);
  QUORVA_MC_SetSpeedMode(board, 0, move.speedMode);
  QUORVA_MC_SetAccel(board, 0, 10000, 10000);

  QUORVA_SIM_ClearRequests();
  quorva::AxisProfilePrepare(board, 0, *context, move.distance, false, false, false);
  state.counters["requests"] = QUORVA_SIM_RequestCount();

  for (auto _ : state) {
    quorva::AxisProfilePrepare(board, 0, *context, move.distance, false, false, false);
    benchmark::ClobberMemory();
  }
  quorva::UnloadAllDevices();
}
BENCHMARK_CAPTURE(BM_AxisProfilePrepare, constant_speed, kConstant);
BENCHMARK_CAPTURE(BM_AxisProfilePrepare, trapezoid, kTrapezoid);
BENCHMARK_CAPTURE(BM_AxisProfilePrepare, triangle_lowered, kTriangle);

}  // namespace
