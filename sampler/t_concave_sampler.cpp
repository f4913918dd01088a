#include "sampler/t_concave_sampler.h"

#include "sampler/argument_checks.h"  // number
#include "sampler/fresh_seed.h"
#include "sampler/mode_bracket.h"
#include "sampler/start_search.h"  // learnedShape
#include "sampler/split_finder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace ars {
namespace {

using detail::Line;

constexpr std::size_t kMaxBuildSteps = 200;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A bracket of the mode is close enough once f at its outer points is
// within a factor e^4 of the middle.
constexpr double kBracketDrop = 4;

const char* transformName(Transform t) {
  return t == Transform::Log ? "T = log f" : "T = -1/sqrt(f)";
}

// Points closer than this give secants of rounding noise. Relative only: a
// density of width 1e-12 at 0 is as well served as one of width 1 at 1e12.
double gapAt(double x) {
  return std::max(1e-13 * std::fabs(x), std::numeric_limits<double>::min());
}

}  // namespace

TConcaveSampler::TConcaveSampler(LogDensity logDensity, double lower, double upper,
                                 Transform transform, const std::vector<double>& splits,
                                 const std::vector<double>& starts)
    : transform_(transform), seed_(detail::freshSeed().state) {
  reset(std::move(logDensity), lower, upper, splits, starts);
}

TConcaveSampler::TConcaveSampler(LogDensity logDensity, double lower, double upper,
                                 Transform transform, const std::vector<double>& splits,
                                 const std::vector<double>& starts, std::uint64_t seed)
    : transform_(transform), seed_(seed) {
  reset(std::move(logDensity), lower, upper, splits, starts);
}

TConcaveSampler::TConcaveSampler(LogDensity logDensity, double lower, double upper,
                                 Transform transform, detail::SplitsChoice automatic,
                                 const std::vector<double>& starts)
    : transform_(transform), seed_(detail::freshSeed().state) {
  reset(std::move(logDensity), lower, upper, automatic, starts);
}

TConcaveSampler::TConcaveSampler(LogDensity logDensity, double lower, double upper,
                                 Transform transform, detail::SplitsChoice automatic,
                                 const std::vector<double>& starts, std::uint64_t seed)
    : transform_(transform), seed_(seed) {
  reset(std::move(logDensity), lower, upper, automatic, starts);
}

void TConcaveSampler::seed() {
  seed_ = detail::freshSeed().state;
  engine_.reset();
}

void TConcaveSampler::reset(LogDensity logDensity, double lower, double upper,
                            const std::vector<double>& splits, const std::vector<double>& starts) {
  start(std::move(logDensity), lower, upper, splits, starts, 0);
}

void TConcaveSampler::reset(LogDensity logDensity, double lower, double upper, detail::SplitsChoice,
                            const std::vector<double>& starts) {
  start(std::move(logDensity), lower, upper, {}, starts, 0, true);
}

void TConcaveSampler::warmReset(LogDensity logDensity, double lower, double upper, detail::SplitsChoice,
                                const std::vector<double>& starts) {
  start(std::move(logDensity), lower, upper, {}, starts, warmUnit(), true);
}

void TConcaveSampler::warmReset(LogDensity logDensity, double lower, double upper,
                                const std::vector<double>& splits, const std::vector<double>& starts) {
  if (logConcave_ && transform_ == Transform::Log && splits.empty()) {
    try {
      logConcave_->warmReset(std::move(logDensity), lower, upper, starts);
    } catch (const NotLogConcave& e) {
      reportUnderLog(e);
    }
    return;
  }
  start(std::move(logDensity), lower, upper, splits, starts, warmUnit());
}

// The scale the current envelope learned, for the first probes of the next.
double TConcaveSampler::warmUnit() const {
  std::vector<detail::HullPoint> last;
  if (logConcave_) {
    const Envelope e = logConcave_->envelope();
    for (std::size_t i = 0; i < e.x.size(); ++i) last.push_back({e.x[i], e.h[i]});
  } else {
    for (std::size_t i = 0; i < x_.size(); ++i) last.push_back({x_[i], h_[i]});
  }
  return detail::learnedShape(last).unit;
}

// unit > 0: probes that far either side of the first start join it (the
// warm path); else the build finds the scale from the points.
void TConcaveSampler::start(LogDensity logDensity, double lower, double upper,
                            const std::vector<double>& splits, const std::vector<double>& starts,
                            double unit, bool automatic) {
  if (!logDensity) throw std::invalid_argument("logDensity: empty function");
  if (std::isnan(lower) || std::isnan(upper) || !(lower < upper))
    throw std::invalid_argument("lower, upper: need lower < upper");
  for (std::size_t i = 0; i < splits.size(); ++i) {
    if (!(splits[i] > lower && splits[i] < upper) || (i > 0 && !(splits[i] > splits[i - 1])))
      throw std::invalid_argument("splits: need an increasing sequence strictly inside (lower, upper)");
  }
  for (double s : starts) {
    if (!(s > lower && s < upper))
      throw std::invalid_argument("starts: each start must lie inside (lower, upper)");
  }
  // Built in the spare buffers; a throw puts the sampler back as it was.
  // The scan is a setting the new build keeps.
  exchange(spare_.state);
  scan_ = spare_.state.scan;
  try {
    begin(std::move(logDensity), lower, upper, splits, starts, unit, automatic);
  } catch (...) {
    exchange(spare_.state);
    throw;
  }
  // The old density's callable may hold on to objects of the caller's.
  spare_.state.logDensity = nullptr;
  spare_.state.logConcave.reset();
}

void TConcaveSampler::exchange(Saved& s) {
  using std::swap;
  swap(logConcave_, s.logConcave);
  swap(logDensity_, s.logDensity);
  swap(lower_, s.lower);
  swap(upper_, s.upper);
  swap(splits_, s.splits);
  swap(bounds_, s.bounds);
  swap(x_, s.x);
  swap(h_, s.h);
  swap(t_, s.t);
  swap(err_, s.err);
  swap(hmax_, s.hmax);
  swap(pieces_, s.pieces);
  swap(cumulative_, s.cumulative);
  swap(draws_, s.draws);
  swap(guide_, s.guide);
  swap(hatArea_, s.hatArea);
  swap(squeezeArea_, s.squeezeArea);
  swap(counts_, s.counts);
  swap(lastWhy_, s.lastWhy);
  swap(outward_, s.outward);
  swap(bracketed_, s.bracketed);
  swap(refused_, s.refused);
  swap(automatic_, s.automatic);
  swap(found_, s.found);
  swap(convexSteps_, s.convexSteps);
  swap(probePasses_, s.probePasses);
  swap(splitsWhenProbed_, s.splitsWhenProbed);
  swap(scan_, s.scan);
}

