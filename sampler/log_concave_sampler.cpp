#include "sampler/log_concave_sampler.h"

#include <pcg_random.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "sampler/ars.h"
#include "sampler/hull_envelope.h"
#include "sampler/start_search.h"

namespace ars {

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

std::string number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

// A draw that no candidate passes in this many tries means an envelope that
// cannot be refined any more and holds next to none of the density.
constexpr std::uint64_t maxTries = 50000000;

// The built-in generator behind the uniform interface of the draw loop.
struct Pcg64Source {
  pcg64& engine;
  double next() { return detail::uniform01(engine); }
};

// The proof leaves the sampler as the 1.0 type, which is an
// ars::NotLogConcave too: code catching either keeps working.
template <class F>
void asOneZeroReport(F&& f) {
  try {
    f();
  } catch (const ARSSampler::XNotLogConcave&) {
    throw;
  } catch (const NotLogConcave& e) {
    throw ARSSampler::XNotLogConcave(e.what());
  }
}

}  // namespace

struct LogConcaveSampler::Core {
  LogDensity logDensity;
  pcg64 engine;
  detail::HullEnvelope envelope;
  std::vector<detail::HullPoint> scratch;
  SamplerCounts counts;
  std::size_t maxPoints = 100000;
  double targetRatio = 1.0;

  explicit Core(std::uint64_t seed) : engine(seed) {}

  void start(LogDensity f, double lower, double upper, const std::vector<double>& starts) {
    asOneZeroReport([&] { search(std::move(f), lower, upper, starts); });
  }

  void search(LogDensity f, double lower, double upper, const std::vector<double>& starts) {
    logDensity = std::move(f);
    counts = SamplerCounts{};
    if (!logDensity) throw std::invalid_argument("logDensity is empty");
    const detail::StartSearch search(logDensity, lower, upper, starts, scratch, envelope);
    counts.evaluations = search.evaluations();
  }

  bool refining() const {
    return envelope.points().size() < maxPoints && envelope.ratio() < targetRatio;
  }

  double evaluate(double x) {
    ++counts.evaluations;
    const double h = logDensity(x);
    if (std::isnan(h) || h == inf) {
      throw std::invalid_argument("logDensity is " + number(h) + " at x = " + number(x) +
                                  "; it must be finite, or -infinity where the density is zero");
    }
    return h;
  }

  // h is -infinity at x: beyond the outer points the limit moves in to x. A
  // candidate at the limit itself would change nothing, so the middle between
  // it and the outer point is looked at: every such step makes progress.
  void zeroAt(double x) {
    const auto& p = envelope.points();
    if (x > p.front().x && x < p.back().x) {
      const auto at = std::lower_bound(p.begin(), p.end(), x,
                                       [](const detail::HullPoint& q, double v) { return q.x < v; });
      throw NotLogConcave("not log-concave: the density is zero at x = " + number(x) +
                          " between positive values at " + number((at - 1)->x) + " and " +
                          number(at->x));
    }
    const bool up = x >= p.back().x;
    const double limit = up ? envelope.upper() : envelope.lower();
    if (x != limit) {
      envelope.cut(x);
      return;
    }
    const double outer = up ? p.back().x : p.front().x;
    const double middle = outer + (x - outer) * 0.5;
    if (middle == outer || middle == x) return;
    const double h = evaluate(middle);
    if (h == -inf) {
      envelope.cut(middle);
    } else if (envelope.points().size() < maxPoints) {
      envelope.insert(middle, h);
    }
  }

  template <class Source>
  double draw(Source& source) {
    double x = 0.0;
    asOneZeroReport([&] { x = drawUnchecked(source); });
    return x;
  }

  template <class Source>
  double drawUnchecked(Source& source) {
    for (std::uint64_t tries = 0; tries < maxTries; ++tries) {
      ++counts.draws;
      const double u1 = source.next();
      const double u2 = source.next();
      const double t = u1 * envelope.total();
      const std::size_t i = envelope.choose(t);
      const detail::HullSegment& s = envelope.segments()[i];
      const double d = envelope.invert(i, t - envelope.areaBefore(i));
      const double x = s.anchor + s.dir * d;
      // Under the squeeze: for most draws the uniform alone decides, without a log.
      if (u2 <= s.acceptBound) {
        ++counts.squeezeAccepts;
        return x;
      }
      const double logU = std::log(u2);
      if (logU <= s.gap0 + s.gapSlope * d) {
        ++counts.squeezeAccepts;
        return x;
      }
      if (!std::isfinite(x)) {
        ++counts.rejections;
        continue;
      }
      const double logHeight = s.top - s.rate * d + logU;
      const double h = evaluate(x);
      if (h == -inf) {
        ++counts.rejections;
        zeroAt(x);
        continue;
      }
      const bool accepted = logHeight <= h;
      // Every evaluated point may refine: accepted ones too, so that pieces
      // where the squeeze is missing or far below the hull tighten as well.
      if (refining()) envelope.insert(x, h);
      if (accepted) {
        ++counts.densityAccepts;
        return x;
      }
      ++counts.rejections;
    }
    throw std::runtime_error("no candidate accepted in " + std::to_string(maxTries) +
                             " tries: the envelope cannot be refined (setMaxPoints?)");
  }
};

