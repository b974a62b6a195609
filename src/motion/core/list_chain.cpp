#include "motion/core/list_chain.h"

#include <new>

namespace quorva {

ListEntry* ListChain::Append() {
  auto entry = std::unique_ptr<ListEntry>(new (std::nothrow) ListEntry{});
  if (entry == nullptr) return nullptr;
  try {
    entries_.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return entries_.back().get();
}

}  // namespace quorva