void TConcaveSampler::begin(LogDensity logDensity, double lower, double upper,
                            const std::vector<double>& splits, const std::vector<double>& starts,
                            double unit, bool automatic) {
  logConcave_.reset();
  refused_ = nullptr;
  automatic_ = automatic;
  found_ = 0;
  probePasses_ = automatic ? kProbePasses : 0;
  splitsWhenProbed_ = std::numeric_limits<std::size_t>::max();
  if (transform_ == Transform::Log && splits.empty() && !automatic) {
    try {
      logConcave_.emplace(std::move(logDensity), lower, upper, starts);
    } catch (const NotLogConcave& e) {
      reportUnderLog(e);
    }
    splits_.clear();
    return;
  }
  logDensity_ = std::move(logDensity);
  lower_ = lower;
  upper_ = upper;
  splits_ = splits;
  bounds_.assign(1, lower);
  bounds_.insert(bounds_.end(), splits.begin(), splits.end());
  bounds_.push_back(upper);
  x_.clear();
  h_.clear();
  counts_ = SamplerCounts{};
  outward_ = 0;
  hmax_ = -kInf;
  // Splits first: a start within rounding of a split gives way to it.
  std::vector<double> first = splits;
  first.insert(first.end(), starts.begin(), starts.end());
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
  for (std::size_t i = 0; i < first.size(); ++i) {
    const double h = evaluate(first[i]);
    if (!std::isfinite(h)) {
      std::ostringstream m;
      m << (i < splits.size() ? "splits" : "starts") << ": logDensity is -inf at x = " << detail::number(first[i]);
      throw std::invalid_argument(m.str());
    }
    insert(first[i], h);
  }
  if (unit > 0 && !starts.empty()) {
    for (double x : {starts.front() - unit, starts.front() + unit}) {
      if (!(x > lower_ && x < upper_)) continue;
      // A probe where f = 0 says nothing the build cannot find itself.
      const double h = evaluate(x);
      if (std::isfinite(h)) insert(x, h);
    }
  }
  if (automatic) scanGrid();
  build();
}

void TConcaveSampler::scanGrid() {
  for (std::size_t k = 0; k < scan_.points; ++k) {
    const double x = scan_.from + (scan_.to - scan_.from) * (static_cast<double>(k) /
                                                           static_cast<double>(scan_.points - 1));
    if (!(x > lower_ && x < upper_)) continue;
    // Where f = 0 the build finds the support's end itself.
    const double h = evaluate(x);
    if (std::isfinite(h)) insert(x, h);
  }
}

void TConcaveSampler::setScan(double from, double to, std::size_t points) {
  if (!automatic_)
    throw std::logic_error("setScan: the scan serves split points found from the evaluations (Splits::Automatic)");
  if (!std::isfinite(from) || !std::isfinite(to) || !(from < to))
    throw std::invalid_argument("setScan: from, to: need finite from < to");
  if (points == 1) throw std::invalid_argument("setScan: points: need 0 (no scan) or at least 2");
  if (points > kMaxScan) throw std::invalid_argument("setScan: points: at most 1000000");
  TConcaveSampler next(*this);
  next.scan_ = {from, to, points};
  next.scanGrid();
  next.probePasses_ = kProbePasses;
  next.splitsWhenProbed_ = std::numeric_limits<std::size_t>::max();
  next.build();
  *this = std::move(next);
}

void TConcaveSampler::giveUp() const {
  std::ostringstream m;
  m << "TConcaveSampler: no candidate accepted in " << kMaxTries << " tries with " << x_.size()
    << " points; the hat holds next to none of the density";
  throw std::runtime_error(m.str());
}

void TConcaveSampler::reportUnderLog(const NotLogConcave& e) {
  const std::string what = std::string("density is not T-concave under T = log f (") + e.what() + ")";
  if (!e.hasPoints()) throw NotLogConcave(what, e.reason());
  throw NotLogConcave(what, e.points()[0], e.points()[1], e.points()[2]);
}

std::size_t TConcaveSampler::points() const {
  return logConcave_ ? logConcave_->points() : x_.size();
}
std::size_t TConcaveSampler::evaluations() const {
  return static_cast<std::size_t>(counts().evaluations);
}
const SamplerCounts& TConcaveSampler::counts() const {
  return logConcave_ ? logConcave_->counts() : counts_;
}
std::vector<double> TConcaveSampler::evaluatedPoints() const {
  return logConcave_ ? logConcave_->envelope().x : x_;
}
std::vector<double> TConcaveSampler::evaluatedLogDensities() const {
  return logConcave_ ? logConcave_->envelope().h : h_;
}
double TConcaveSampler::lowerLimit() const { return logConcave_ ? logConcave_->lowerLimit() : lower_; }
double TConcaveSampler::upperLimit() const { return logConcave_ ? logConcave_->upperLimit() : upper_; }
double TConcaveSampler::logHatArea() const {
  return logConcave_ ? logConcave_->logHatArea() : hmax_ + std::log(hatArea_);
}
double TConcaveSampler::logSqueezeArea() const {
  return logConcave_ ? logConcave_->logSqueezeArea() : hmax_ + std::log(squeezeArea_);
}

double TConcaveSampler::evaluate(double x) {
  ++counts_.evaluations;
  const double h = logDensity_(x);
  if (std::isnan(h) || h == kInf) {
    std::ostringstream m;
    m.precision(17);
    m << "logDensity: value " << detail::number(h) << " at x = " << detail::number(x);
    throw std::invalid_argument(m.str());
  }
  return h;
}

