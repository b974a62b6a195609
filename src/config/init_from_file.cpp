// Configuring every axis of a motion board from a board configuration file. The file is read
// whole before anything is applied; each setting then goes through its exported setter, so
// that the board ends in exactly the state those setters produce, trace lines included.
#include <algorithm>
#include <cstdio>

#include "config/init_config_file.h"
#include "device/trace.h"
#include "motion/core/motion_context.h"
#include "motion/core/register_conversion.h"

using namespace quorva;

namespace {

namespace ic = init_config;

constexpr int kNoMotionBoard = -1;

// Reads the file into `bytes`; the count of bytes read, or -1 when it cannot be opened.
long ReadConfigFile(const char* fileName, std::array<std::uint8_t, ic::kFileBytes>& bytes) {
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) return -1;
  const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return static_cast<long>(count);
}

void ApplyAxis(QUORVA_HANDLE handle, int axis, const ic::Axis& settings) {
  const auto code = [&](ic::Integer setting) { return settings.integers[setting]; };
  const auto real = [&](ic::Real setting) { return settings.reals[setting]; };

  QUORVA_MC_SetOutputMode(handle, axis, code(ic::kOutputMode));
  QUORVA_MC_SetInputMode(handle, axis, ic::InputMode(code(ic::kInputModeCode)),
                         ic::InputReverse(code(ic::kInputModeCode)));
  // The range is given in pulses per second: it is applied while the unit speed is 1.
  QUORVA_MC_SetUnitSpeed(handle, axis, 1.0);
  QUORVA_MC_SetSpeedRange(handle, axis, settings.maxSpeed);
  QUORVA_MC_SetUnitDistance(handle, axis, real(ic::kUnitDistance));
  QUORVA_MC_SetUnitSpeed(handle, axis, real(ic::kUnitSpeed));
  QUORVA_MC_SetInOutRatio(handle, axis, real(ic::kInOutRatio));
  QUORVA_MC_SetMioCfgALM(handle, axis, ic::CodeAbove(code(ic::kAlmCode)),
                         ic::CodeBit0(code(ic::kAlmCode)));
  // Converted to pulses with the unit distance just set.
  if (settings.flags[ic::kSoftLimitsOn] != 0) {
    QUORVA_MC_SetSoftLimit(handle, axis, real(ic::kSoftLimit1), real(ic::kSoftLimit2));
    QUORVA_MC_EnableSoftLimit(handle, axis);
  } else {
    QUORVA_MC_DisableSoftLimit(handle, axis);
  }

  const int el = code(ic::kElCode);
  QUORVA_MC_SetMioCfgEL(handle, axis, ic::CodeBit0(el));
  QUORVA_MC_SetELL(handle, axis, ic::CodeAbove(el));
  QUORVA_MC_SetFilterLogic(handle, axis, settings.flags[ic::kFilterLogic]);
  QUORVA_MC_SetMioCfgDR(handle, axis, code(ic::kDrFlag));
  const int sd1 = code(ic::kSdCode1);
  const int sd2 = code(ic::kSdCode2);
  QUORVA_MC_SetMioCfgSD(handle, axis, ic::CodeAbove(sd1), ic::CodeBit0(sd1), ic::CodeAbove(sd2),
                        ic::CodeBit0(sd2));
  QUORVA_MC_SetMioCfgSTA(handle, axis, code(ic::kStaCode), ic::StartInputType(code(ic::kStaCode)));
  QUORVA_MC_SetMioCfgSTP(handle, axis, code(ic::kStpKind));
  QUORVA_MC_SetMioCfgCLR(handle, axis, code(ic::kClrCode1), code(ic::kClrCode2));
  // A width that is not a number or out of the integer range saturates instead of being
  // undefined; a negative one reaches the setter as its unsigned pattern.
  QUORVA_MC_SetMioCfgCMP(handle, axis, static_cast<unsigned>(Trunc32(real(ic::kCmpWidth))),
                         code(ic::kCmpLogic));
  QUORVA_MC_SetMioCfgINP(handle, axis, ic::CodeAbove(code(ic::kInpCode)),
                         ic::CodeBit0(code(ic::kInpCode)));
  QUORVA_MC_SetMioCfgLTC(handle, axis, ic::CodeBit0(code(ic::kLtcCode)),
                         ic::CodeAbove(code(ic::kLtcCode)));
}

}  // namespace

extern "C" {

int QUORVA_MC_InitFromFile(QUORVA_HANDLE handle, const char* fileName) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_InitFromFile(0x%x, \"%s\")", TraceWord(handle),
               fileName != nullptr ? fileName : "");
  const MotionContext* context = ContextOf(handle);
  if (context == nullptr) return kNoMotionBoard;
  if (fileName == nullptr || fileName[0] == '\0') return QUORVA_ERR_FILE_NAME;
  std::array<std::uint8_t, ic::kFileBytes> bytes{};
  const long count = ReadConfigFile(fileName, bytes);
  if (count < 0) return QUORVA_ERR_FILE_OPEN;
  if (count >= static_cast<long>(ic::kHeaderBytes) && ic::DecodeVersion(bytes) != ic::kVersion)
    return QUORVA_ERR_CONFIG_VERSION;
  if (count < static_cast<long>(ic::kFileBytes)) return QUORVA_ERR_CONFIG_SHORT;
  const ic::Record record = ic::Decode(bytes);
  const int axisCount = std::min<int>(context->axisCount, ic::kAxes);
  for (int axis = 0; axis < axisCount; ++axis)
    ApplyAxis(handle, axis, record[static_cast<std::size_t>(axis)]);
  return 0;
}

}  // extern "C"
