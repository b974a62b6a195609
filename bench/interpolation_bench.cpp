// The simulated controller on an arc: one status read of an axis of an interpolating pair (its
// command counter, which places the axis on the circle), at the start of a long arc and 10^6
// simulated seconds into it. The arc is computed in closed form, so both must cost the same.
#include <benchmark/benchmark.h>

#include "VarnDasQvSim.h"
#include "device/registry.h"

namespace {

// A full circle of radius 10^8 pulses at 100 pps on axes 0 and 1: about 6.3 × 10^6 seconds.
QUORVA_HANDLE StartLongArc() {
  quorva::UnloadAllDevices();
  QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_VIRTUAL, 1.0);
  QUORVA_SIM_Configure("A508");
  const QUORVA_HANDLE board = QUORVA_LoadDevice(0xA508, 0);
  QUORVA_MC_MapAxes(board, 0, 0x3);
  QUORVA_MC_SetSpeedMx(board, 0, 100, 0);
  QUORVA_MC_StartArc_p(board, 0, 1e8, 0, 0, 0, 1);
  return board;
}

// state.range(0): simulated seconds into the arc.
void BM_ArcStatusRead(benchmark::State& state) {
  const QUORVA_HANDLE board = StartLongArc();
  QUORVA_SIM_AdvanceTime(static_cast<double>(state.range(0)));
  // Hold simulated time (nearly) still, so the reads stay at the chosen instant.
  QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, 1e-9);
  int axis = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(QUORVA_MC_ReadRegister(board, axis, 35));
    axis ^= 1;
  }
  state.counters["busy"] = QUORVA_MC_MxDone(board, 0) == 0;
}
BENCHMARK(BM_ArcStatusRead)->Arg(0)->Arg(1000000);

}  // namespace