bool TConcaveSampler::insert(double x, double h) {
  const auto it = std::lower_bound(x_.begin(), x_.end(), x);
  if (it != x_.end() && *it - x <= gapAt(x)) return false;
  if (it != x_.begin() && x - *(it - 1) <= gapAt(x)) return false;
  const auto i = it - x_.begin();
  x_.insert(it, x);
  h_.insert(h_.begin() + i, h);
  hmax_ = std::max(hmax_, h);
  return true;
}

void TConcaveSampler::build() {
  try {
    refine();
  } catch (...) {
    refused_ = std::current_exception();
    throw;
  }
}

void TConcaveSampler::refine() {
  bracketed_ = false;
  convexSteps_ = 0;
  // Every piece may need a few steps of its own (found split points count
  // from when they are found).
  std::size_t step = 0;
  for (; step < kMaxBuildSteps + 2 * splits_.size(); ++step) {
    if (tryBuild() && !(automatic_ && probeForModes())) return;
  }
  std::ostringstream m;
  m << "no finite hat under " << transformName(transform_) << " after " << step
    << " steps of refinement: " << lastWhy_;
  throw NotLogConcave(m.str());
}

// Brackets the mode from the points and (x, h), if h is finite, and keeps
// the points that found it (the far ones drop out of the next build).
// Returns false: the envelope is not built yet.
bool TConcaveSampler::bracketMode(double x, double h) {
  bracketed_ = true;
  std::vector<detail::Evaluated> known(x_.size());
  for (std::size_t i = 0; i < x_.size(); ++i) known[i] = {x_[i], h_[i]};
  if (std::isfinite(h)) {
    const auto at = std::lower_bound(x_.begin(), x_.end(), x);
    known.insert(known.begin() + (at - x_.begin()), {x, h});
  }
  auto found = detail::bracketMode([this](double at) { return evaluate(at); }, lower_, upper_, known,
                                   kBracketDrop);
  for (const detail::Evaluated& p : found)
    if (std::isfinite(p.h)) insert(p.x, p.h);
  // Where f = 0 beyond the points the support ends: the innermost zeros.
  std::sort(found.begin(), found.end(), [](const auto& p, const auto& q) { return p.x < q.x; });
  for (const detail::Evaluated& p : found)
    if (p.h == -kInf && p.x > lower_ && p.x < upper_) zeroAt(p.x);
  return false;
}

// Evaluates near x and keeps the point; where T(f) is not finite there (too
// far out, or f = 0) moves halfway back to the nearest point first. A point
// within rounding of another gives way to the middle of the widest gap.
// Returns false: the envelope is not built yet.
bool TConcaveSampler::addNear(double x, double fallbackL, double fallbackR, const char* why) {
  lastWhy_ = why;
  const double lo = std::nextafter(lower_, upper_), hi = std::nextafter(upper_, lower_);
  for (int tries = 0; tries < 64; ++tries) {
    x = std::min(std::max(x, lo), hi);
    const double h = evaluate(x);
    if (h == -kInf && zeroAt(x)) return false;
    if (std::isfinite(detail::toT(transform_, h - std::max(hmax_, h)))) {
      if (insert(x, h)) return false;
      break;
    }
    // T(f) overflows at x: the points are spread far wider than the density.
    if (!bracketed_) return bracketMode(x, h);
    const auto it = std::lower_bound(x_.begin(), x_.end(), x);
    const double near = it == x_.end() ? x_.back()
                        : it == x_.begin() ? x_.front()
                        : (x - *(it - 1) < *it - x ? *(it - 1) : *it);
    x = 0.5 * (x + near);
  }
  if (std::isfinite(fallbackL) && std::isfinite(fallbackR) && fallbackR - fallbackL > 4 * gapAt(fallbackL)) {
    const double mid = 0.5 * (fallbackL + fallbackR);
    const double h = evaluate(mid);
    if (std::isfinite(h) && insert(mid, h)) return false;
  }
  std::size_t widest = 0;
  for (std::size_t i = 1; i + 1 < x_.size(); ++i)
    if (x_[i + 1] - x_[i] > x_[widest + 1] - x_[widest]) widest = i;
  if (x_.size() > 1) {
    const double mid = 0.5 * (x_[widest] + x_[widest + 1]);
    const double h = evaluate(mid);
    if (std::isfinite(h)) insert(mid, h);
  }
  return false;
}

bool TConcaveSampler::want(double x, double fallbackL, double fallbackR, const char* why) {
  wanted_.push_back({x, fallbackL, fallbackR, why, false});
  return false;
}

void TConcaveSampler::addWanted() {
  for (const Wanted& w : wanted_) {
    if (!w.end) {
      addNear(w.x, w.fallbackL, w.fallbackR, w.why);
      continue;
    }
    const double h = evaluate(w.x);
    if (!std::isfinite(h)) {
      std::ostringstream m;
      m << "logDensity: -inf at x = " << detail::number(w.x) << ", the end of a piece where T(f) is convex";
      throw std::invalid_argument(m.str());
    }
    const auto it = std::lower_bound(x_.begin(), x_.end(), w.x);
    const auto near = it != x_.end() && *it - w.x <= gapAt(w.x) ? it
                      : it != x_.begin() && w.x - *(it - 1) <= gapAt(w.x) ? it - 1
                                                                           : x_.end();
    if (near != x_.end()) {
      // A point within rounding of the end gives way to it.
      *near = w.x;
      h_[near - x_.begin()] = h;
      hmax_ = std::max(hmax_, h);
    } else {
      insert(w.x, h);
    }
  }
}

// How far to step outwards from x: the points' span, at least doubling with
// every step of one build, so that a start far from the mode gets there fast.
double TConcaveSampler::stepOut(double x) {
  const double span = std::max(x_.back() - x_.front(), std::max(1.0, 1e-3 * std::fabs(x)));
  outward_ = std::max(span, 2 * outward_);
  return outward_;
}

// The split finder reads the points by the same rule.
int TConcaveSampler::secondDifferenceSign(std::size_t i) const { return detail::bendSign(x_, t_, err_, i); }

std::string TConcaveSampler::triple(std::size_t i) const {
  std::ostringstream m;
  m.precision(17);
  m << "T(f/max f seen) at x = " << detail::number(x_[i]) << ", " << detail::number(x_[i + 1]) << ", "
    << detail::number(x_[i + 2]) << " is " << detail::number(t_[i]) << ", " << detail::number(t_[i + 1]) << ", "
    << detail::number(t_[i + 2]);
  return m.str();
}

