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

namespace {

template <typename Node, typename Link>
std::vector<Node> Linked(const ListChain& chain, Link link) {
  std::vector<Node> nodes(chain.Size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    link(nodes[i], i + 1 < nodes.size() ? &nodes[i + 1] : nullptr, &chain.At(i));
  }
  return nodes;
}

}  // namespace

std::vector<ListNode> LinkNodes(const ListChain& chain) {
  return Linked<ListNode>(chain, [](ListNode& node, const ListNode* next, const ListEntry* entry) {
    node = {next, entry};
  });
}

std::vector<ListNodeWow64> LinkWideNodes(const ListChain& chain) {
  return Linked<ListNodeWow64>(chain, [](ListNodeWow64& node, const ListNodeWow64* next,
                                         const ListEntry* entry) {
    node = {reinterpret_cast<std::uintptr_t>(next), 0, reinterpret_cast<std::uintptr_t>(entry), 0};
  });
}

}  // namespace quorva
