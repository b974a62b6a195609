#include "gcode/machine.h"

#include "gcode/geometry.h"

namespace quorva::gcode {

void RunProgram(const Program& program, Machine& machine,
                const std::function<void(std::size_t done)>& progress) {
  Vec3 at = program.start;
  std::size_t done = 0;
  for (const Step& step : program.steps) {
    const bool moves = Distance(at, step.to) > 0;
    switch (step.kind) {
      case Step::Kind::kDwell:
        machine.Dwell(step.seconds);
        break;
      case Step::Kind::kRapid:
        if (moves) machine.Rapid(step.to);
        break;
      case Step::Kind::kLine:
        if (moves) machine.Line(step.to, step.feed);
        break;
      case Step::Kind::kArc:
        if (step.to.z != at.z) {
          machine.Helix(at, step.centre, step.to, step.clockwise, step.feed);
        } else {
          machine.Arc(step.centre, step.to, step.clockwise, step.feed);
        }
        break;
    }
    at = step.to;
    if (progress) progress(++done);
  }
}

}  // namespace quorva::gcode
