// The simulated controller: a status read while all 8 axes of a board run, at 1 kpps and at
// 6 Mpps, 1 and 10^6 simulated seconds into the runs (the cost must be the same everywhere:
// the motion is computed in closed form); the real time a 10-second move takes to follow
// with a polling wait on the virtual clock; and the real time of a blocking 10-second move,
// with simulated time jumping while the library waits and, for comparison, without.
#include <benchmark/benchmark.h>

#include "VarnDasQvSim.h"
#include "device/registry.h"
#include "platform/backend.h"
#include "platform/platform.h"

namespace {

QUORVA_HANDLE LoadSimBoard() {
  quorva::UnloadAllDevices();
  QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_VIRTUAL, 1.0);
  QUORVA_SIM_Configure("A508");
  return QUORVA_LoadDevice(0xA508, 0);
}

// Starts a continuous run of every axis at `pps` (1000 or 6000000) without ramps.
void RunAllAxes(QUORVA_HANDLE board, double pps) {
  const bool fast = pps > 1e6;
  const unsigned int magnification = fast ? 0 : 29;  // 300 or 10 pps per step
  const auto steps = static_cast<unsigned int>(pps / (fast ? 300.0 : 10.0));
  for (int axis = 0; axis < 8; ++axis) {
    QUORVA_MC_WriteRegister(board, axis, 2, steps);
    QUORVA_MC_WriteRegister(board, axis, 5, magnification);
    QUORVA_MC_WriteRegister(board, axis, 7, 0x00);
    QUORVA_MC_WriteMainSpace(board, axis, 0, 0x51);
  }
}

// state.range(0): speed in pps; state.range(1): simulated seconds into the run.
void BM_StatusReadWhileMoving(benchmark::State& state) {
  const QUORVA_HANDLE board = LoadSimBoard();
  RunAllAxes(board, static_cast<double>(state.range(0)));
  QUORVA_SIM_AdvanceTime(static_cast<double>(state.range(1)));
  // Hold simulated time (nearly) still, so the reads stay at the chosen instant.
  QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, 1e-9);
  int axis = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(QUORVA_MC_ReadMainSpace(board, axis, 0));
    axis = (axis + 1) & 7;
  }
  state.counters["busy"] = (QUORVA_MC_ReadMainSpace(board, 7, 0) & 2u) != 0;
}
BENCHMARK(BM_StatusReadWhileMoving)
    ->Args({1000, 1})
    ->Args({1000, 1000000})
    ->Args({6000000, 1})
    ->Args({6000000, 1000000});

// Real time to follow a 10-simulated-second positioning move with the library's wait:
// QUORVA_MC_Done and a yield per pass, on the virtual clock.
void BM_WaitForTenSecondMove(benchmark::State& state) {
  const QUORVA_HANDLE board = LoadSimBoard();
  QUORVA_MC_WriteRegister(board, 0, 2, 1000);  // 10000 pps
  QUORVA_MC_WriteRegister(board, 0, 5, 29);
  QUORVA_MC_WriteRegister(board, 0, 7, 0x41);
  QUORVA_MC_WriteRegister(board, 0, 0, 100000);
  long passes = 0;
  for (auto _ : state) {
    QUORVA_MC_WriteMainSpace(board, 0, 0, 0x51);
    while (QUORVA_MC_Done(board, 0) == 0) {
      quorva::platform::WaitPass(false);
      ++passes;
    }
  }
  state.counters["passes"] = static_cast<double>(passes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WaitForTenSecondMove)->Unit(benchmark::kMillisecond);

// Real time of QUORVA_MC_Move over 10 simulated seconds on the virtual clock.
// state.range(0): 1 with the fast-forward of the library's wait, 0 without (the simulated
// driver with its fast-forward operation taken out: one quantum per poll).
void BM_BlockingTenSecondMove(benchmark::State& state) {
  const QUORVA_HANDLE board = LoadSimBoard();
  quorva::DriverBackend withoutJumps = quorva::SimulatedDriverBackend();
  withoutJumps.awaitProgress = nullptr;
  if (state.range(0) == 0) quorva::SelectBackend(withoutJumps);
  QUORVA_MC_SetSpeedRange(board, 0, 20000);
  QUORVA_MC_SetSpeed(board, 0, 10000, 10000);
  double direction = 1;
  for (auto _ : state) {
    QUORVA_MC_Move(board, 0, direction * 100000);  // 10 s at 10000 pps
    direction = -direction;
  }
  quorva::SelectBackend(quorva::SimulatedDriverBackend());
}
BENCHMARK(BM_BlockingTenSecondMove)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
