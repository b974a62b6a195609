#include "daq/digit_conversion.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorva::daq {
namespace {

constexpr std::size_t kMaxChannels = 32;
// Scans whose operands are laid out at once: the inner loop runs over this many scans of
// consecutive samples.
constexpr std::size_t kChunkScans = 16;
constexpr std::size_t kChunkCapacity = kMaxChannels * kChunkScans;
// Digits gathered at a time from a strided channel before converting them.
constexpr std::size_t kGatherDigits = 1024;

// The conversion operands of every sample position of a chunk.
struct ChunkOperands {
  alignas(64) std::array<std::uint32_t, kChunkCapacity> dmin;
  alignas(64) std::array<float, kChunkCapacity> span;
  alignas(64) std::array<float, kChunkCapacity> divisor;
  alignas(64) std::array<float, kChunkCapacity> vmin;
};

// Samples per vector step. Loops run over a whole number of steps first, so that even the
// compiler's cheapest vectorisation (no epilogue allowed) takes them, then over the rest.
constexpr std::size_t kVectorStep = 8;

constexpr std::size_t WholeSteps(std::size_t count) {
  return count & ~(kVectorStep - 1);
}

template <typename Out>
void ConvertChunk(const std::uint16_t* __restrict src, std::size_t count, std::uint16_t mask,
                  const ChunkOperands& ops, Out* __restrict dest) {
  const std::uint32_t* __restrict dmin = ops.dmin.data();
  const float* __restrict span = ops.span.data();
  const float* __restrict divisor = ops.divisor.data();
  const float* __restrict vmin = ops.vmin.data();
  const auto convert = [&](std::size_t j) {
    dest[j] = static_cast<Out>(VoltsOfDigit(static_cast<std::uint32_t>(src[j] & mask), dmin[j],
                                            span[j], divisor[j], vmin[j]));
  };
  const std::size_t whole = WholeSteps(count);
  for (std::size_t j = 0; j < whole; ++j)
    convert(j);
  for (std::size_t j = whole; j < count; ++j)
    convert(j);
}

template <typename Out>
void ConvertInterleaved(const std::uint16_t* src, std::size_t total, std::size_t channels,
                        std::uint16_t mask, const VoltScale* scales, Out* dest) {
  const std::size_t period = channels * kChunkScans;
  ChunkOperands ops;
  for (std::size_t j = 0; j < period; ++j) {
    const VoltScale& s = scales[j % channels];
    ops.dmin[j] = s.dmin;
    ops.span[j] = s.span;
    ops.divisor[j] = s.divisor;
    ops.vmin[j] = s.vmin;
  }
  for (std::size_t done = 0; done < total; done += period)
    ConvertChunk(src + done, std::min(period, total - done), mask, ops, dest + done);
}

void CopyMasked(const std::uint16_t* __restrict src, std::size_t count, std::uint16_t mask,
                std::uint16_t* __restrict dest) {
  if (mask == 0xFFFF) {
    std::memcpy(dest, src, count * sizeof *src);
    return;
  }
  for (std::size_t j = 0; j < count; ++j)
    dest[j] = static_cast<std::uint16_t>(src[j] & mask);
}

}  // namespace

RetrievalType RetrievalTypeOf(int type) {
  switch (type & 0xF) {
    case QUORVA_RETRIEVE_DIGITS:
      return RetrievalType::kDigits;
    case QUORVA_RETRIEVE_FLOAT:
      return RetrievalType::kFloatVolts;
    case QUORVA_RETRIEVE_DOUBLE:
      return RetrievalType::kDoubleVolts;
    default:
      return RetrievalType::kNone;
  }
}

std::size_t ValueBytes(RetrievalType type) {
  switch (type) {
    case RetrievalType::kDigits:
      return sizeof(std::uint16_t);
    case RetrievalType::kFloatVolts:
      return sizeof(float);
    case RetrievalType::kDoubleVolts:
      return sizeof(double);
    case RetrievalType::kNone:
      break;
  }
  return 0;
}

void ConvertScans(const std::uint16_t* src, std::size_t scans, std::size_t channels,
                  std::uint16_t mask, const VoltScale* scales, RetrievalType type, void* dest) {
  if (channels == 0 || channels > kMaxChannels) return;
  const std::size_t total = scans * channels;
  switch (type) {
    case RetrievalType::kDigits:
      CopyMasked(src, total, mask, static_cast<std::uint16_t*>(dest));
      break;
    case RetrievalType::kFloatVolts:
      ConvertInterleaved(src, total, channels, mask, scales, static_cast<float*>(dest));
      break;
    case RetrievalType::kDoubleVolts:
      ConvertInterleaved(src, total, channels, mask, scales, static_cast<double*>(dest));
      break;
    case RetrievalType::kNone:
      break;
  }
}

void ConvertStrided(const std::uint16_t* src, std::size_t stride, std::size_t count,
                    std::uint16_t mask, const VoltScale& scale, RetrievalType type, void* dest) {
  if (stride == 1) {
    ConvertScans(src, count, 1, mask, &scale, type, dest);
    return;
  }
  std::array<std::uint16_t, kGatherDigits> gathered;
  for (std::size_t done = 0; done < count; done += gathered.size()) {
    const std::size_t n = std::min(gathered.size(), count - done);
    for (std::size_t j = 0; j < n; ++j)
      gathered[j] = src[(done + j) * stride];
    ConvertScans(gathered.data(), n, 1, mask, &scale, type, Advance(dest, done, type));
  }
}

}  // namespace quorva::daq
