#include "cli/register_map.h"

#include <cstdio>

namespace quorva::cli {
namespace {

using Kind = RegisterKind;

const char* OperationName(std::uint32_t code) {
  switch (code) {
    case 0x00:
      return "continuous +";
    case 0x02:
      return "continuous";
    case 0x08:
      return "continuous -";
    case 0x10:
      return "home search +";
    case 0x18:
      return "home search -";
    case 0x15:
      return "automatic home +";
    case 0x1D:
      return "automatic home -";
    case 0x41:
      return "relative positioning";
    case 0x42:
      return "absolute positioning";
    case 0x56:
      return "relative positioning";
    case 0x61:
      return "linear interpolation";
    case 0x64:
      return "arc clockwise";
    case 0x65:
      return "arc counter-clockwise";
    default:
      return nullptr;
  }
}

constexpr RegisterField kModeFields[] = {
    {"operation", 0, 8, OperationName},
    {"SD enable", 8, 1},
    {"INP enable", 9, 1},
    {"S-curve", 10, 1},
    {"manual ramp-down", 13, 1},
    {"bit 15", 15, 1},
    {"bits 16-17", 16, 2},
    {"start signal", 18, 1},
    {"bit 19", 19, 1},
    {"STP enable", 24, 1},
    {"bits 25-26", 25, 2},
    {"bit 27", 27, 1},
};
constexpr RegisterField kEnvironment1Fields[] = {
    {"output format", 0, 3}, {"EL decelerates", 3, 1},
    {"SD flags", 4, 3},      {"home flag A", 7, 1},
    {"ALM flags", 8, 2},     {"home flag C", 11, 1},
    {"ERC code", 12, 3},     {"ERC", 15, 1},
    {"STA type", 18, 1},     {"STP kind", 19, 1},
    {"CLR code", 20, 2},     {"INP logic", 22, 1},
    {"latch edge", 23, 1},   {"DR", 25, 1},
    {"filter", 26, 2},
};
constexpr RegisterField kEnvironment2Fields[] = {
    {"signals", 0, 16}, {"encoder mode", 20, 3}, {"home flag B", 23, 1}, {"output mask", 28, 1}};
constexpr RegisterField kEnvironment3Fields[] = {
    {"home mode", 0, 4}, {"home count", 4, 4}, {"CLR code", 16, 4}, {"search bits", 20, 4}};
constexpr RegisterField kEnvironment4Fields[] = {
    {"comparator 1", 0, 7}, {"comparator 2", 8, 7}, {"comparator 3", 16, 7}, {"bits 23-31", 23, 9}};
constexpr RegisterField kEnvironment5Fields[] = {{"comparator 5", 0, 8}, {"latch speed", 14, 1}};
constexpr RegisterField kEnvironment6Fields[] = {{"backlash pulses", 0, 12},
                                                 {"backlash method", 12, 4}};
constexpr RegisterField kExtendedStatusFields[] = {
    {"state", 0, 4},         {"in-position", 4, 1},   {"latch", 5, 1},    {"stop causes", 8, 3},
    {"soft limit -", 11, 1}, {"soft limit +", 12, 1}, {"running", 20, 1}, {"waiting", 21, 1},
};
constexpr RegisterField kErrorFields[] = {{"errors", 0, 8}, {"bits 8-31", 8, 24}};
constexpr RegisterField kEventFields[] = {{"latched", 14, 1}};
constexpr RegisterField kMainStatusFields[] = {{"busy", 1, 1}, {"error", 4, 1}};
constexpr RegisterField kSignalStatusFields[] = {
    {"servo off", 0, 1}, {"ERC", 1, 1},  {"pulses off", 2, 1}, {"EL logic", 3, 1},
    {"alarm", 11, 1},    {"EL+", 12, 1}, {"EL-", 13, 1},       {"home", 14, 1},
};

constexpr RegisterInfo kRegisters[] = {
    {0, "move amount", Kind::kSigned32, {}},
    {1, "start speed, steps", Kind::kUnsigned, {}},
    {2, "high speed, steps", Kind::kUnsigned, {}},
    {3, "acceleration rate", Kind::kUnsigned, {}},
    {4, "deceleration rate", Kind::kUnsigned, {}},
    {5, "speed magnification", Kind::kUnsigned, {}},
    {6, "ramp-down point", Kind::kSigned32, {}},
    {7, "operation mode", Kind::kFields, kModeFields},
    {8, "centre or axis set", Kind::kSigned32, {}},
    {9, "S-curve section, accel", Kind::kUnsigned, {}},
    {10, "S-curve section, decel", Kind::kUnsigned, {}},
    {12, "helix turns", Kind::kUnsigned, {}},
    {16, "move amount in force", Kind::kSigned32, {}},
    {17, "start speed in force", Kind::kUnsigned, {}},
    {18, "high speed in force", Kind::kUnsigned, {}},
    {19, "accel rate in force", Kind::kUnsigned, {}},
    {20, "decel rate in force", Kind::kUnsigned, {}},
    {21, "magnification in force", Kind::kUnsigned, {}},
    {22, "ramp-down in force", Kind::kSigned32, {}},
    {23, "mode in force", Kind::kFields, kModeFields},
    {27, "correction speed, steps", Kind::kUnsigned, {}},
    {28, "environment 1", Kind::kFields, kEnvironment1Fields},
    {29, "environment 2", Kind::kFields, kEnvironment2Fields},
    {30, "environment 3", Kind::kFields, kEnvironment3Fields},
    {31, "environment 4", Kind::kFields, kEnvironment4Fields},
    {32, "environment 5", Kind::kFields, kEnvironment5Fields},
    {33, "environment 6", Kind::kFields, kEnvironment6Fields},
    {35, "command counter C", Kind::kSigned28, {}},
    {36, "actual counter A", Kind::kSigned28, {}},
    {37, "deviation counter D", Kind::kSigned16, {}},
    {38, "general counter G", Kind::kSigned28, {}},
    {39, "comparator 1 (soft limit -)", Kind::kSigned28, {}},
    {40, "comparator 2 (soft limit +)", Kind::kSigned28, {}},
    {41, "comparator 3", Kind::kSigned28, {}},
    {42, "comparator 4", Kind::kSigned28, {}},
    {43, "comparator 5", Kind::kSigned28, {}},
    {45, "latched C", Kind::kSigned28, {}},
    {46, "latched A", Kind::kSigned28, {}},
    {47, "latched D or speed", Kind::kSigned16, {}},
    {48, "latched G", Kind::kSigned28, {}},
    {49, "extended status", Kind::kFields, kExtendedStatusFields},
    {50, "error status", Kind::kFields, kErrorFields},
    {51, "event status", Kind::kFields, kEventFields},
    {52, "remaining pulses", Kind::kSigned32, {}},
    {53, "speed, steps", Kind::kUnsigned, {}},
};

std::int64_t SignExtend(std::uint32_t value, int bits) {
  const std::int64_t field = value & ((std::uint64_t{1} << bits) - 1);
  return field >= (std::int64_t{1} << (bits - 1)) ? field - (std::int64_t{1} << bits) : field;
}

std::string Fields(const RegisterInfo& info, std::uint32_t value) {
  std::string text;
  for (const RegisterField& field : info.fields) {
    const std::uint32_t v = value >> field.low & ((std::uint64_t{1} << field.width) - 1);
    if (v == 0 && field.meaning == nullptr) continue;
    char part[80];
    if (field.width >= 8) {
      std::snprintf(part, sizeof part, "%s=0x%X", field.name, v);
    } else {
      std::snprintf(part, sizeof part, "%s=%u", field.name, v);
    }
    if (!text.empty()) text += "  ";
    text += part;
    const char* meaning = field.meaning != nullptr ? field.meaning(v) : nullptr;
    if (meaning != nullptr) text += std::string(" (") + meaning + ")";
  }
  return text.empty() ? "(fields 0)" : text;
}

}  // namespace

RegisterInfo DescribeRegister(int number) {
  for (const RegisterInfo& info : kRegisters) {
    if (info.number == number) return info;
  }
  return {number, nullptr, Kind::kUnsigned, {}};
}

RegisterInfo DescribeStatusWord(int offset) {
  if (offset == 0) return {0, "main status", Kind::kFields, kMainStatusFields};
  return {offset, "signal status", Kind::kFields, kSignalStatusFields};
}

std::string DecodeValue(const RegisterInfo& info, std::uint32_t value) {
  char text[64];
  switch (info.kind) {
    case Kind::kUnsigned:
      std::snprintf(text, sizeof text, "%u", value);
      return text;
    case Kind::kSigned32:
      std::snprintf(text, sizeof text, "%d", static_cast<std::int32_t>(value));
      return text;
    case Kind::kSigned28:
      std::snprintf(text, sizeof text, "%lld", static_cast<long long>(SignExtend(value, 28)));
      return text;
    case Kind::kSigned16:
      std::snprintf(text, sizeof text, "%lld", static_cast<long long>(SignExtend(value, 16)));
      return text;
    case Kind::kFields:
      return Fields(info, value);
  }
  return "";
}

}  // namespace quorva::cli
