#include "model/envelope_stepper.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "sampler/argument_checks.h"
#include "sampler/start_search.h"
#include "sampler/uniform_random.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

}  // namespace

EnvelopeStepper::EnvelopeStepper(LogDensity logDensity, double lower, double upper, ars::Transform transform,
                                 std::vector<double> splits)
    : logDensity_(std::move(logDensity)), transform_(transform) {
  // The window draws and steps log-concave envelopes for now; the shape of
  // the call is the one heavy tails and mixtures will take.
  if (transform != ars::Transform::Log) {
    throw std::invalid_argument("the window steps densities under T = log f only, not T = -1/sqrt(f)");
  }
  if (!splits.empty()) throw std::invalid_argument("the window steps densities without split points only");
  std::vector<HullPoint> points;
  const ars::detail::StartSearch search(logDensity_, lower, upper, {}, points, envelope_);
  counts_.evaluations = search.evaluations();
}

double EnvelopeStepper::evaluate(double x) {
  ++counts_.evaluations;
  return ars::detail::checkedLogDensity(logDensity_(x), x);
}

// h is -infinity at x: beyond the outer points the limit moves in to x;
// between them the density vanishes between positive values.
void EnvelopeStepper::zeroAt(double x) {
  const std::vector<HullPoint>& p = envelope_.points();
  if (x > p.front().x && x < p.back().x) {
    throw ars::NotLogConcave("not log-concave: the density is zero at x = " + ars::detail::number(x) +
                             " between positive values");
  }
  envelope_.cut(x);
}

StepResult EnvelopeStepper::step(UniformRandom& rnd) {
  envelope_.refresh();
  ++counts_.draws;
  const double u1 = rnd.next();
  const double u2 = rnd.next();
  const double t = u1 * envelope_.total();
  const std::size_t i = envelope_.choose(t);
  const ars::detail::HullSegment& s = envelope_.segments()[i];
  const double d = envelope_.invert(i, t - envelope_.areaBefore(i));
  const double x = s.anchor + s.dir * d;
  const double logU = std::log(u2);
  hasLastDraw_ = true;
  lastX_ = x;
  lastLogY_ = s.top - s.rate * d + logU;
  if (u2 <= s.acceptBound || logU <= s.gap0 + s.gapSlope * d) {
    ++counts_.squeezeAccepts;
    return StepResult::SqueezeAccept;
  }
  const bool accepted = evaluateAndRefine(x);
  ++(accepted ? counts_.densityAccepts : counts_.rejections);
  return accepted ? StepResult::DensityAccept : StepResult::Rejection;
}

// The density at the candidate x decides; the point refines the envelope,
// accepted or not, as in the library's draws.
bool EnvelopeStepper::evaluateAndRefine(double x) {
  // A candidate off the doubles, or on an end of the support itself, is drawn
  // again; neither can hold mass.
  if (!std::isfinite(x) || x == envelope_.lower() || x == envelope_.upper()) return false;
  const double h = evaluate(x);
  if (h == -inf) {
    zeroAt(x);
    return false;
  }
  envelope_.insert(x, h);
  return lastLogY_ <= h;
}

double EnvelopeStepper::sample(UniformRandom& rnd) {
  for (std::size_t tries = 0; tries < maxTries; ++tries) {
    if (step(rnd) != StepResult::Rejection) return lastX_;
  }
  throw std::runtime_error("no candidate accepted in " + std::to_string(maxTries) +
                           " tries: the envelope holds next to none of the density");
}

std::vector<EnvelopeStepper::EnvelopePiece> EnvelopeStepper::pieces() const {
  const std::vector<HullPoint>& p = envelope_.points();
  std::vector<EnvelopePiece> out;
  out.reserve(envelope_.segments().size());
  std::size_t j = 0;  // the chord under the piece runs from point j to j + 1
  for (const ars::detail::HullSegment& s : envelope_.segments()) {
    EnvelopePiece piece;
    piece.left = s.left;
    piece.right = s.right;
    piece.hull = ars::detail::Line{s.anchor, s.top, -s.rate * s.dir};
    if (s.left >= p.front().x && s.right <= p.back().x) {
      while (j + 2 < p.size() && p[j + 1].x <= s.left) ++j;
      piece.hasSqueeze = true;
      piece.squeeze = ars::detail::Line{p[j].x, p[j].h, ars::detail::chordSlope(p[j], p[j + 1])};
    }
    out.push_back(piece);
  }
  return out;
}
