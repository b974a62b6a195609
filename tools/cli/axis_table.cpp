#include "cli/axis_table.h"

#include <cstdio>
#include <ostream>

namespace quorva::cli {
namespace {

constexpr int kSpeedRegister = 53;         // speed in steps
constexpr int kMagnificationInForce = 21;  // steps are 19660800 / ((M + 1) * 65536) pps
constexpr double kReferenceRate = 19660800.0;

// Bits of QUORVA_MC_GetMioStatus.
constexpr int kMioAlarm = 1 << 1;
constexpr int kMioLimitPlus = 1 << 2;
constexpr int kMioLimitMinus = 1 << 3;
constexpr int kMioHome = 1 << 4;

std::string PhaseOf(int state, bool done) {
  switch (state) {
    case 0x0:
      return done ? "idle" : "waiting";
    case 0xB:
      return "accel";
    case 0xC:
      return "cruise";
    case 0xD:
      return "decel";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "state %X", state);
      return text;
    }
  }
}

std::string Limits(const AxisReading& r) {
  if (r.limitPlus && r.limitMinus) return "EL+ EL-";
  if (r.limitPlus) return "EL+";
  return r.limitMinus ? "EL-" : "-";
}

}  // namespace

AxisReading ReadAxis(QUORVA_HANDLE board, int axis, const AxisSettings& settings) {
  AxisReading r;
  r.position = QUORVA_MC_GetCount_C(board, axis) / settings.scale;
  const unsigned steps = QUORVA_MC_ReadRegister(board, axis, kSpeedRegister) & 0xFFFF;
  const unsigned magnification = QUORVA_MC_ReadRegister(board, axis, kMagnificationInForce) & 0xFFF;
  r.speed = steps * kReferenceRate / ((magnification + 1) * 65536.0) / settings.scale;
  const int mio = QUORVA_MC_GetMioStatus(board, axis);
  r.alarm = (mio & kMioAlarm) != 0;
  r.limitPlus = (mio & kMioLimitPlus) != 0;
  r.limitMinus = (mio & kMioLimitMinus) != 0;
  r.home = (mio & kMioHome) != 0;
  r.phase = PhaseOf(QUORVA_MC_GetMotionStatus(board, axis), QUORVA_MC_Done(board, axis) != 0);
  return r;
}

AxisTable::AxisTable(Console& console, const Settings& settings, std::vector<int> axes)
    : console_(console), settings_(settings), axes_(std::move(axes)) {}

void AxisTable::Show(QUORVA_HANDLE board, double time) {
  std::ostream& out = console_.out;
  const char* header =
      "axis  name            position           speed  phase    limits   home  alarm";
  if (console_.terminal) {
    if (shown_) out << "\x1b[" << axes_.size() + 1 << 'A';
    out << "\x1b[2K" << header << '\n';
  } else if (!shown_) {
    out << "   time  " << header << '\n';
  }
  for (int axis : axes_) {
    const AxisSettings& s = settings_.Axis(axis);
    const AxisReading r = ReadAxis(board, axis, s);
    char line[200];
    std::snprintf(line, sizeof line, "%4d  %-8s %12.3f %-4s %9.3f %-4s  %-7s  %-7s  %-4s  %s", axis,
                  s.Label(axis).c_str(), r.position, s.unit.c_str(), r.speed,
                  (s.unit + "/s").c_str(), r.phase.c_str(), Limits(r).c_str(), r.home ? "on" : "-",
                  r.alarm ? "ALM" : "-");
    if (console_.terminal) {
      out << "\x1b[2K" << line << '\n';
    } else {
      char stamp[24];
      std::snprintf(stamp, sizeof stamp, "%7.3f  ", time);
      out << stamp << line << '\n';
    }
  }
  out.flush();
  shown_ = true;
}

}  // namespace quorva::cli
