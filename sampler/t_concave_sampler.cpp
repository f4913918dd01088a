#include "sampler/t_concave_sampler.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace ars {
namespace {

constexpr int kMaxBuildSteps = 200;

const char* transformName(Transform t) {
  return t == Transform::Log ? "T = log f" : "T = -1/sqrt(f)";
}

}  // namespace

TConcaveSampler::TConcaveSampler(LogDensity logDensity, double lower, double upper,
                                 Transform transform, const std::vector<double>& starts,
                                 std::uint64_t seed)
    : transform_(transform), engine_(seed) {
  reset(std::move(logDensity), lower, upper, starts);
}

void TConcaveSampler::reset(LogDensity logDensity, double lower, double upper,
                            const std::vector<double>& starts) {
  if (!logDensity) throw std::invalid_argument("logDensity: empty function");
  if (std::isnan(lower) || std::isnan(upper) || !(lower < upper))
    throw std::invalid_argument("lower, upper: need lower < upper");
  logDensity_ = std::move(logDensity);
  lower_ = lower;
  upper_ = upper;
  x_.clear();
  h_.clear();
  t_.clear();
  evaluations_ = 0;
  hmax_ = -std::numeric_limits<double>::infinity();
  for (double s : starts) {
    if (!(s > lower && s < upper))
      throw std::invalid_argument("starts: each start must lie inside (lower, upper)");
  }
  std::vector<double> first = starts;
  if (first.empty()) {
    if (std::isfinite(lower) && std::isfinite(upper))
      first = {lower + 0.25 * (upper - lower), lower + 0.5 * (upper - lower),
               lower + 0.75 * (upper - lower)};
    else if (std::isfinite(lower))
      first = {lower + 1};
    else if (std::isfinite(upper))
      first = {upper - 1};
    else
      first = {0.0};
  }
  for (double s : first) insert(s, evaluate(s));
  build();
}

double TConcaveSampler::evaluate(double x) {
  ++evaluations_;
  const double h = logDensity_(x);
  if (std::isnan(h) || h == std::numeric_limits<double>::infinity() ||
      h == -std::numeric_limits<double>::infinity()) {
    std::ostringstream m;
    m << "logDensity: value " << h << " at x = " << x
      << " inside the support; give the support's limits as lower, upper";
    throw std::invalid_argument(m.str());
  }
  return h;
}

void TConcaveSampler::insert(double x, double h) {
  const auto it = std::lower_bound(x_.begin(), x_.end(), x);
  // Points closer than rounding lets T(f) tell apart give secants of noise.
  const double gap = 1e-10 * std::max(1.0, std::fabs(x));
  if (it != x_.end() && *it - x <= gap) return;
  if (it != x_.begin() && x - *(it - 1) <= gap) return;
  const auto i = it - x_.begin();
  x_.insert(it, x);
  h_.insert(h_.begin() + i, h);
  hmax_ = std::max(hmax_, h);
}

double TConcaveSampler::toT(double h) const {
  return transform_ == Transform::Log ? h : -std::exp(-0.5 * h);
}

double TConcaveSampler::fromT(double t) const {
  if (transform_ == Transform::Log) return std::exp(t);
  return t < 0 ? 1.0 / (t * t) : std::numeric_limits<double>::infinity();
}

// Area under T^{-1} of the hat line over [l, r]. Under -1/sqrt the hat is
// 1/u^2 with u = -t; (r - l)/(u_l u_r) avoids dividing by a slope near 0.
double TConcaveSampler::pieceArea(const Piece& p) const {
  const double s = p.slope;
  if (transform_ == Transform::InverseSqrt) {
    const double ul = -(p.tl + s * (p.l - p.anchor));
    const double ur = -(p.tl + s * (p.r - p.anchor));
    if (!std::isfinite(p.l)) return 1.0 / (s * ur);
    if (!std::isfinite(p.r)) return -1.0 / (s * ul);
    return (p.r - p.l) / (ul * ur);
  }
  if (!std::isfinite(p.l)) return std::exp(p.tl + s * (p.r - p.anchor)) / s;
  const double tl = p.tl + s * (p.l - p.anchor);
  if (!std::isfinite(p.r)) return std::exp(tl) / -s;
  const double d = p.r - p.l;
  return s == 0 ? std::exp(tl) * d : std::exp(tl) * std::expm1(s * d) / s;
}