// The three points whose middle lies below the chord in T lie so in h too
// (T is a concave function of h): a program can show them as the proof.
void TConcaveSampler::refuse(const std::string& why, std::size_t i) const {
  throw NotLogConcave(why, {x_[i], h_[i]}, {x_[i + 1], h_[i + 1]}, {x_[i + 2], h_[i + 2]});
}

// A piece is concave unless its points prove it convex; one that shows both
// is reported, as is a convex one reaching an infinite end. Without split
// points the support is one piece, and a convex proof on an unbounded
// support is the plain report that the density is not T-concave.
TConcaveSampler::Shape TConcaveSampler::classify(std::size_t a, std::size_t b,
                                                 std::size_t segment) const {
  std::size_t concaveAt = b, convexAt = b;
  for (std::size_t i = a; i + 2 <= b; ++i) {
    const int sign = secondDifferenceSign(i);
    if (sign < 0 && concaveAt == b) concaveAt = i;
    if (sign > 0 && convexAt == b) convexAt = i;
  }
  if (convexAt == b) return Shape::Concave;
  const double lo = bounds_[segment], hi = bounds_[segment + 1];
  const bool unbounded = !std::isfinite(lo) || !std::isfinite(hi);
  if (splits_.empty() && (unbounded || concaveAt != b)) {
    refuse(std::string("density is not T-concave under ") + transformName(transform_) + ": " +
               triple(convexAt) + " (the middle point lies below the chord)",
           convexAt);
  }
  if (concaveAt != b || unbounded) {
    std::ostringstream m;
    m.precision(17);
    m << "T(f) under " << transformName(transform_) << " on the piece [" << detail::number(lo) << ", " << detail::number(hi) << "] ";
    if (concaveAt != b)
      m << "is neither concave nor convex: " << triple(concaveAt) << " (concave) and "
        << triple(convexAt) << " (convex); a split point is missing";
    else
      m << "is convex (" << triple(convexAt)
        << "), and a convex piece cannot reach an infinite end";
    refuse(m.str(), convexAt);
  }
  return Shape::Convex;
}

// Automatic splits, before a piece is classified: a change of shape among
// its points gets a split inside it (narrowed by a few evaluations); a piece
// that is convex towards an infinite end steps further out, where T(f) may
// turn concave beyond a mode not seen yet. Returns false when it added
// points or a split (the envelope is not built yet); true leaves the piece
// to classify(), which reports what cannot be sampled.
bool TConcaveSampler::settleShape(std::size_t a, std::size_t b, std::size_t segment) {
  if (found_ >= kMaxFound) return true;
  // The piece's own points: a split never lands outside it.
  const std::vector<double> x(x_.begin() + a, x_.begin() + b + 1), t(t_.begin() + a, t_.begin() + b + 1),
      err(err_.begin() + a, err_.begin() + b + 1);
  if (const auto change = detail::firstBendChange(x, t, err, 0, x.size() - 1)) {
    const std::vector<double> h(h_.begin() + a, h_.begin() + b + 1);
    std::vector<detail::Evaluated> added;
    const double at = detail::locateSplit(transform_, x, h, hmax_, *change,
                                          [this](double z) { return evaluate(z); }, added);
    for (const detail::Evaluated& p : added)
      if (std::isfinite(p.h)) insert(p.x, p.h);
    const auto it = std::lower_bound(splits_.begin(), splits_.end(), at);
    if (!(at > bounds_[segment] && at < bounds_[segment + 1]) || (it != splits_.end() && *it == at))
      return true;
    splits_.insert(it, at);
    bounds_.insert(std::upper_bound(bounds_.begin(), bounds_.end() - 1, at), at);
    ++found_;
    lastWhy_ = "T(f) changes between concave and convex";
    return false;
  }
  const double lo = bounds_[segment], hi = bounds_[segment + 1];
  if ((std::isfinite(lo) && std::isfinite(hi)) || convexSteps_ >= kMaxConvexSteps) return true;
  bool convex = false;
  for (std::size_t i = a; i + 2 <= b; ++i) convex = convex || secondDifferenceSign(i) > 0;
  if (!convex) return true;
  ++convexSteps_;
  if (!std::isfinite(lo))
    return addNear(x_[a] - stepOut(x_[a]), -kInf, kInf, "T(f) is convex towards -infinity");
  return addNear(x_[b] + stepOut(x_[b]), -kInf, kInf, "T(f) is convex towards +infinity");
}

