// Follows axes of a simulated board while the tool moves simulated time on itself: each
// sample is the axis's exact position and velocity at its instant.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "plot/recording.h"

namespace quorva::plot {

struct SampledAxis {
  int axis = 0;
  std::string label;
  std::string unit;
  double scale = 1;  // pulses per unit
};

class StateSampler {
 public:
  StateSampler(int simBoard, std::vector<SampledAxis> axes, std::size_t maxSamples = 4000);

  // Samples from now on until every axis stands and `finished` (when given) says so. Samples
  // come every `interval` and at the instant each move ends; whenever the record would hold
  // more than its maximum, every other sample goes and the interval doubles. ToolError when
  // the axes are still moving after 10^7 simulated seconds.
  Recording Follow(const std::function<bool()>& finished = {}, double interval = 0.001);

 private:
  int board_;
  std::vector<SampledAxis> axes_;
  std::size_t maxSamples_;
};

}  // namespace quorva::plot
