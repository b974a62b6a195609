// What the two simulated scan engines share: reading a start request's channel list, the ring
// storage, and the geometry answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/sim_board.h"
#include "sim/sim_request.h"

namespace quorva::sim {

// Ring words one scan engine may hold in all.
inline constexpr std::uint64_t kMaxRingSamples = std::uint64_t{64} << 20;

// The board's conversion clock, which scan and waveform rates divide.
inline constexpr double kBoardClockHz = 10'000'000.0;

// Reads the channel count (slot 1) and channel list (address in slot 2) of a start request
// into `setup`. False when the count is not 1-32 or a channel does not exist.
bool ReadScanChannels(const SimBoard& board, const SimRequest& request, ScanSetup& setup);

// Answers a geometry request: channel count, channel list (when its address is not null) and
// ring size through slots 1, 2 and 3.
void StoreGeometry(const ScanSetup& setup, const SimRequest& request);

// Makes `ring` `words` long. A ring of another size is retired rather than freed, so that an
// address handed out before stays valid until the engine's release.
void PrepareRing(std::vector<std::uint16_t>& ring, std::size_t words,
                 std::vector<std::vector<std::uint16_t>>& retired);

// The address the library reads a ring at, 0 when there is none.
std::uint64_t RingAddress(const std::vector<std::uint16_t>& ring);

// Forgets the engine's geometry and scan clock.
void ClearSetup(ScanSetup& setup);

// First scan number to write when scans up to `due` are acquired, `stored` are written already
// and the ring holds `arraySize`: older scans would be overwritten at once.
std::uint64_t FirstScanToWrite(std::uint64_t stored, std::uint64_t due, std::uint64_t arraySize);

}  // namespace quorva::sim
