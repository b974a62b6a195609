// The spline resampler: 10^6 samples from 1000 values, as QUORVA_MC_BuildSpline makes them
// (allocation included). Reported as samples per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "VarnDasQv.h"

namespace {

void BM_BuildSpline(benchmark::State& state) {
  const int count = 1000;
  const auto samples = static_cast<int>(state.range(0));
  std::vector<double> values(count);
  for (int i = 0; i < count; ++i)
    values[static_cast<std::size_t>(i)] = std::sin(i * 0.01) * 1000 + i;
  for (auto _ : state) {
    double* resampled = QUORVA_MC_BuildSpline(values.data(), count, samples);
    benchmark::DoNotOptimize(resampled);
    QUORVA_MC_DeleteSpline(resampled);
  }
  state.SetItemsProcessed(state.iterations() * samples);
}
BENCHMARK(BM_BuildSpline)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