// After a build with automatic splits from reset(), warmReset() or setScan():
// evaluations where a mode the points have not seen could hide. In the
// middle of each gap between points whose share of the hat's mass matters
// and where the hat stands far above the squeeze (a factor e^kLoose), the
// gap is much wider than a neighbour, or the hat's mass is large; and, after
// a pass that found new splits, in each tail at the hat's 1/8 quantile.
// Returns true when it added points (the envelope is to be built again).
bool TConcaveSampler::probeForModes() {
  if (probePasses_ == 0) return false;
  --probePasses_;
  struct Gap {
    double l, r, mass = 0, looseMass = 0;
  };
  std::vector<Gap> gaps;
  for (std::size_t i = 0; i + 1 < x_.size(); ++i) gaps.push_back({x_[i], x_[i + 1]});
  for (const Piece& p : pieces_) {
    if (!std::isfinite(p.l) || !std::isfinite(p.r) || gaps.empty()) continue;
    const std::size_t g = std::min<std::size_t>(
        std::upper_bound(x_.begin(), x_.end(), 0.5 * (p.l + p.r)) - x_.begin() - 1, gaps.size() - 1);
    double loose = kInf;
    if (p.hasSqueeze) {
      loose = 0;
      for (double e : {p.l, p.r}) {
        const double hat = p.hat.at(e), squeeze = p.squeeze.at(e);
        loose = std::max(loose, transform_ == Transform::Log ? hat - squeeze
                                : hat < 0                    ? 2 * std::log(squeeze / hat)
                                                             : kInf);
      }
    }
    gaps[g].mass += p.area;
    if (loose > kLoose) gaps[g].looseMass += p.area;
  }
  std::vector<double> at;
  for (std::size_t g = 0; g < gaps.size(); ++g) {
    const Gap& gap = gaps[g];
    const double width = gap.r - gap.l;
    const bool wide = (g > 0 && width > kWide * (gaps[g - 1].r - gaps[g - 1].l)) ||
                      (g + 1 < gaps.size() && width > kWide * (gaps[g + 1].r - gaps[g + 1].l));
    if (gap.looseMass > kLooseMass * hatArea_ || gap.mass > kHeavyMass * hatArea_ ||
        (wide && gap.mass > kLooseMass * hatArea_))
      at.push_back(0.5 * (gap.l + gap.r));
  }
  if (splits_.size() != splitsWhenProbed_) {
    const bool first = splitsWhenProbed_ == std::numeric_limits<std::size_t>::max();
    splitsWhenProbed_ = splits_.size();
    const double span = x_.back() - x_.front();
    for (const bool left : {true, false}) {
      const Piece& p = left ? pieces_.front() : pieces_.back();
      if (std::isfinite(left ? p.l : p.r)) continue;
      for (double x : detail::tailProbes(transform_, p.hat, left ? p.r : p.l, {1.0 / 8})) at.push_back(x);
      // A log hat's tail falls as fast as the mode it came from: its
      // quantiles stay near the points, and a second mode a few widths away
      // is never probed. The first pass also looks as far beyond the points
      // as they reach, and three times as far.
      if (first && span > 0) {
        for (double k : {1.0, 3.0}) at.push_back(left ? x_.front() - k * span : x_.back() + k * span);
      }
    }
  }
  bool added = false;
  for (double x : at) {
    if (!(x > lower_ && x < upper_)) continue;
    const double h = evaluate(x);
    if (h == -kInf && (x < x_.front() || x > x_.back()))
      added = zeroAt(x) || added;
    else if (std::isfinite(h))
      added = insert(x, h) || added;
  }
  return added;
}

// The secant through points i < j, extended beyond `anchor` (i: leftwards,
// j: rightwards) and moved by what rounding of t can make of it there: pad +1
// raises it (a hat), -1 lowers it (a squeeze).
Line TConcaveSampler::secant(std::size_t i, std::size_t j, std::size_t anchor, double pad) const {
  const double d = x_[j] - x_[i];
  const double m = (t_[j] - t_[i]) / d;
  const double side = anchor == i ? -1.0 : 1.0;
  return Line{x_[anchor], t_[anchor] + pad * err_[anchor], m + pad * side * (err_[i] + err_[j]) / d};
}

bool TConcaveSampler::buildConcave(std::size_t a, std::size_t b, double lo, double hi) {
  const Line left = secant(a, a + 1, a, 1), right = secant(b - 1, b, b, 1);
  if (!std::isfinite(lo) && !(left.slope > 0))
    return want(x_[a] - stepOut(x_[a]), -kInf, kInf, "T(f) does not descend towards -infinity");
  if (!std::isfinite(hi) && !(right.slope < 0))
    return want(x_[b] + stepOut(x_[b]), -kInf, kInf, "T(f) does not descend towards +infinity");
  if (x_[a] > lo) pieces_.push_back({lo, x_[a], left, {}, false, 0});
  for (std::size_t i = a; i < b; ++i) {
    const double d = x_[i + 1] - x_[i];
    const Line chord{x_[i], t_[i] - std::max(err_[i], err_[i + 1]), (t_[i + 1] - t_[i]) / d};
    const bool hasL = i > a, hasR = i + 2 <= b;
    const Line fromLeft = hasL ? secant(i - 1, i, i, 1) : Line{};
    const Line fromRight = hasR ? secant(i + 1, i + 2, i + 1, 1) : Line{};
    if (hasL && hasR) {
      // Both bound T(f) on the whole interval; the lower of the two up to where they cross.
      const double gap = fromLeft.slope - fromRight.slope;
      double z = gap > 0 ? x_[i] + (fromRight.at(x_[i]) - fromLeft.at(x_[i])) / gap : 0.5 * (x_[i] + x_[i + 1]);
      if (!std::isfinite(z)) z = 0.5 * (x_[i] + x_[i + 1]);
      z = std::min(std::max(z, x_[i]), x_[i + 1]);
      pieces_.push_back({x_[i], z, fromLeft, chord, true, 0});
      pieces_.push_back({z, x_[i + 1], fromRight, chord, true, 0});
    } else {
      pieces_.push_back({x_[i], x_[i + 1], hasL ? fromLeft : fromRight, chord, true, 0});
    }
  }
  if (x_[b] < hi) pieces_.push_back({x_[b], hi, right, {}, false, 0});
  return true;
}

void TConcaveSampler::buildConvex(std::size_t a, std::size_t b) {
  for (std::size_t i = a; i < b; ++i) {
    const double d = x_[i + 1] - x_[i];
    const Line chord{x_[i], t_[i] + std::max(err_[i], err_[i + 1]), (t_[i + 1] - t_[i]) / d};
    const bool hasL = i > a, hasR = i + 2 <= b;
    const Line fromLeft = hasL ? secant(i - 1, i, i, -1) : Line{};
    const Line fromRight = hasR ? secant(i + 1, i + 2, i + 1, -1) : Line{};
    if (hasL && hasR) {
      // Both lie below T(f); the higher of the two on each side of their crossing.
      const double gap = fromRight.slope - fromLeft.slope;
      double z = gap > 0 ? x_[i] + (fromLeft.at(x_[i]) - fromRight.at(x_[i])) / gap : x_[i + 1];
      if (!std::isfinite(z)) z = x_[i + 1];
      z = std::min(std::max(z, x_[i]), x_[i + 1]);
      pieces_.push_back({x_[i], z, chord, fromLeft, true, 0});
      pieces_.push_back({z, x_[i + 1], chord, fromRight, true, 0});
    } else {
      pieces_.push_back({x_[i], x_[i + 1], chord, hasL ? fromLeft : fromRight, hasL || hasR, 0});
    }
  }
}

