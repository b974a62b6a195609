// Names and fields of a motion axis's registers and status words, for decoded dumps.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quorva::cli {

struct RegisterField {
  const char* name;
  int low;    // first bit
  int width;  // bits
  // What a value of the field means, null where it is only a number.
  const char* (*meaning)(std::uint32_t value) = nullptr;
};

enum class RegisterKind {
  kUnsigned,  // a count or a code
  kSigned32,
  kSigned28,  // counters and comparators
  kSigned16,
  kFields,  // bit fields only
};

struct RegisterInfo {
  int number;
  const char* name;
  RegisterKind kind;
  std::span<const RegisterField> fields;
};

// The register with this number; a plain "register N" entry for a number without a name.
RegisterInfo DescribeRegister(int number);
// The main-space status words: offset 0 (main status) and 1 (signal status).
RegisterInfo DescribeStatusWord(int offset);

// "10000", "-5 (0x0FFFFFFB)", or the fields: "code=0x41 relative positioning  S-curve=0 ...".
std::string DecodeValue(const RegisterInfo& info, std::uint32_t value);

// Register numbers a dump shows: every one the library reads or writes.
inline constexpr int kDumpedRegisters = 58;

}  // namespace quorva::cli
