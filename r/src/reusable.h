#pragma once
// The sampler that rlogconcave and rtconcave keep between calls, so that a
// Gibbs update reuses its buffers; a logpdf that itself calls them gets a
// fresh one. Kind tells apart samplers of one class kept for different
// transformations.
#include <functional>
#include <optional>
#include <utility>

template <class Sampler, int Kind = 0>
class Reusable {
 public:
  // Takes the kept sampler for this call, if no outer call holds it.
  Reusable() {
    if (busy()) return;
    busy() = true;
    mine_ = true;
  }
  // Lets go of logpdf (and the R objects it refers to) until the next call,
  // however this one ended.
  ~Reusable() {
    if (!mine_) return;
    density() = nullptr;
    busy() = false;
  }
  Reusable(const Reusable&) = delete;
  Reusable& operator=(const Reusable&) = delete;
  bool mine() const { return mine_; }

  // The kept sampler, made or reset for h; make(call) constructs one with a
  // log-density, reset(sampler, call) resets it.
  template <class Make, class Reset>
  Sampler& prepare(std::function<double(double)> h, Make&& make, Reset&& reset) {
    density() = std::move(h);
    auto& kept = slot();
    if (kept) {
      reset(*kept, &call);
    } else {
      kept.emplace(make(&call));
    }
    return *kept;
  }

 private:
  // Called through this slot so that the density can be let go without
  // another search.
  static double call(double x) { return density()(x); }
  static std::function<double(double)>& density() {
    static std::function<double(double)> d;
    return d;
  }
  static bool& busy() {
    static bool b = false;
    return b;
  }
  static std::optional<Sampler>& slot() {
    static std::optional<Sampler> s;
    return s;
  }
  bool mine_ = false;
};