// Builds hat and squeeze from the points, piece by piece; where the hat is
// not finite yet, evaluates one more point where it helps and returns false.
bool TConcaveSampler::tryBuild() {
  // Points so far below the highest that T(f) overflows say nothing; the
  // hull of the others is a hull still. Split points stay. They also say
  // that the points are spread far wider than the density: its mode is
  // bracketed first, once a build, whatever the scale.
  const bool overflows = std::any_of(h_.begin(), h_.end(), [this](double h) {
    return !std::isfinite(detail::toT(transform_, h - hmax_));
  });
  if (overflows && !bracketed_) return bracketMode(0, -kInf);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < x_.size(); ++i) {
    if (std::isfinite(detail::toT(transform_, h_[i] - hmax_)) ||
        std::binary_search(splits_.begin(), splits_.end(), x_[i])) {
      x_[kept] = x_[i];
      h_[kept++] = h_[i];
    }
  }
  x_.resize(kept);
  h_.resize(kept);
  const std::size_t n = x_.size();
  t_.resize(n);
  err_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    t_[i] = detail::toT(transform_, h_[i] - hmax_);
    const double rounding = 2.3e-16 * (4 + std::fabs(h_[i]) + std::fabs(hmax_));
    err_[i] = transform_ == Transform::Log ? rounding : rounding * std::fabs(t_[i]);
  }
  dropOverflowingSecants();
  pieces_.clear();
  wanted_.clear();
  for (std::size_t j = 0; j + 1 < bounds_.size(); ++j) {
    const double lo = bounds_[j], hi = bounds_[j + 1];
    const std::size_t a = std::lower_bound(x_.begin(), x_.end(), lo) - x_.begin();
    const std::size_t b = (std::upper_bound(x_.begin(), x_.end(), hi) - x_.begin()) - 1;
    if (b < a + 2) {
      // Too few points to tell the shape: outwards, or into the wider gap.
      const bool two = b == a + 1;
      const double slope = two ? (t_[b] - t_[a]) / (x_[b] - x_[a]) : 0;
      if (!std::isfinite(lo) && (!two || !(slope > 0)))
        want(x_[a] - stepOut(x_[a]), -kInf, kInf, "T(f) does not descend towards -infinity");
      else if (!std::isfinite(hi) && (!two || !(slope < 0)))
        want(x_[b] + stepOut(x_[b]), -kInf, kInf, "T(f) does not descend towards +infinity");
      else if (two)
        want(0.5 * (x_[a] + x_[b]), x_[a], x_[b], "too few points");
      else if (x_[a] - lo > hi - x_[b])
        want(0.5 * (lo + x_[a]), -kInf, kInf, "too few points");
      else
        want(0.5 * (x_[b] + hi), -kInf, kInf, "too few points");
      continue;
    }
    if (automatic_ && !settleShape(a, b, j)) return false;
    if (classify(a, b, j) == Shape::Convex) {
      // A convex piece's hat is its chords: it needs f at the piece's ends.
      const bool ends = x_[a] == lo && x_[b] == hi;
      if (x_[a] != lo) wanted_.push_back({lo, lo, lo, "", true});
      if (x_[b] != hi) wanted_.push_back({hi, hi, hi, "", true});
      if (ends) buildConvex(a, b);
    } else {
      buildConcave(a, b, lo, hi);
    }
  }
  // Every piece that needs points gets them in one pass: with many split
  // points a build costs a pass over the points, not one per piece.
  if (!wanted_.empty()) {
    addWanted();
    return false;
  }
  return finishTable();
}

// A point whose T(f) is finite can still lie so far below a close neighbour
// (f some e^-1400 of the top, a hair away) that the secant between them
// overflows, and an infinite slope makes a hat that no further point
// lowers. Such a point says nothing either: the deeper of the two goes,
// unless it is a split point.
void TConcaveSampler::dropOverflowingSecants() {
  for (std::size_t i = 0; i + 1 < x_.size();) {
    const double d = x_[i + 1] - x_[i];
    if (std::isfinite((t_[i + 1] - t_[i]) / d) && std::isfinite((err_[i] + err_[i + 1]) / d)) {
      ++i;
      continue;
    }
    const std::size_t deeper = h_[i] < h_[i + 1] ? i : i + 1;
    if (std::binary_search(splits_.begin(), splits_.end(), x_[deeper])) {
      ++i;
      continue;
    }
    for (std::vector<double>* v : {&x_, &h_, &t_, &err_}) v->erase(v->begin() + deeper);
    if (i > 0) --i;
  }
}

