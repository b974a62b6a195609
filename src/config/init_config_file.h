// The board configuration file: 1428 little-endian bytes, the header word 0x0131C9AC and, for
// each of 8 axes, 20 integers, 10 doubles, 10 flag bytes and a maximum speed. Decoded and
// encoded value by value, so that a file reads the same on every host. Header-only: the
// library reads these files and the quorva tool also writes them.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quorva::init_config {

inline constexpr std::uint32_t kVersion = 0x0131C9AC;
inline constexpr std::size_t kHeaderBytes = 4;
inline constexpr std::size_t kFileBytes = 1428;
inline constexpr int kAxes = 8;

struct Axis {
  std::array<std::int32_t, 20> integers{};
  std::array<double, 10> reals{};
  std::array<std::uint8_t, 10> flags{};
  double maxSpeed = 0;  // pulses per second
};

using Record = std::array<Axis, kAxes>;

// The settings, by their index in their table. Values not named here have no meaning.
enum Integer : int {
  kOutputMode = 0,
  kInputModeCode = 1,  // mode in bits 0-1, reverse flag above
  kAlmCode = 3,
  kElCode = 4,
  kDrFlag = 5,
  kSdCode1 = 6,
  kSdCode2 = 7,
  kStaCode = 8,
  kStpKind = 9,
  kClrCode1 = 10,
  kClrCode2 = 11,
  kCmpLogic = 12,
  kInpCode = 13,
  kLtcCode = 14,
};
enum Real : int {
  kUnitDistance = 0,
  kUnitSpeed = 1,
  kInOutRatio = 2,
  kSoftLimit1 = 3,
  kSoftLimit2 = 4,
  kCmpWidth = 5,
};
enum Flag : int {
  kFilterLogic = 0,
  kSoftLimitsOn = 1,
};

// The packed codes: a second setting in bit 0, a first one in the bits above it (the input
// mode code: the mode in bits 0-1, the reverse flag above). Division and remainder truncate
// toward zero, so the remainder takes the sign of the code.
inline int CodeAbove(int code) {
  return code / 2;
}
inline int CodeBit0(int code) {
  return code % 2;
}
inline int InputMode(int code) {
  return code % 4;
}
inline int InputReverse(int code) {
  return code / 4;
}
// The start-input code is the mode; the input type is one less, wrapping at the lowest code.
inline int StartInputType(int code) {
  return static_cast<int>(static_cast<std::uint32_t>(code) - 1u);
}

namespace detail {

// Where the tables start in the file (after the header word), and one axis's entry in each.
inline constexpr std::size_t kIntegers = kHeaderBytes;
inline constexpr std::size_t kReals = kHeaderBytes + 640;
inline constexpr std::size_t kFlags = kHeaderBytes + 1280;
inline constexpr std::size_t kMaxSpeeds = kHeaderBytes + 1360;
inline constexpr std::size_t kIntegerEntry = 80;
inline constexpr std::size_t kRealEntry = 80;
inline constexpr std::size_t kFlagEntry = 10;
static_assert(kMaxSpeeds + 8 * kAxes == kFileBytes);

inline std::uint64_t Load(const std::uint8_t* at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | at[i];
  return value;
}

inline void Store(std::uint8_t* at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i, value >>= 8)
    at[i] = static_cast<std::uint8_t>(value);
}

}  // namespace detail

// The header word of a file of at least kHeaderBytes bytes.
inline std::uint32_t DecodeVersion(std::span<const std::uint8_t> file) {
  return static_cast<std::uint32_t>(detail::Load(file.data(), 4));
}

// The record of a file of at least kFileBytes bytes.
inline Record Decode(std::span<const std::uint8_t> file) {
  using namespace detail;
  Record record;
  for (std::size_t n = 0; n < record.size(); ++n) {
    Axis& axis = record[n];
    for (std::size_t i = 0; i < axis.integers.size(); ++i) {
      axis.integers[i] = static_cast<std::int32_t>(
          static_cast<std::uint32_t>(Load(&file[kIntegers + n * kIntegerEntry + 4 * i], 4)));
    }
    for (std::size_t i = 0; i < axis.reals.size(); ++i)
      axis.reals[i] = std::bit_cast<double>(Load(&file[kReals + n * kRealEntry + 8 * i], 8));
    for (std::size_t i = 0; i < axis.flags.size(); ++i)
      axis.flags[i] = file[kFlags + n * kFlagEntry + i];
    axis.maxSpeed = std::bit_cast<double>(Load(&file[kMaxSpeeds + 8 * n], 8));
  }
  return record;
}

// The whole file for `record`, header word included.
inline std::array<std::uint8_t, kFileBytes> Encode(const Record& record) {
  using namespace detail;
  std::array<std::uint8_t, kFileBytes> file{};
  Store(&file[0], kVersion, 4);
  for (std::size_t n = 0; n < record.size(); ++n) {
    const Axis& axis = record[n];
    for (std::size_t i = 0; i < axis.integers.size(); ++i) {
      Store(&file[kIntegers + n * kIntegerEntry + 4 * i],
            static_cast<std::uint32_t>(axis.integers[i]), 4);
    }
    for (std::size_t i = 0; i < axis.reals.size(); ++i)
      Store(&file[kReals + n * kRealEntry + 8 * i], std::bit_cast<std::uint64_t>(axis.reals[i]), 8);
    for (std::size_t i = 0; i < axis.flags.size(); ++i)
      file[kFlags + n * kFlagEntry + i] = axis.flags[i];
    Store(&file[kMaxSpeeds + 8 * n], std::bit_cast<std::uint64_t>(axis.maxSpeed), 8);
  }
  return file;
}

}  // namespace quorva::init_config
