// Real time of a G-code program of one simulated hour (lines and arcs through the library's
// blocking functions on the virtual clock), with the fast-forward of the library's waits and,
// for comparison, without it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "VarnDasQvSim.h"
#include "device/registry.h"
#include "gcode/library_machine.h"
#include "gcode/parser.h"
#include "platform/backend.h"

namespace {

// A rectangle of 80 mm sides with corners of radius 10 mm at 10 mm/s: 38.3 s a lap, 94 laps.
std::string OneHourProgram() {
  std::string program = "G21 G90 G17\nG0 X10 Y0\nF600\n";
  for (int lap = 0; lap < 94; ++lap) {
    program +=
        "G1 X90 Y0\nG3 X100 Y10 R10\nG1 Y90\nG3 X90 Y100 R10\n"
        "G1 X10\nG3 X0 Y90 R10\nG1 Y10\nG3 X10 Y0 R10\n";
  }
  return program + "M30\n";
}

// state.range(0): 1 with the fast-forward, 0 without (one request quantum per poll).
void BM_OneHourGcodeProgram(benchmark::State& state) {
  const quorva::gcode::Program program = quorva::gcode::ParseProgram(OneHourProgram());
  quorva::DriverBackend withoutJumps = quorva::SimulatedDriverBackend();
  withoutJumps.awaitProgress = nullptr;
  double simulated = 0;
  for (auto _ : state) {
    state.PauseTiming();
    quorva::UnloadAllDevices();
    QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_VIRTUAL, 1.0);
    QUORVA_SIM_Configure("A508");
    if (state.range(0) == 0) quorva::SelectBackend(withoutJumps);
    const QUORVA_HANDLE board = QUORVA_LoadDevice(0xA508, 0);
    for (int axis = 0; axis < 3; ++axis) {
      QUORVA_MC_SetUnitDistance(board, axis, 1000);
      QUORVA_MC_SetUnitSpeed(board, axis, 1000);
      QUORVA_MC_SetSpeedRange(board, axis, 50);
    }
    quorva::gcode::LibraryMachine machine(board, {}, [](double s) { QUORVA_SIM_AdvanceTime(s); });
    state.ResumeTiming();
    const double start = QUORVA_SIM_GetTime();
    quorva::gcode::RunProgram(program, machine);
    simulated = QUORVA_SIM_GetTime() - start;
  }
  quorva::SelectBackend(quorva::SimulatedDriverBackend());
  state.counters["simulated_s"] = simulated;
}
BENCHMARK(BM_OneHourGcodeProgram)->Arg(1)->Unit(benchmark::kMillisecond);
// Without the fast-forward the hour is some 36 million polls, about a minute: one run, and only
// when QUORVA_BENCH_SLOW is set.
const bool kSlowRegistered = [] {
  if (std::getenv("QUORVA_BENCH_SLOW") != nullptr) {
    benchmark::RegisterBenchmark("BM_OneHourGcodeProgram/0", BM_OneHourGcodeProgram)
        ->Arg(0)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
