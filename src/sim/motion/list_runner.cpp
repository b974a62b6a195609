#include "sim/motion/list_runner.h"

#include <algorithm>
#include <optional>

#include "device/driver_call.h"
#include "sim/daq/daq_handlers.h"
#include "sim/motion/axis_controller.h"
#include "sim/sim_board.h"

namespace quorva::sim {
namespace {

constexpr std::uint32_t kOutputBase = QUORVA_SIM_OUTPUT_BASE;
constexpr std::uint32_t kOutputStride = QUORVA_SIM_OUTPUT_STRIDE;
constexpr std::uint32_t kSlotRegisters[kListSlotRegisters] = {0, 1, 2, 3,  4,  5, 6,
                                                              7, 8, 9, 10, 11, 32};
constexpr std::int64_t kNsPerMs = 1000000;
constexpr std::uint32_t kAxisNumbers = kAxes;

std::uint32_t BoardAxes(const SimBoard& board) {
  const int count = std::min<int>(board.resources.axes, kAxes);
  return (1u << count) - 1;
}

SimAxis& Axis(SimBoard& board, int axis) {
  return board.axes[static_cast<std::size_t>(axis)];
}

template <typename Action>
void ForEachAxis(std::uint32_t mask, Action action) {
  for (int axis = 0; axis < kAxes; ++axis) {
    if ((mask >> axis & 1u) != 0) action(axis);
  }
}

// The chain as a native process hands it over.
std::vector<ListEntry> CopyNativeChain(std::uint64_t head, std::uint32_t count) {
  std::vector<ListEntry> entries;
  const auto* node = reinterpret_cast<const ListNode*>(static_cast<std::uintptr_t>(head));
  for (std::uint32_t i = 0; i < count && node != nullptr && node->entry != nullptr; ++i) {
    entries.push_back(*node->entry);
    node = node->next;
  }
  return entries;
}

// The chain as a 32-bit process on 64-bit Windows hands it over: 32-bit addresses in 8-byte
// fields. A 64-bit process only sends it when the probe is forced, with its addresses cut to
// 32 bits: they cannot be followed then.
std::optional<std::vector<ListEntry>> CopyWow64Chain(std::uint64_t head, std::uint32_t count) {
  if constexpr (sizeof(void*) > 4) {
    (void)head;
    (void)count;
    return std::nullopt;
  } else {
    std::vector<ListEntry> entries;
    auto address = [](std::uint64_t field) {
      return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(field));
    };
    const auto* node = static_cast<const ListNodeWow64*>(address(head));
    for (std::uint32_t i = 0; i < count && node != nullptr && node->entry != 0; ++i) {
      entries.push_back(*static_cast<const ListEntry*>(address(node->entry)));
      node = static_cast<const ListNodeWow64*>(address(node->next));
    }
    return entries;
  }
}

// The axes an entry moves: its mask and, for kind 0, the master axis.
std::uint32_t EntryAxes(const SimBoard& board, const ListEntry& entry) {
  std::uint32_t axes = entry.mask;
  if (entry.kind == kListStartMaster && entry.master < kAxisNumbers) axes |= 1u << entry.master;
  return axes & BoardAxes(board);
}

// The instant every axis of `mask` became idle (no earlier than `since`), or nothing while one
// still moves.
std::optional<std::int64_t> IdleSince(SimBoard& board, std::uint32_t mask, std::int64_t since,
                                      std::int64_t nowNs) {
  bool idle = true;
  ForEachAxis(mask, [&](int axis) {
    SimAxis& a = Axis(board, axis);
    SettleAxis(a, nowNs);
    if (a.motion.phase != AxisMotion::Phase::kIdle) idle = false;
    since = std::max(since, a.motion.endNs);
  });
  if (!idle) return std::nullopt;
  return since;
}

bool Waits(const ListRun& run) {
  const ListEntry& entry = run.entries[run.started];
  return run.started == 0 || entry.kind == kListDigitalOutput || entry.immediacy != 1;
}

// When the entry after those started may start, or nothing while its wait goes on.
std::optional<std::int64_t> NextStart(SimBoard& board, const ListRun& run, std::int64_t nowNs) {
  if (!Waits(run)) return run.lastStartNs;
  return IdleSince(board, run.waitAxes, run.lastStartNs, nowNs);
}

// Loads each axis's slot into its registers, as the library would write them.
void LoadSlots(SimBoard& board, const ListEntry& entry, std::int64_t atNs) {
  int slot = 0;
  ForEachAxis(entry.mask & BoardAxes(board), [&](int axis) {
    SimAxis& a = Axis(board, axis);
    for (int r = 0; r < kListSlotRegisters; ++r) {
      a.registers[kSlotRegisters[r]] = entry.axisSlots[slot][r];
      AfterRegisterWrite(a, kSlotRegisters[r], atNs);
    }
    ++slot;
  });
}

// A command word written to main-space offset 0 of `axis`.
void WriteCommandWord(SimBoard& board, int axis, std::uint32_t word, std::int64_t atNs) {
  Axis(board, axis).mainWritten[0] = word;
  ExecuteAxisCommand(board, axis, word, atNs);
}

void StartMotion(SimBoard& board, const ListEntry& entry, std::int64_t atNs) {
  LoadSlots(board, entry, atNs);
  if (entry.kind == kListStartMaster) {
    if (entry.master < kAxisNumbers && (BoardAxes(board) >> entry.master & 1u) != 0) {
      WriteCommandWord(board, static_cast<int>(entry.master), entry.command, atNs);
    }
    return;
  }
  const std::uint32_t axes = entry.mask & BoardAxes(board);
  ForEachAxis(axes, [&](int axis) { WriteCommandWord(board, axis, entry.command & 0xFF, atNs); });
  if (entry.kind == kListStartEach) {
    ForEachAxis(axes, [&](int axis) { ReleaseAxis(Axis(board, axis), atNs); });
  }
}

// The board whose outputs an entry acts on: the one whose base address it carries, or the
// list's own board for address 0.
SimBoard* OutputBoard(std::span<SimBoard> boards, std::size_t own, const ListEntry& entry,
                      std::size_t* index) {
  const std::uint32_t base = entry.output.baseAddress;
  if (base == 0) {
    *index = own;
  } else if (base < kOutputBase || (base - kOutputBase) % kOutputStride != 0) {
    return nullptr;
  } else {
    *index = (base - kOutputBase) / kOutputStride;
  }
  return *index < boards.size() ? &boards[*index] : nullptr;
}

void ActOnOutputs(std::span<SimBoard> boards, std::size_t own, ListRun& run, const ListEntry& entry,
                  std::int64_t atNs) {
  std::size_t index = 0;
  SimBoard* target = OutputBoard(boards, own, entry, &index);
  if (target == nullptr) return;
  const std::uint32_t* args = entry.output.arguments;
  const bool single = entry.output.action == kPutOne || entry.output.action == kPulseOne;
  if (single && args[0] >= target->resources.digitalOutputs) return;
  const std::uint32_t group = single ? args[0] / kChannelsPerGroup : args[0];
  const std::uint32_t mask = single ? 1u << args[0] % kChannelsPerGroup : args[1];
  const std::uint32_t states = single ? (args[1] != 0 ? mask : 0u) : args[2];
  if (!SetDigitalOutputs(*target, group, mask, states)) return;
  if (entry.output.action == kPulseOne || entry.output.action == kPulseMulti) {
    const std::int64_t width = static_cast<std::int64_t>(args[3]) * kNsPerMs;
    run.pulseEnds.push_back({atNs + width, index, group, mask, ~states});
  }
}

// Ends the pulses due by `nowNs`, earliest first.
void EndPulses(std::span<SimBoard> boards, ListRun& run, std::int64_t nowNs) {
  std::stable_sort(
      run.pulseEnds.begin(), run.pulseEnds.end(),
      [](const OutputPulseEnd& a, const OutputPulseEnd& b) { return a.atNs < b.atNs; });
  std::size_t due = 0;
  while (due < run.pulseEnds.size() && run.pulseEnds[due].atNs <= nowNs) {
    const OutputPulseEnd& end = run.pulseEnds[due++];
    SetDigitalOutputs(boards[end.board], end.group, end.mask, end.states);
  }
  run.pulseEnds.erase(run.pulseEnds.begin(), run.pulseEnds.begin() + static_cast<long>(due));
}

void CatchUpList(std::span<SimBoard> boards, std::size_t own, std::int64_t nowNs) {
  SimBoard& board = boards[own];
  ListRun& run = board.list;
  while (!run.aborted && run.started < run.entries.size()) {
    const std::optional<std::int64_t> start = NextStart(board, run, nowNs);
    if (!start) break;
    const ListEntry& entry = run.entries[run.started];
    RecordPath(board, *start);  // the samples before the entry changes any motion
    EndPulses(boards, run, *start);
    if (Waits(run)) run.waitAxes = 0;
    if (entry.kind == kListDigitalOutput) {
      ActOnOutputs(boards, own, run, entry, *start);
    } else {
      StartMotion(board, entry, *start);
      run.waitAxes |= EntryAxes(board, entry);
    }
    run.lastStartNs = *start;
    ++run.started;
  }
  EndPulses(boards, run, nowNs);
}

}  // namespace

