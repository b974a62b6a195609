// Where a home search of the simulated controller stands.
#pragma once

#include <cstdint>

namespace quorva::sim {

struct HomeSearch {
  enum class Phase : std::uint8_t {
    kNone,      // the axis runs no search
    kApproach,  // running towards the origin
    kOffset,    // an automatic search moving on by its offset
  };

  Phase phase = Phase::kNone;
  bool automatic = false;    // codes 21 and 29: the offset move and the counter reset follow
  bool limitOrigin = false;  // home modes 6, 7, 8, 12: the end limit is the origin
};

}  // namespace quorva::sim
