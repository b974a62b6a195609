// The list entries and the chain of nodes a run-list request hands to the driver: the layouts
// the driver reads, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorva {

inline constexpr int kListAxisSlots = 8;
// Registers copied into an axis slot: 0 to 10, then 11, then 32.
inline constexpr int kListSlotRegisters = 13;

enum ListEntryKind : std::uint8_t {
  kListStartMaster = 0,    // start command to the master axis
  kListArcCompletion = 1,  // command to each axis of the mask
  kListStartEach = 2,      // start code to each axis of the mask
  kListDigitalOutput = 3,  // action on a board's digital outputs
};

// Digital-output actions of a kind-3 entry.
enum ListOutputAction : std::uint32_t {
  kPutOne = 0,
  kPutMulti = 1,
  kPulseOne = 2,
  kPulseMulti = 3,
};

// One 432-byte list entry, little-endian.
struct ListEntry {
  std::uint8_t kind;
  std::uint8_t immediacy;
  std::uint8_t reserved[2];
  std::uint32_t mask;
  std::uint32_t command;
  union {
    // Kinds 0-2: slot k belongs to the k-th set bit of the mask.
    std::uint32_t axisSlots[kListAxisSlots][kListSlotRegisters];
    // Kind 3.
    struct {
      std::uint32_t baseAddress;
      std::uint32_t firstAddress;
      std::uint32_t secondAddress;
      std::uint32_t reserved[10];
      std::uint32_t action;
      std::uint32_t arguments[4];
    } output;
  };
  std::uint32_t master;
};

static_assert(sizeof(ListEntry) == 432);
static_assert(offsetof(ListEntry, mask) == 4);
static_assert(offsetof(ListEntry, command) == 8);
static_assert(offsetof(ListEntry, axisSlots) == 12);
static_assert(offsetof(ListEntry, output.action) == 64);
static_assert(offsetof(ListEntry, output.arguments) == 68);
static_assert(offsetof(ListEntry, master) == 428);

// A link of the chain handed to the driver, native layout.
struct ListNode {
  const ListNode* next;
  const ListEntry* entry;
};

// A link of the chain as a 32-bit process on 64-bit Windows hands it over: 8-byte fields.
struct ListNodeWow64 {
  std::uint64_t next;
  std::uint64_t zero1;
  std::uint64_t entry;
  std::uint64_t zero2;
};
static_assert(sizeof(ListNodeWow64) == 32);

}  // namespace quorva
