#include "plot/state_sampler.h"

#include <algorithm>

#include "VarnDasQvSim.h"
#include "cli/errors.h"

namespace quorva::plot {
namespace {

constexpr double kLongestRun = 1e7;     // simulated seconds
constexpr double kShortestStep = 1e-6;  // seconds

}  // namespace

StateSampler::StateSampler(int simBoard, std::vector<SampledAxis> axes, std::size_t maxSamples)
    : board_(simBoard), axes_(std::move(axes)), maxSamples_(std::max<std::size_t>(maxSamples, 4)) {}

Recording StateSampler::Follow(const std::function<bool()>& finished, double interval) {
  Recording recording;
  for (const SampledAxis& a : axes_)
    recording.axes.push_back({a.label, a.unit, {}, {}});
  const double start = QUORVA_SIM_GetTime();
  double nextSample = start;
  for (;;) {
    const double now = QUORVA_SIM_GetTime();
    bool moving = false;
    double nextEnd = kLongestRun + start;
    recording.time.push_back(now - start);
    for (std::size_t i = 0; i < axes_.size(); ++i) {
      QUORVA_SIM_AXIS_STATE state{};
      QUORVA_SIM_GetAxisState(board_, axes_[i].axis, &state);
      recording.axes[i].position.push_back(state.position / axes_[i].scale);
      const double speed = state.speed / axes_[i].scale;
      recording.axes[i].velocity.push_back(state.direction < 0 && speed != 0 ? -speed : speed);
      if (state.busy != 0) moving = true;
      if (state.busy == 1 && state.endTime > now) nextEnd = std::min(nextEnd, state.endTime);
    }
    if (!moving && (!finished || finished())) break;
    if (now - start > kLongestRun) throw cli::ToolError("the axes were still moving after 10^7 s");
    if (recording.time.size() > maxSamples_) {
      recording.Thin();
      interval *= 2;
    }
    while (nextSample <= now + interval * 1e-3)
      nextSample += interval;
    QUORVA_SIM_AdvanceTime(std::max(std::min(nextSample, nextEnd) - now, kShortestStep));
  }
  return recording;
}

}  // namespace quorva::plot
