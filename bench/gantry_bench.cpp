// The gantry-mapping table at its largest (1000 x 1000 points): writing and loading the
// mapping file, and one correction in each direction.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "VarnDasQvSim.h"
#include "config/gantry_correct.h"
#include "config/gantry_file.h"
#include "device/registry.h"
#include "motion/core/motion_context.h"
#include "motion/io/gantry_inverse.h"

#if defined(__linux__)
#include <unistd.h>
#endif

namespace {

using namespace quorva;

constexpr int kPoints = 1000;

std::string BenchFilePath() {
  return (std::filesystem::temp_directory_path() / "quorva-gantry-bench.ini").string();
}

// Smooth corrections of a few hundredths of a unit.
std::vector<double> Corrections(double phase) {
  std::vector<double> values(static_cast<std::size_t>(kPoints) * kPoints);
  for (int i = 0; i < kPoints; ++i) {
    for (int j = 0; j < kPoints; ++j)
      values[static_cast<std::size_t>(i) * kPoints + j] =
          0.05 * std::sin(0.01 * i + 0.02 * j + phase);
  }
  return values;
}

bool WriteBenchFile() {
  const std::vector<double> dx = Corrections(0);
  const std::vector<double> dy = Corrections(1);
  const GantryFileAxis x{0, 100, 0, 1, kPoints};
  const GantryFileAxis y{1, 100, 0, 1, kPoints};
  return WriteGantryFile(BenchFilePath(), 0, x, y, dx.data(), dy.data());
}

// Resident and peak resident memory of the process in MB (0 where not measured).
double ResidentMB() {
#if defined(__linux__)
  long pages = 0;
  long resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
#else
  return 0;
#endif
}

// Starts a new measurement of the peak (Linux resets it on writing 5 to clear_refs).
void ResetPeakResident() {
#if defined(__linux__)
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
#endif
}

// Peak resident memory in MB since the last ResetPeakResident.
double PeakResidentMB() {
#if defined(__linux__)
  double peakKB = 0;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f) != nullptr) {
      if (std::sscanf(line, "VmHWM: %lf kB", &peakKB) == 1) break;
    }
    std::fclose(f);
  }
  return peakKB / 1024;
#else
  return 0;
#endif
}

void BM_WriteMappingFile1000x1000(benchmark::State& state) {
  const std::vector<double> dx = Corrections(0);
  const std::vector<double> dy = Corrections(1);
  const GantryFileAxis x{0, 100, 0, 1, kPoints};
  const GantryFileAxis y{1, 100, 0, 1, kPoints};
  for (auto _ : state) {
    if (!WriteGantryFile(BenchFilePath(), 0, x, y, dx.data(), dy.data()))
      state.SkipWithError("the mapping file could not be written");
  }
  std::error_code error;
  state.counters["file_MB"] = std::filesystem::file_size(BenchFilePath(), error) / double(1 << 20);
  std::filesystem::remove(BenchFilePath(), error);
}
BENCHMARK(BM_WriteMappingFile1000x1000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole reload of a board: read the file, a million points, replace the table. The
// counter load_peak_MB is the peak resident memory of the device load, which reads the file
// into an empty table, above the resident memory before it; reload_peak_MB the same for the
// reloads, which replace a table of the same size.
void BM_LoadMappingFile1000x1000(benchmark::State& state) {
  if (!WriteBenchFile()) {
    state.SkipWithError("the mapping file could not be written");
    return;
  }
  setenv("QUORVA_GANTRY_FILE", BenchFilePath().c_str(), 1);
  UnloadAllDevices();
  QUORVA_SIM_Configure("A508");
  double before = ResidentMB();
  ResetPeakResident();
  const QUORVA_HANDLE board = QUORVA_LoadDevice(0xA508, 0);
  MotionContext* context = ContextOf(board);
  if (context == nullptr || context->gantryLoaded == 0) {
    state.SkipWithError("the mapping file did not load");
    return;
  }
  state.counters["load_peak_MB"] = PeakResidentMB() - before;
  before = ResidentMB();
  ResetPeakResident();
  for (auto _ : state) {
    QUORVA_MC_2DMATRIX_Reload(board);
  }
  state.counters["reload_peak_MB"] = PeakResidentMB() - before;
  state.counters["table_MB"] = context->gantryTable.size() * sizeof(GantryCell) / double(1 << 20);
  UnloadAllDevices();
  std::filesystem::remove(BenchFilePath());
}
BENCHMARK(BM_LoadMappingFile1000x1000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A context with the 1000 x 1000 table in pulses and random positions inside it.
struct LoadedGrid {
  MotionContext context;
  std::vector<GantryPoint> positions;

  LoadedGrid() {
    const std::vector<double> dx = Corrections(0);
    const std::vector<double> dy = Corrections(1);
    context.gantryOriginX = 0;
    context.gantryOriginY = 0;
    context.gantryPitchX = 100;
    context.gantryPitchY = 100;
    context.gantryCountX = kPoints;
    context.gantryCountY = kPoints;
    for (std::size_t k = 0; k < dx.size(); ++k)
      context.gantryTable.push_back({dx[k] * 100, dy[k] * 100});
    std::mt19937 random(7);
    std::uniform_real_distribution<double> span(0, 100.0 * (kPoints - 1));
    for (int k = 0; k < 4096; ++k)
      positions.push_back({std::round(span(random)), std::round(span(random))});
  }
};

void BM_GantryCorrect(benchmark::State& state) {
  static const LoadedGrid grid;
  std::size_t k = 0;
  for (auto _ : state) {
    const GantryPoint& p = grid.positions[k++ & 4095];
    benchmark::DoNotOptimize(GantryCorrect(grid.context, p.x, p.y));
  }
}
BENCHMARK(BM_GantryCorrect);

void BM_InverseGantryCorrection(benchmark::State& state) {
  static const LoadedGrid grid;
  std::size_t k = 0;
  for (auto _ : state) {
    const GantryPoint& p = grid.positions[k++ & 4095];
    benchmark::DoNotOptimize(InverseGantryCorrection(grid.context, p.x, p.y));
  }
}
BENCHMARK(BM_InverseGantryCorrection);

}  // namespace