std::uint32_t OutputBaseAddress(std::size_t boardIndex) {
  return kOutputBase + static_cast<std::uint32_t>(boardIndex) * kOutputStride;
}

bool StartList(std::span<SimBoard> boards, SimBoard& board, std::uint64_t head, std::uint32_t count,
               std::uint32_t axisMask, std::int64_t nowNs) {
  std::optional<std::vector<ListEntry>> entries =
      IsWow64Process32() == 1 ? CopyWow64Chain(head, count) : CopyNativeChain(head, count);
  if (!entries) return false;
  ListRun& run = board.list;
  run.entries = std::move(*entries);
  run.axisMask = axisMask;
  run.started = 0;
  run.aborted = false;
  run.lastStartNs = nowNs;
  CatchUpList(boards, static_cast<std::size_t>(&board - boards.data()), nowNs);
  return true;
}

void CatchUpLists(std::span<SimBoard> boards, std::int64_t nowNs) {
  for (std::size_t own = 0; own < boards.size(); ++own)
    CatchUpList(boards, own, nowNs);
}

void AbortList(SimBoard& board, std::int64_t nowNs) {
  ListRun& run = board.list;
  run.aborted = true;
  ForEachAxis(run.axisMask & BoardAxes(board), [&](int axis) {
    SimAxis& a = Axis(board, axis);
    SettleAxis(a, nowNs);
    StopAxisNow(a, 0, nowNs);
  });
}

bool ListDone(SimBoard& board, std::int64_t nowNs) {
  const ListRun& run = board.list;
  if (!run.aborted && run.started < run.entries.size()) return false;
  return IdleSince(board, run.waitAxes, run.lastStartNs, nowNs).has_value();
}

std::uint32_t ListSequence(const SimBoard& board) {
  return static_cast<std::uint32_t>(board.list.started);
}

}  // namespace quorva::sim