bool TConcaveSampler::finishTable() {
  if (transform_ == Transform::InverseSqrt) {
    // 1/t^2 is a density only where the hat line stays below 0. Where it is
    // highest the mode is near: evaluate there if that is the crossing of
    // two secants, else in the middle of its piece.
    const Piece* top = nullptr;
    double topEnd = 0, topValue = 0;
    for (const Piece& p : pieces_) {
      for (double e : {p.l, p.r}) {
        const double value = p.hat.at(e);
        if (std::isfinite(e) && !(value < topValue)) {
          top = &p;
          topEnd = e;
          topValue = std::isnan(value) ? kInf : value;
        }
      }
    }
    if (top) {
      const Piece& p = *top;
      const bool isPoint = std::binary_search(x_.begin(), x_.end(), topEnd);
      const bool isBound = topEnd == bounds_.front() || topEnd == bounds_.back();
      const double mid = std::isfinite(p.l) && std::isfinite(p.r) ? 0.5 * (p.l + p.r) : topEnd;
      double at = isPoint || isBound ? mid : topEnd;
      // Kept to the middle third of the gap between points, so that a crossing
      // next to a point, far from the mode, still shrinks the gap by a third.
      const auto right = std::upper_bound(x_.begin(), x_.end(), at);
      if (right != x_.begin() && right != x_.end()) {
        const double l = *(right - 1), w = *right - l;
        at = std::min(std::max(at, l + w / 3), *right - w / 3);
      }
      return addNear(at, p.l, p.r, "the hat reaches 0 under -1/sqrt(f)");
    }
  }
  cumulative_.resize(pieces_.size());
  double total = 0, squeeze = 0;
  for (std::size_t k = 0; k < pieces_.size(); ++k) {
    Piece& p = pieces_[k];
    p.area = detail::lineArea(transform_, p.hat, p.l, p.r);
    if (!(p.area >= 0) || !std::isfinite(p.area)) {
      const double x = !std::isfinite(p.l)   ? p.r - stepOut(p.r)
                       : !std::isfinite(p.r) ? p.l + stepOut(p.l)
                                             : 0.5 * (p.l + p.r);
      return addNear(x, p.l, p.r, "a piece of the hat has no finite area");
    }
    if (p.hasSqueeze) {
      const double s = detail::lineArea(transform_, p.squeeze, p.l, p.r);
      if (s >= 0 && std::isfinite(s) && s <= p.area * (1 + 1e-12))
        squeeze += s;
      else
        p.hasSqueeze = false;
    }
    total += p.area;
    cumulative_[k] = total;
  }
  if (!(total > 0) || !std::isfinite(total))
    return addNear(x_.front() - stepOut(x_.front()), -kInf, kInf, "the hat has no finite area");
  // A near-flat outer secant gives a tail holding most of the hat: step out
  // first, rather than drawing far candidates one by one.
  if (!std::isfinite(pieces_.front().l) && pieces_.front().area > 0.5 * total)
    return addNear(x_.front() - stepOut(x_.front()), -kInf, kInf, "the left tail holds most of the hat");
  if (!std::isfinite(pieces_.back().r) && pieces_.back().area > 0.5 * total)
    return addNear(x_.back() + stepOut(x_.back()), -kInf, kInf, "the right tail holds most of the hat");
  outward_ = 0;
  hatArea_ = total;
  squeezeArea_ = squeeze;
  draws_.resize(pieces_.size());
  for (std::size_t k = 0; k < pieces_.size(); ++k) {
    draws_[k] = drawOf(pieces_[k]);
    draws_[k].before = k == 0 ? 0 : cumulative_[k - 1];
  }
  // Guide table: the first piece whose cumulative area passes each of twice
  // as many equal steps as pieces, so a draw finds its piece in O(1).
  guide_.resize(2 * pieces_.size());
  std::size_t k = 0;
  for (std::size_t g = 0; g < guide_.size(); ++g) {
    const double q = total * static_cast<double>(g) / static_cast<double>(guide_.size());
    while (k + 1 < pieces_.size() && cumulative_[k] <= q) ++k;
    guide_[g] = static_cast<std::uint32_t>(k);
  }
  return true;
}

TConcaveSampler::Draw TConcaveSampler::drawOf(const Piece& p) const {
  const double s = p.hat.slope;
  Draw d{p.l, 0, 0, s, s != 0 ? 1 / s : 0, p.squeeze.anchor, -kInf, p.squeeze.slope};
  if (transform_ == Transform::InverseSqrt) {
    if (!std::isfinite(p.l)) d.anchor = p.r;
    d.start = -p.hat.at(std::isfinite(p.l) ? p.l : p.r);
    if (p.hasSqueeze) d.t = p.squeeze.t;
    return d;
  }
  // From the end where the exponential is largest, so nothing overflows;
  // squeeze minus hat is a line too, anchored there.
  const bool fromRight = s > 0 || !std::isfinite(p.l);
  const double end = fromRight ? p.r : p.l;
  d.start = std::exp(-p.hat.at(end));
  d.anchor = end;
  if (p.hasSqueeze) {
    d.t = p.squeeze.at(end) - p.hat.at(end);
    d.tilt = p.squeeze.slope - s;
  }
  return d;
}

TConcaveSampler::Verdict TConcaveSampler::propose(double u, double v, double& x, double& hat) const {
  const double q = u * hatArea_;
  std::size_t k = guide_[static_cast<std::size_t>(u * static_cast<double>(guide_.size()))];
  const std::size_t last = draws_.size() - 1;
  while (k < last && draws_[k + 1].before <= q) ++k;
  const Draw& p = draws_[k];
  const double a = std::max(q - p.before, 0.0);  // area left of x
  const double s = p.slope;
  // The inversions below give x in the piece up to rounding.
  if (transform_ == Transform::InverseSqrt) {
    // The hat is 1/w^2 with w = -line; w at x follows from the area in closed form.
    double w;
    if (p.l > -kInf) {
      const double shrink = 1 / (1 + a * p.start * s);
      x = p.l + a * p.start * p.start * shrink;
      w = p.start * shrink;
    } else {
      w = p.inverseSlope / a;
      x = p.anchor + (p.start - w) * p.inverseSlope;
    }
    if (!(x > lower_ && x < upper_)) return Verdict::Outside;
    const double ws = p.t + p.tilt * (x - p.anchor);
    if (v * ws * ws <= w * w) return Verdict::Accept;
    hat = 1 / (w * w);
    return Verdict::Evaluate;
  }
  if (p.l == -kInf) {
    x = p.anchor + std::log(a * s * p.start) * p.inverseSlope;
  } else if (s > 0) {
    const double above = std::max((k < last ? draws_[k + 1].before : hatArea_) - q, 0.0);
    x = p.anchor + std::log1p(-above * s * p.start) * p.inverseSlope;
  } else if (s < 0) {
    x = p.l + std::log1p(a * s * p.start) * p.inverseSlope;
  } else {
    x = p.l + a * p.start;
  }
  if (!(x > lower_ && x < upper_)) return Verdict::Outside;
  // v <= exp(d), d = squeeze - hat <= 0; 1 + d <= exp(d) decides most without exp.
  const double d = p.t + p.tilt * (x - p.anchor);
  if (v <= 1 + d || v <= std::exp(d)) return Verdict::Accept;
  hat = std::exp(pieces_[k].hat.at(x));
  return Verdict::Evaluate;
}

// f = 0 at x beyond the outer points: the support ends before x, and its
// limit moves in to x. Between positive values it proves T(f) not concave.
bool TConcaveSampler::zeroAt(double x) {
  if (x < x_.front()) {
    lower_ = bounds_.front() = x;
    return true;
  }
  if (x > x_.back()) {
    upper_ = bounds_.back() = x;
    return true;
  }
  const auto it = std::lower_bound(x_.begin(), x_.end(), x);
  std::ostringstream m;
  m.precision(17);
  m << "density is not T-concave under " << transformName(transform_) << ": it is zero at x = " << detail::number(x)
    << " between positive values at " << detail::number(*(it - 1)) << " and " << detail::number(*it);
  throw NotLogConcave(m.str());
}

