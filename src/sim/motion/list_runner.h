// The driver's side of list motion: its own copy of the entries a run-list request handed
// over, executed one after another in simulated time.
//
// Model:
// - Entries start in chain order. An entry starts at the instant every axis of the entries
//   started since the last such wait has become idle (computed from the moves' planned end,
//   not from when a request looks), or when the list starts for the first entry. An entry of
//   kinds 0-2 whose immediacy byte is 1 starts at the instant the entry before it started,
//   without waiting; its axes join those the next waiting entry waits for.
// - Kinds 0-2 first load each axis's slot (registers 0-10, 11, 32; slot k for the k-th set bit
//   of the mask below the board's axis count) as if the library had written them. Kind 0 then
//   writes its command word to the master axis's main-space offset 0 (bits 8-11 add axes of the
//   same chip); kind 1 writes the command's low byte to each axis of the mask; kind 2 writes
//   the start code to each axis of the mask and releases those held for the start signal, so
//   every listed axis, on either chip, starts in the same instant.
// - Kind 3 acts on the digital outputs of the board whose output addresses it carries, at its
//   place in the sequence: once the motion before it has finished. It takes no time (its
//   immediacy byte, always 1, says so): the entry after it starts in the same instant. Actions:
//   0 put one (channel, state); 1 put multi (group, mask, states: the bits of the mask take
//   the states); 2 pulse one (channel, state, -, width in ms); 3 pulse multi (group, mask,
//   states, width): the outputs take the states and, width ms later, their opposites. An entry
//   without a known board does nothing.
// - The list is done once every entry has started and all their axes are idle; with no list
//   ever run it is done as well. The sequence number is the 1-based number of the last entry
//   started (0 before the first starts; the last entry's number once done).
// - An abort drops the entries not yet started and stops every axis of the list's axis mask at
//   once; the list then reports done. Pulses under way still end.
// - A new list replaces the one before; its first entry waits for the axes the previous list
//   left moving.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "device/list_entry.h"

namespace quorva::sim {

struct SimBoard;

// The end of an output pulse: the outputs of `mask` in `group` of board `board` take `states`.
struct OutputPulseEnd {
  std::int64_t atNs = 0;
  std::size_t board = 0;
  std::uint32_t group = 0;
  std::uint32_t mask = 0;
  std::uint32_t states = 0;
};

struct ListRun {
  std::vector<ListEntry> entries;  // the driver's copy of the last list handed over
  std::uint32_t axisMask = 0;      // the list's axes, as handed over
  std::size_t started = 0;         // entries started so far
  bool aborted = false;
  std::int64_t lastStartNs = 0;  // when the last entry started (or the list was handed over)
  std::uint32_t waitAxes = 0;    // axes the next waiting entry waits for
  std::vector<OutputPulseEnd> pulseEnds;
};

// Output addresses a board reports for list output actions: a base per board index, and the
// two further addresses after it.
std::uint32_t OutputBaseAddress(std::size_t boardIndex);

// Takes a copy of the chain at `head` (native or, for a 32-bit caller, the WOW64 layout; at
// most `count` nodes) and starts it at `nowNs`. False, with nothing changed, when the chain
// cannot be reached.
bool StartList(std::span<SimBoard> boards, SimBoard& board, std::uint64_t head, std::uint32_t count,
               std::uint32_t axisMask, std::int64_t nowNs);
// Runs every board's list up to `nowNs`.
void CatchUpLists(std::span<SimBoard> boards, std::int64_t nowNs);
void AbortList(SimBoard& board, std::int64_t nowNs);
bool ListDone(SimBoard& board, std::int64_t nowNs);
std::uint32_t ListSequence(const SimBoard& board);

}  // namespace quorva::sim
