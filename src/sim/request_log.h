// The newest requests the simulated driver received, oldest first.
#pragma once

#include <cstddef>
#include <vector>

#include "VarnDasQvSim.h"
#include "device/driver_packet.h"

namespace quorva::sim {

// Its storage is taken by the first Clear, which comes before any request is logged.
class RequestLog {
 public:
  void Append(int board, const DriverPacket& packet) {
    QUORVA_SIM_REQUEST& entry = entries_[(first_ + size_) % entries_.size()];
    entry.board = board;
    entry.code = packet.Code();
    for (std::size_t slot = 1; slot <= 11; ++slot)
      entry.slots[slot - 1] = packet.Slot(slot);
    if (size_ < entries_.size()) {
      ++size_;
    } else {
      first_ = (first_ + 1) % entries_.size();
    }
  }
  std::size_t Size() const { return size_; }
  // Entry `index`, 0 being the oldest kept.
  const QUORVA_SIM_REQUEST& At(std::size_t index) const {
    return entries_[(first_ + index) % entries_.size()];
  }
  void Clear() {
    if (entries_.empty()) entries_.resize(QUORVA_SIM_LOG_CAPACITY);
    first_ = size_ = 0;
  }
  // Frees the storage; the next Clear takes it again.
  void Release() {
    std::vector<QUORVA_SIM_REQUEST>().swap(entries_);
    first_ = size_ = 0;
  }

 private:
  std::vector<QUORVA_SIM_REQUEST> entries_;
  std::size_t first_ = 0;
  std::size_t size_ = 0;
};

}  // namespace quorva::sim
