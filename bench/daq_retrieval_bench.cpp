// Retrieval throughput of whole scans out of a large US1 ring, in samples per second: raw
// digits against a plain memcpy of the same bytes, and the conversions to float and double volts.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "VarnDasQvSim.h"
#include "device/registry.h"

namespace {

constexpr int kChannels = 4;
constexpr int kScans = 1 << 20;  // 4 Mi samples, 8 MiB of digits
constexpr int kFrequency = 1'000'000;

// One US1 ring filled and wrapped: 1.5 ring sizes acquired, then stopped, so that retrieving the
// whole ring copies its tail and then its head.
struct FilledRing {
  QUORVA_HANDLE board = QUORVA_INVALID_HANDLE;
  int first = 0;  // oldest scan held
  const unsigned short* ring = nullptr;

  FilledRing() {
    quorva::UnloadAllDevices();
    QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_VIRTUAL, 1.0);
    QUORVA_SIM_Configure("A101");
    board = QUORVA_LoadDevice(0xA101, 0);
    const int channels[kChannels] = {0, 1, 2, 3};
    for (int ch : channels)
      QUORVA_SIM_SetAnalogSignal(0, ch, QUORVA_SIM_SIGNAL_RAMP, 9.0, 3.7 + ch, 0.0, 0.0);
    QUORVA_US1_Start(board, kChannels, channels, kFrequency, kScans, 0);
    QUORVA_SIM_AdvanceTime(1.5 * kScans / kFrequency);
    QUORVA_US1_Stop(board, 0);
    first = static_cast<int>(QUORVA_US1_CurCount(board)) - kScans + 1;
    ring = QUORVA_US1_GetBuffer(board);
  }
};

FilledRing& Ring() {
  static FilledRing ring;
  return ring;
}

void Report(benchmark::State& state, std::size_t valueBytes) {
  const auto samples = static_cast<std::int64_t>(kScans) * kChannels;
  state.SetItemsProcessed(state.iterations() * samples);
  state.SetBytesProcessed(state.iterations() * samples * static_cast<std::int64_t>(valueBytes));
}

void BM_MemcpyOfTheRing(benchmark::State& state) {
  const FilledRing& ring = Ring();
  std::vector<unsigned short> dest(static_cast<std::size_t>(kScans) * kChannels);
  for (auto _ : state) {
    std::memcpy(dest.data(), ring.ring, dest.size() * sizeof(unsigned short));
    benchmark::ClobberMemory();
  }
  Report(state, sizeof(unsigned short));
}
BENCHMARK(BM_MemcpyOfTheRing)->Unit(benchmark::kMillisecond);

template <typename Value, int type>
void BM_RetrvBlock(benchmark::State& state) {
  const FilledRing& ring = Ring();
  std::vector<Value> dest(static_cast<std::size_t>(kScans) * kChannels);
  for (auto _ : state) {
    if (QUORVA_US1_RetrvBlock(ring.board, ring.first, kScans, dest.data(), type) != kScans) {
      state.SkipWithError("the ring did not hold the scans asked for");
      break;
    }
    benchmark::ClobberMemory();
  }
  Report(state, sizeof(Value));
}
BENCHMARK(BM_RetrvBlock<unsigned short, 0>)
    ->Name("BM_RetrvBlockDigits")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RetrvBlock<float, 1>)->Name("BM_RetrvBlockFloatVolts")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RetrvBlock<double, 2>)
    ->Name("BM_RetrvBlockDoubleVolts")
    ->Unit(benchmark::kMillisecond);

}  // namespace
