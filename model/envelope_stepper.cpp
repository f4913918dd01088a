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
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

EnvelopeStepper::EnvelopeStepper(LogDensity logDensity, double lower, double upper, ars::Transform transform,
                                 std::vector<double> splits)
    : logDensity_(std::move(logDensity)), transform_(transform) {
  if (transform != ars::Transform::Log || !splits.empty()) {
    general_.emplace(logDensity_, lower, upper, transform, splits);
    syncGeneral();
    return;
  }
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
  if (general_) return generalStep(rnd);
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
  decision_.hull = s.top - s.rate * d;
  decision_.squeeze = s.gap0 > -inf ? decision_.hull + s.gap0 + s.gapSlope * d : notANumber;
  decision_.logDensity = notANumber;
  if (u2 <= s.acceptBound || logU <= s.gap0 + s.gapSlope * d) {
    ++counts_.squeezeAccepts;
    return StepResult::SqueezeAccept;
  }
  const bool accepted = evaluateAndRefine(x);
  ++(accepted ? counts_.densityAccepts : counts_.rejections);
  return accepted ? StepResult::DensityAccept : StepResult::Rejection;
}

// The same step on TConcaveSampler's hat and squeeze: the same two uniforms,
// a candidate outside the support rejected unevaluated.
StepResult EnvelopeStepper::generalStep(UniformRandom& rnd) {
  ++counts_.draws;
  const double u1 = rnd.next();
  const double u2 = rnd.next();
  ars::TConcaveSampler::Trial trial{};
  try {
    trial = general_->trial(u1, u2);
  } catch (...) {
    syncGeneral();  // the evaluation that proved the refusal counts
    throw;
  }
  syncGeneral();
  hasLastDraw_ = true;
  lastX_ = trial.x;
  lastLogY_ = trial.logY;
  decision_ = Decision{trial.logHat, trial.logSqueeze, trial.logDensity};
  using Outcome = ars::TConcaveSampler::Outcome;
  switch (trial.outcome) {
    case Outcome::SqueezeAccept:
      ++counts_.squeezeAccepts;
      return StepResult::SqueezeAccept;
    case Outcome::DensityAccept:
      ++counts_.densityAccepts;
      return StepResult::DensityAccept;
    case Outcome::Rejection:
    case Outcome::Outside:
      break;
  }
  ++counts_.rejections;
  return StepResult::Rejection;
}

void EnvelopeStepper::syncGeneral() {
  counts_.evaluations = general_->evaluations();
  const std::vector<double> x = general_->evaluatedPoints();
  const std::vector<double> h = general_->evaluatedLogDensities();
  generalPoints_.resize(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) generalPoints_[i] = HullPoint{x[i], h[i]};
}

double EnvelopeStepper::squeezeShare() const {
  if (!general_) return envelope_.ratio();
  return std::exp(general_->logSqueezeArea() - general_->logHatArea());
}

// The density at the candidate x decides; the point refines the envelope,
// accepted or not, as in the library's draws.
bool EnvelopeStepper::evaluateAndRefine(double x) {
  // A candidate off the doubles, or on an end of the support itself, is drawn
  // again; neither can hold mass.
  if (!std::isfinite(x) || x == envelope_.lower() || x == envelope_.upper()) return false;
  const double h = evaluate(x);
  decision_.logDensity = h;
  if (h == -inf) {
    zeroAt(x);
    return false;
  }
  if (envelope_.points().size() < maxPoints) envelope_.insert(x, h);
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
  if (general_) {
    // The sampler's lines are in T(f / exp(ref)): shifted (log) or scaled
    // (-1/sqrt(f) = -exp(-h/2)) into T of f itself, still straight.
    std::vector<EnvelopePiece> out = general_->envelopePieces();
    const double ref = general_->referenceLog();
    const bool log = transform_ == ars::Transform::Log;
    const double scale = std::exp(-ref / 2);
    for (EnvelopePiece& p : out) {
      for (ars::detail::Line* line : {&p.hull, &p.squeeze}) {
        if (log) {
          line->t += ref;
        } else {
          line->t *= scale;
          line->slope *= scale;
        }
      }
    }
    return out;
  }
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
