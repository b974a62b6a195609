// The chain of list entries a board collects while recording, and its links as the driver
// walks them.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "device/list_entry.h"

namespace quorva {

// The entries recorded for a board, in insertion order, owned until they are handed over.
class ListChain {
 public:
  // A zeroed entry at the tail; null when memory runs out (the chain is unchanged then).
  ListEntry* Append();
  bool Empty() const { return entries_.empty(); }
  std::size_t Size() const { return entries_.size(); }
  const ListEntry& At(std::size_t index) const { return *entries_[index]; }
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::unique_ptr<ListEntry>> entries_;
};

// The chain as the driver walks it: node i holds entry i and links to node i + 1. The nodes
// point into the chain and at each other, so they are valid while both live.
std::vector<ListNode> LinkNodes(const ListChain& chain);
std::vector<ListNodeWow64> LinkWideNodes(const ListChain& chain);

}  // namespace quorva