LogConcaveSampler::LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                                     const std::vector<double>& starts, std::uint64_t seed)
    : core_(std::make_unique<Core>(seed)) {
  core_->start(std::move(logDensity), lower, upper, starts);
}

LogConcaveSampler::~LogConcaveSampler() = default;
LogConcaveSampler::LogConcaveSampler(const LogConcaveSampler& other)
    : core_(std::make_unique<Core>(other.core())) {}
LogConcaveSampler& LogConcaveSampler::operator=(const LogConcaveSampler& other) {
  if (this != &other) {
    if (core_) {
      *core_ = other.core();
    } else {
      core_ = std::make_unique<Core>(other.core());
    }
  }
  return *this;
}
LogConcaveSampler::LogConcaveSampler(LogConcaveSampler&&) noexcept = default;
LogConcaveSampler& LogConcaveSampler::operator=(LogConcaveSampler&&) noexcept = default;

LogConcaveSampler::Core& LogConcaveSampler::core() {
  if (!core_) throw std::logic_error("LogConcaveSampler: used after it was moved from");
  return *core_;
}

const LogConcaveSampler::Core& LogConcaveSampler::core() const {
  if (!core_) throw std::logic_error("LogConcaveSampler: used after it was moved from");
  return *core_;
}

double LogConcaveSampler::sample() {
  Core& c = core();
  Pcg64Source source{c.engine};
  return c.draw(source);
}

void LogConcaveSampler::sample(double* out, std::size_t count) {
  Core& c = core();
  Pcg64Source source{c.engine};
  for (std::size_t i = 0; i < count; ++i) out[i] = c.draw(source);
}

double LogConcaveSampler::sampleFrom(detail::UniformSource& source) { return core().draw(source); }

void LogConcaveSampler::sampleFrom(detail::UniformSource& source, double* out, std::size_t count) {
  Core& c = core();
  for (std::size_t i = 0; i < count; ++i) out[i] = c.draw(source);
}

void LogConcaveSampler::reset(LogDensity logDensity, double lower, double upper,
                              const std::vector<double>& starts) {
  core().start(std::move(logDensity), lower, upper, starts);
}

const SamplerCounts& LogConcaveSampler::counts() const { return core().counts; }
std::size_t LogConcaveSampler::points() const { return core().envelope.points().size(); }
double LogConcaveSampler::lowerLimit() const { return core().envelope.lower(); }
double LogConcaveSampler::upperLimit() const { return core().envelope.upper(); }

double LogConcaveSampler::hatArea() const { return std::exp(logHatArea()); }
double LogConcaveSampler::squeezeArea() const { return std::exp(logSqueezeArea()); }
double LogConcaveSampler::squeezeHatRatio() const { return core().envelope.ratio(); }
double LogConcaveSampler::logHatArea() const { return core().envelope.logHatArea(); }
double LogConcaveSampler::logSqueezeArea() const { return core().envelope.logSqueezeArea(); }

Envelope LogConcaveSampler::envelope() const {
  const detail::HullEnvelope& e = core().envelope;
  Envelope out;
  for (const detail::HullPoint& p : e.points()) {
    out.x.push_back(p.x);
    out.h.push_back(p.h);
    out.squeezeX.push_back(p.x);
    out.squeezeY.push_back(p.h);
  }
  for (const detail::HullSegment& s : e.segments()) {
    const double far = s.anchor + s.dir * s.width;
    const double farY = std::isinf(s.width) ? -inf : s.top - s.rate * s.width;
    const double left = s.dir > 0 ? s.anchor : far, leftY = s.dir > 0 ? s.top : farY;
    const double right = s.dir > 0 ? far : s.anchor, rightY = s.dir > 0 ? farY : s.top;
    if (out.hullX.empty() || out.hullX.back() != left || out.hullY.back() != leftY) {
      out.hullX.push_back(left);
      out.hullY.push_back(leftY);
    }
    out.hullX.push_back(right);
    out.hullY.push_back(rightY);
  }
  return out;
}

void LogConcaveSampler::setMaxPoints(std::size_t n) { core().maxPoints = std::max<std::size_t>(n, 3); }
void LogConcaveSampler::setTargetRatio(double r) {
  if (!(r >= 0 && r <= 1)) throw std::invalid_argument("the target ratio " + number(r) + " must lie in [0, 1]");
  core().targetRatio = r;
}

}  // namespace ars
