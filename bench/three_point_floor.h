#pragma once
// The least time a derivative-free three-point update can take: what the
// engine's warm path does, with nothing else. Two guides a learned spread
// either side of the last mode, a third where their chord and the learned
// scale place the new mode, the hull of their two secants in closed form,
// and plain rejection from it (no adaptation). No rounding margins, no
// checks of the density, no state beyond the learned mode and scale: a
// measuring stick for the benchmark, not a sampler to use. Where the three
// points do not bracket the mode with falling tails, update() says so and
// the caller's exact sampler serves.
#include <cstdint>
#include <functional>

namespace bench {

class ThreePointFloor {
 public:
  explicit ThreePointFloor(double mode) : mode_(mode) {}

  // One draw from exp(h) on (lower, upper), or false. uniform() is in [0, 1).
  bool update(const std::function<double(double)>& h, double lower, double upper,
              const std::function<double()>& uniform, double& x, std::uint64_t& evaluations);
  // After an update the floor could not serve, drawn by the caller: the
  // next guides go around that draw.
  void missed(double draw) { mode_ = draw; }

 private:
  double mode_;
  double scale_ = 1.0;
};

}  // namespace bench
