// Cost of one request through the simulated driver, raw and through an exported function,
// of an untraced call with tracing off, and of an exported call that sends no request (the
// last two are the C side of bench/binding_overhead.py).
#include <benchmark/benchmark.h>

#include "VarnDasQvSim.h"
#include "device/commands.h"
#include "device/driver_call.h"
#include "device/registry.h"

namespace {

QUORVA_HANDLE LoadSimBoard() {
  quorva::UnloadAllDevices();
  QUORVA_SIM_Configure("A508");
  return QUORVA_LoadDevice(0xA508, 0);
}

void BM_DriverCall(benchmark::State& state) {
  const QUORVA_HANDLE board = LoadSimBoard();
  std::uint32_t value = 0;
  for (auto _ : state) {
    quorva::DriverCall(board, quorva::cmd::kAxisRegRead, 0, 29, &value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_DriverCall);

void BM_ReadRegister(benchmark::State& state) {
  const QUORVA_HANDLE board = LoadSimBoard();
  for (auto _ : state)
    benchmark::DoNotOptimize(QUORVA_MC_ReadRegister(board, 0, 29));
}
BENCHMARK(BM_ReadRegister);

// A traced function (trace threshold 2) with tracing off: the cost of the disabled trace is
// the difference to the untraced read above.
void BM_DoneTraceOff(benchmark::State& state) {
  const QUORVA_HANDLE board = LoadSimBoard();
  for (auto _ : state)
    benchmark::DoNotOptimize(QUORVA_MC_Done(board, 0));
}
BENCHMARK(BM_DoneTraceOff);

// A getter answered from the library's own state: the bare cost of an exported call.
void BM_GetUnitDistance(benchmark::State& state) {
  const QUORVA_HANDLE board = LoadSimBoard();
  for (auto _ : state)
    benchmark::DoNotOptimize(QUORVA_MC_GetUnitDistance(board, 0));
}
BENCHMARK(BM_GetUnitDistance);

void BM_ReadMainSpace(benchmark::State& state) {
  const QUORVA_HANDLE board = LoadSimBoard();
  for (auto _ : state)
    benchmark::DoNotOptimize(QUORVA_MC_ReadMainSpace(board, 0, 0));
}
BENCHMARK(BM_ReadMainSpace);

}  // namespace