TConcaveSampler::Trial TConcaveSampler::trial(double u, double v) {
  if (logConcave_) throw std::logic_error("TConcaveSampler::trial: the log-concave path draws with sample()");
  if (refused_) std::rethrow_exception(refused_);
  double x = 0, hat = 0;
  ++counts_.draws;
  const Verdict verdict = propose(u, v, x, hat);
  if (verdict == Verdict::Outside) ++counts_.rejections;
  if (verdict == Verdict::Accept) ++counts_.squeezeAccepts;
  // Read before decide() refines, which may move the reference hmax_.
  const double logY = std::isfinite(x) ? std::log(v) + logHatAt(x) + hmax_ : -kInf;
  const double logHat = std::isfinite(x) ? logHatAt(x) + hmax_ : kNaN;
  const double logSqueeze = std::isfinite(x) ? logSqueezeAt(x) + hmax_ : kNaN;
  if (verdict == Verdict::Outside) return {Outcome::Outside, x, logY, logHat, logSqueeze, kNaN};
  if (verdict == Verdict::Accept) return {Outcome::SqueezeAccept, x, logY, logHat, logSqueeze, kNaN};
  double h = kNaN;
  const bool accepted = decide(x, v * hat, &h);
  return {accepted ? Outcome::DensityAccept : Outcome::Rejection, x, logY, logHat, logSqueeze, h};
}

const TConcaveSampler::Piece& TConcaveSampler::pieceAt(double x) const {
  const auto after = std::upper_bound(pieces_.begin(), pieces_.end(), x,
                                      [](double at, const Piece& p) { return at < p.l; });
  return after == pieces_.begin() ? pieces_.front() : *(after - 1);
}

// log of the hat at x relative to hmax_, from the piece holding x.
double TConcaveSampler::logHatAt(double x) const {
  const double t = pieceAt(x).hat.at(x);
  if (transform_ == Transform::Log) return t;
  return t < 0 ? -2 * std::log(-t) : kInf;
}

// The same for the squeeze: NaN where the piece has none.
double TConcaveSampler::logSqueezeAt(double x) const {
  const Piece& p = pieceAt(x);
  if (!p.hasSqueeze) return kNaN;
  const double t = p.squeeze.at(x);
  if (transform_ == Transform::Log) return t;
  return t < 0 ? -2 * std::log(-t) : kInf;
}

std::vector<detail::EnvelopePiece> TConcaveSampler::envelopePieces() const {
  std::vector<detail::EnvelopePiece> out;
  if (logConcave_) return out;
  out.reserve(pieces_.size());
  for (const Piece& p : pieces_) out.push_back({p.l, p.r, p.hat, p.hasSqueeze, p.squeeze});
  return out;
}

Envelope TConcaveSampler::envelope() const {
  if (logConcave_) return logConcave_->envelope();
  Envelope out;
  out.x = x_;
  out.h = h_;
  const auto logOf = [this](double t) {
    if (transform_ == Transform::Log) return t + hmax_;
    return t < 0 ? hmax_ - 2 * std::log(-t) : kInf;
  };
  // A line under -1/sqrt(f) is a curve in log units: vertices between the ends.
  const int steps = transform_ == Transform::Log ? 1 : 8;
  const auto trace = [&](const Piece& p, const Line& line, std::vector<double>& xs, std::vector<double>& ys) {
    for (int k = 0; k <= steps; ++k) {
      if (k > 0 && k < steps && !(std::isfinite(p.l) && std::isfinite(p.r))) continue;
      const double x = k == 0 ? p.l : k == steps ? p.r : p.l + (p.r - p.l) * k / steps;
      const double y = std::isfinite(x) ? logOf(line.at(x)) : -kInf;
      if (k == 0 && !xs.empty() && xs.back() == x && ys.back() == y) continue;
      xs.push_back(x);
      ys.push_back(y);
    }
  };
  for (const Piece& p : pieces_) {
    trace(p, p.hat, out.hullX, out.hullY);
    // The squeeze spans the points; where a piece has none it is 0 there.
    if (p.hasSqueeze)
      trace(p, p.squeeze, out.squeezeX, out.squeezeY);
    else if (std::isfinite(p.l) && std::isfinite(p.r))
      trace(p, Line{p.l, -kInf, 0}, out.squeezeX, out.squeezeY);
  }
  return out;
}

bool TConcaveSampler::decide(double x, double y, double* evaluated) {
  const double h = evaluate(x);
  if (evaluated != nullptr) *evaluated = h;
  if (h == -kInf) {
    ++counts_.rejections;
    zeroAt(x);
    build();
    return false;
  }
  const double relative = h - hmax_;
  const bool accept = y <= std::exp(relative);
  ++(accept ? counts_.densityAccepts : counts_.rejections);
  addPoint(x, h);
  return accept;
}

// A point whose T(f) overflows between points with finite T lies below
// their chord, far: the proof that T(f) is not concave there (unless a
// split point lies between, where a convex piece may dip that low).
void TConcaveSampler::addPoint(double x, double h) {
  if (keep(x, h)) build();
}

bool TConcaveSampler::keep(double x, double h) {
  if (std::isfinite(detail::toT(transform_, h - hmax_))) return insert(x, h);
  const auto it = std::lower_bound(x_.begin(), x_.end(), x);
  if (it == x_.begin() || it == x_.end() ||
      std::upper_bound(splits_.begin(), splits_.end(), *(it - 1)) != std::lower_bound(splits_.begin(), splits_.end(), *it))
    return false;
  const std::size_t i = static_cast<std::size_t>(it - x_.begin()) - 1;
  std::ostringstream m;
  m.precision(17);
  m << "density is not T-concave under " << transformName(transform_) << ": log f = " << detail::number(h)
    << " at x = " << detail::number(x) << " lies far below " << detail::number(h_[i]) << " at "
    << detail::number(x_[i]) << " and " << detail::number(h_[i + 1]) << " at " << detail::number(x_[i + 1]);
  refused_ = std::make_exception_ptr(NotLogConcave(m.str(), {x_[i], h_[i]}, {x, h}, {x_[i + 1], h_[i + 1]}));
  std::rethrow_exception(refused_);
}

}  // namespace ars
