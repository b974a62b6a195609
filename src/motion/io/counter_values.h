// Counter registers of an axis and the conversions between their raw words and counts.
#pragma once

#include <cstdint>

namespace quorva {

namespace reg {
inline constexpr int kCounterCommand = 35;    // C: pulses output, 28-bit signed
inline constexpr int kCounterActual = 36;     // A: feedback pulses, 28-bit signed
inline constexpr int kCounterDeviation = 37;  // D: 16-bit signed
inline constexpr int kCounterGeneral = 38;    // G: 28-bit signed
inline constexpr int kCounterR = 52;          // R: 32 bits, read as they are
}  // namespace reg

// The largest magnitude a counter preset takes (2^27 − 1).
inline constexpr int kCounterLimit = 134217727;

// A pulse amount as a counter value: limited to ±kCounterLimit, truncated toward zero; NaN
// gives 0.
int ClampToCounter(double pulses);

// The low 28 bits of a counter word as a two's-complement number (bit 27 is the sign).
int SignExtend28(std::uint32_t word);
// The low 16 bits of a counter word as a two's-complement number (bit 15 is the sign).
int SignExtend16(std::uint32_t word);

}  // namespace quorva