// The x in the piece where the area from its left end equals q.
double TConcaveSampler::pieceInvert(const Piece& p, double q) const {
  const double s = p.slope;
  double x;
  if (transform_ == Transform::InverseSqrt) {
    if (!std::isfinite(p.l)) {
      const double ur = -(p.tl + s * (p.r - p.anchor));
      x = p.r + (ur - 1.0 / (s * q)) / s;
    } else {
      const double ul = -(p.tl + s * (p.l - p.anchor));
      x = p.l + q * ul * ul / (1.0 + q * ul * s);
    }
  } else if (!std::isfinite(p.l)) {
    const double tr = p.tl + s * (p.r - p.anchor);
    x = p.r + (std::log(q * s) - tr) / s;
  } else {
    const double tl = p.tl + s * (p.l - p.anchor);
    const double y = q * std::exp(-tl);
    x = s == 0 ? p.l + y : p.l + std::log1p(y * s) / s;
  }
  return std::min(std::max(x, p.l), p.r);
}

void TConcaveSampler::checkConcave(std::size_t i) const {
  // Secants (i, i+1) and (i+1, i+2): slopes must not increase.
  const double m0 = (t_[i + 1] - t_[i]) / (x_[i + 1] - x_[i]);
  const double m1 = (t_[i + 2] - t_[i + 1]) / (x_[i + 2] - x_[i + 1]);
  // Rounding of h and of T(h) bounds what a slope difference can prove.
  double err = 0;
  for (std::size_t k = i; k < i + 3; ++k)
    err += std::fabs(t_[k]) * (4 + std::fabs(h_[k] - hmax_)) * 1e-15;
  const double tol = 1e-9 * (std::fabs(m0) + std::fabs(m1)) +
                     err * (1 / (x_[i + 1] - x_[i]) + 1 / (x_[i + 2] - x_[i + 1]));
  if (m1 > m0 + tol) {
    std::ostringstream m;
    m.precision(17);
    m << "density is not T-concave under " << transformName(transform_)
      << ": T(f/max f seen) at x = " << x_[i] << ", " << x_[i + 1] << ", " << x_[i + 2]
      << " is " << t_[i] << ", " << t_[i + 1] << ", " << t_[i + 2]
      << " (the middle point lies below the chord)";
    throw NotLogConcave(m.str());
  }
}

void TConcaveSampler::build() {
  for (int step = 0; step < kMaxBuildSteps; ++step) {
    if (tryBuild()) return;
  }
  throw std::runtime_error("TConcaveSampler: no finite hat after " +
                           std::to_string(kMaxBuildSteps) + " points; is the density integrable?");
}

