// Copying acquired digits out of a ring into a caller's buffer, raw or converted to volts. The
// conversion loops are written for the compiler to vectorise: no per-sample branches or channel
// lookups, the operands of interleaved channels laid out sample by sample.
#pragma once

#include <cstddef>
#include <cstdint>

#include "daq/volt_codes.h"

namespace quorva::daq {

// What a retrieval stores: the low 4 bits of the caller's type argument.
enum class RetrievalType { kDigits, kFloatVolts, kDoubleVolts, kNone };
RetrievalType RetrievalTypeOf(int type);

// Bytes of one stored value (0 for kNone).
std::size_t ValueBytes(RetrievalType type);

// Converts `scans` scans of `channels` interleaved digits at `src` (each masked with `mask`)
// with the scale of their channel, into dest[0 .. scans * channels), as `type` says. `dest` is
// the first value to write, of the type's size.
void ConvertScans(const std::uint16_t* src, std::size_t scans, std::size_t channels,
                  std::uint16_t mask, const VoltScale* scales, RetrievalType type, void* dest);

// Stores `count` digits taken every `stride` digits from `src` (masked with `mask`) into
// `dest`, converted with `scale`, as `type` says.
void ConvertStrided(const std::uint16_t* src, std::size_t stride, std::size_t count,
                    std::uint16_t mask, const VoltScale& scale, RetrievalType type, void* dest);

// `dest` advanced by `values` values of `type`.
inline void* Advance(void* dest, std::size_t values, RetrievalType type) {
  return static_cast<std::uint8_t*>(dest) + values * ValueBytes(type);
}

}  // namespace quorva::daq
