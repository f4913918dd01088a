#include "sampler/log_concave_sampler.h"

#include <cmath>
#include <utility>

#include "density/ars_density.h"
#include "sampler/ars.h"
#include "sampler/mt64_uniform.h"
#include "sampler/starting_point_search.h"

namespace {

// The caller's log-density behind the sampler's density interface. logZero,
// which the sampler writes, is not used: the callable returns -infinity
// where the density is zero.
class CallableDensity : public ARSDensity {
 public:
  explicit CallableDensity(LogConcaveSampler::LogDensity f) : f_(std::move(f)) {}
  double logDensity(double x) const override { return f_(x); }
  double densityValue(double x) const override { return std::exp(f_(x)); }
  const LogConcaveSampler::LogDensity& function() const { return f_; }

 private:
  LogConcaveSampler::LogDensity f_;
};

}  // namespace

struct LogConcaveSampler::Core {
  Core(LogDensity f, std::uint64_t seed) : density(std::move(f)), uniform(seed) {}
  CallableDensity density;
  Mt64Uniform uniform;
  ARSSampler sampler;
};

LogConcaveSampler::LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                                     const std::vector<double>& starts, std::uint64_t seed)
    : core_(std::make_unique<Core>(std::move(logDensity), seed)) {
  const StartingPointSearch search(core_->density.function(), lower, upper, starts);
  ARSSampler& s = core_->sampler;
  s.restart();
  s.density = &core_->density;
  s.lowerLimit = search.lowerLimit();
  s.upperLimit = search.upperLimit();
  s.keepPoints = true;
  // No spreading: the hull is exact for a concave h. Pieces nearly flat in
  // log terms (within 1e-5) take the trapezoid rule, whose relative error
  // there (below 1e-11) matches the cancellation of the exact formula.
  s.minSlopeGap = 0.0;
  s.areaTolerance = 1e-5;
  s.stableInversion = true;
  s.points = search.points();
  s.counts.evaluations = search.evaluations();
}

LogConcaveSampler::~LogConcaveSampler() = default;
LogConcaveSampler::LogConcaveSampler(LogConcaveSampler&&) noexcept = default;
LogConcaveSampler& LogConcaveSampler::operator=(LogConcaveSampler&&) noexcept = default;

double LogConcaveSampler::sample() { return core_->sampler.sampleWith(core_->uniform); }

void LogConcaveSampler::sample(double* out, std::size_t count) {
  ARSSampler& s = core_->sampler;
  for (std::size_t i = 0; i < count; ++i) out[i] = s.sampleWith(core_->uniform);
}

const SamplerCounts& LogConcaveSampler::counts() const { return core_->sampler.counts; }
std::size_t LogConcaveSampler::points() const { return core_->sampler.points.size(); }
double LogConcaveSampler::lowerLimit() const { return core_->sampler.lowerLimit; }
double LogConcaveSampler::upperLimit() const { return core_->sampler.upperLimit; }