// Builds hat and squeeze from the points; when the hat is not finite yet,
// evaluates one more point where it would help and returns false.
bool TConcaveSampler::tryBuild() {
  const std::size_t n = x_.size();
  t_.resize(n);
  for (std::size_t i = 0; i < n; ++i) t_[i] = toT(h_[i] - hmax_);
  for (std::size_t i = 0; i + 2 < n; ++i) checkConcave(i);
  const double span = n > 1 ? x_[n - 1] - x_[0] : std::max(1.0, 1e-3 * std::fabs(x_[0]));
  auto addAt = [&](double x) {
    x = std::min(std::max(x, std::nextafter(lower_, upper_)), std::nextafter(upper_, lower_));
    double h = evaluate(x);
    // A point so far out that T(f) overflows says nothing: step back towards the points.
    while (!std::isfinite(toT(h - hmax_))) {
      const double near = x < x_.front() ? x_.front() : x_.back();
      x = 0.5 * (x + near);
      h = evaluate(x);
    }
    insert(x, h);
    return false;
  };
  if (n < 2 || (n < 3 && std::isfinite(lower_) && std::isfinite(upper_))) {
    if (std::isfinite(upper_)) return addAt(0.5 * (x_[n - 1] + upper_));
    return addAt(x_[n - 1] + span);
  }
  std::vector<double> m(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) m[i] = (t_[i + 1] - t_[i]) / (x_[i + 1] - x_[i]);
  if (!std::isfinite(lower_) && !(m[0] > 0)) return addAt(x_[0] - span);
  if (!std::isfinite(upper_) && !(m[n - 2] < 0)) return addAt(x_[n - 1] + span);
  if (n < 3) return addAt(0.5 * (x_[0] + x_[1]));

  pieces_.clear();
  pieces_.push_back({lower_, x_[0], t_[0], x_[0], m[0], 0});
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const bool hasL = i >= 1, hasR = i + 2 < n;
    if (hasL && hasR) {
      const double d = m[i - 1] - m[i + 1];
      double z = d > 0 ? (t_[i + 1] - t_[i] - m[i + 1] * x_[i + 1] + m[i - 1] * x_[i]) / d
                       : 0.5 * (x_[i] + x_[i + 1]);
      if (!std::isfinite(z)) z = 0.5 * (x_[i] + x_[i + 1]);
      z = std::min(std::max(z, x_[i]), x_[i + 1]);
      pieces_.push_back({x_[i], z, t_[i], x_[i], m[i - 1], 0});
      pieces_.push_back({z, x_[i + 1], t_[i + 1], x_[i + 1], m[i + 1], 0});
    } else if (hasL) {
      pieces_.push_back({x_[i], x_[i + 1], t_[i], x_[i], m[i - 1], 0});
    } else {
      pieces_.push_back({x_[i], x_[i + 1], t_[i + 1], x_[i + 1], m[i + 1], 0});
    }
  }
  pieces_.push_back({x_[n - 1], upper_, t_[n - 1], x_[n - 1], m[n - 2], 0});

  if (transform_ == Transform::InverseSqrt) {
    // The hat 1/t^2 is finite only where its line stays below 0.
    for (const Piece& p : pieces_) {
      for (double e : {p.l, p.r}) {
        if (!std::isfinite(e)) continue;
        if (!(p.tl + p.slope * (e - p.anchor) < 0)) {
          // At the apex of two secants the point itself; where the line runs past an
          // evaluated point or a bounded end, a point nearer to it.
          const bool evaluated = std::fabs(e - p.l) <= 1e-10 * std::max(1.0, std::fabs(e)) ||
                                 std::fabs(e - p.r) <= 1e-10 * std::max(1.0, std::fabs(e));
          return addAt(evaluated || !std::isfinite(p.l) || !std::isfinite(p.r) ? 0.5 * (p.l + p.r) : e);
        }
      }
    }
  }
  cumulative_.resize(pieces_.size());
  double total = 0;
  for (std::size_t k = 0; k < pieces_.size(); ++k) {
    pieces_[k].area = pieceArea(pieces_[k]);
    if (!(pieces_[k].area >= 0) || !std::isfinite(pieces_[k].area))
      return addAt(std::isfinite(pieces_[k].l) ? (std::isfinite(pieces_[k].r)
                                                      ? 0.5 * (pieces_[k].l + pieces_[k].r)
                                                      : pieces_[k].l + span)
                                                : pieces_[k].r - span);
    total += pieces_[k].area;
    cumulative_[k] = total;
  }
  hatArea_ = total;
  // A near-flat outer secant gives a tail holding most of the hat: step out first,
  // rather than drawing far candidates one by one.
  if (!std::isfinite(lower_) && pieces_.front().area > 0.5 * total) return addAt(x_[0] - span);
  if (!std::isfinite(upper_) && pieces_.back().area > 0.5 * total) return addAt(x_[n - 1] + span);
  double sq = 0;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Piece chord{x_[i], x_[i + 1], t_[i], x_[i], m[i], 0};
    sq += pieceArea(chord);
  }
  squeezeArea_ = sq;
  return true;
}

double TConcaveSampler::squeezeAt(double x) const {
  if (x_.empty() || x < x_.front() || x > x_.back()) return 0;
  const std::size_t i =
      std::min<std::size_t>(std::upper_bound(x_.begin(), x_.end(), x) - x_.begin(), x_.size() - 1);
  const std::size_t j = i == 0 ? 1 : i;
  const double w = (x - x_[j - 1]) / (x_[j] - x_[j - 1]);
  return fromT(t_[j - 1] + w * (t_[j] - t_[j - 1]));
}

double TConcaveSampler::sampleFrom(detail::UniformSource& source) {
  for (;;) {
    const double q = source.next() * hatArea_;
    std::size_t k = std::upper_bound(cumulative_.begin(), cumulative_.end(), q) - cumulative_.begin();
    k = std::min(k, pieces_.size() - 1);
    const Piece& p = pieces_[k];
    const double before = k == 0 ? 0 : cumulative_[k - 1];
    const double x = pieceInvert(p, std::min(q - before, p.area));
    if (!(x > lower_ && x < upper_)) continue;
    const double hat = fromT(p.tl + p.slope * (x - p.anchor));
    const double y = source.next() * hat;
    if (y <= squeezeAt(x)) return x;
    const double h = evaluate(x);
    const bool accept = y <= std::exp(h - hmax_);
    if (std::isfinite(toT(h - hmax_))) {
      insert(x, h);
      build();
    }
    if (accept) return x;
  }
}

}  // namespace ars
