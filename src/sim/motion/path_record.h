// A board's path record: the command counters of an axis set, sampled at a fixed simulated
// interval. Sampling is lazy: the samples due are taken when time has passed, before a request
// is handled and before a list entry starts a move, each computed in closed form from the
// motion the axis had at its instant. Every change of motion happens at one of those points,
// so a sample never sees a move that began after it.
#pragma once

#include <cstdint>
#include <vector>

namespace quorva::sim {

struct SimAxis;
struct SimBoard;

struct PathRecord {
  bool recording = false;
  std::uint32_t axes = 0;  // the axes each sample holds, ascending
  std::int64_t intervalNs = 0;
  std::int64_t nextNs = 0;  // instant of the next sample
  std::vector<std::int64_t> timesNs;
  std::vector<std::int32_t> counts;  // per sample, one count per recorded axis
};

// Replaces the record with one of `axes` every `intervalNs` from `nowNs` on; no axes or no
// interval only stops recording.
void StartPathRecord(SimBoard& board, std::uint32_t axes, std::int64_t intervalNs,
                     std::int64_t nowNs);
// Takes the samples due up to and including `untilNs`.
void RecordPath(SimBoard& board, std::int64_t untilNs);
// The command counter of `axis` at `ns`, an instant since its motion last changed.
std::int32_t CounterAt(const SimAxis& axis, std::int64_t ns);

}  // namespace quorva::sim
