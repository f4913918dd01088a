#pragma once
// The library's sampling path, one candidate at a time, for the window: the
// starting points and envelope of StartSearch and HullEnvelope, candidates
// from the window's own random source (so that a lesson or a seed replays),
// and the envelope as lines the window draws. Typed densities (Other
// density, the catalogue, lessons) run here; the six built-in kinds keep the
// bit-exact ARSSampler. Under T = -1/sqrt(f), or with split points, the
// envelope is TConcaveSampler's, stepped through its one-candidate trial.
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "model/stepping_state.h"
#include "sampler/envelope_piece.h"
#include "sampler/hull_envelope.h"
#include "sampler/sampler_counts.h"
#include "sampler/t_concave_sampler.h"
#include "sampler/transformed_line.h"

class UniformRandom;

class EnvelopeStepper {
 public:
  using LogDensity = std::function<double(double)>;
  using HullPoint = ars::detail::HullPoint;
  using EnvelopePiece = ars::detail::EnvelopePiece;

  // Runs the library's search for starting points. Throws
  // std::invalid_argument for a bad support, bad split points, or a value of
  // h NaN or +infinity; ars::NotLogConcave, with its proof where points give
  // one, where the density is refused under the transformation.
  EnvelopeStepper(LogDensity logDensity, double lower, double upper,
                  ars::Transform transform = ars::Transform::Log, std::vector<double> splits = {});

  // One candidate from rnd, decided (by the squeeze alone, or by one
  // evaluation of h), every evaluated point refining the envelope as the
  // library's draws do. Throws what the constructor throws.
  StepResult step(UniformRandom& rnd);
  // Candidates until one is accepted: a dart. std::runtime_error after
  // maxTries candidates (an envelope holding next to none of the density).
  double sample(UniformRandom& rnd);

  // The last candidate and the log height of its dart under the hull.
  bool hasLastDraw() const { return hasLastDraw_; }
  double lastX() const { return lastX_; }
  double lastLogY() const { return lastLogY_; }

  // What decided the last candidate, in the units of h: the hull at x and
  // the squeeze there (NaN on a piece without one), and h(x) where it was
  // evaluated (NaN otherwise).
  struct Decision {
    double hull = 0.0;
    double squeeze = 0.0;
    double logDensity = 0.0;
  };
  const Decision& lastDecision() const { return decision_; }

  ars::Transform transform() const { return transform_; }
  const std::vector<HullPoint>& points() const { return general_ ? generalPoints_ : envelope_.points(); }
  // Lines in T of the density itself (h on the log path).
  std::vector<EnvelopePiece> pieces() const;
  const ars::SamplerCounts& counts() const { return counts_; }
  // The part of the hull's area under the squeeze: the chance that the next
  // candidate needs no evaluation.
  double squeezeShare() const;
  // The envelope's domain: finite ends move in to where h is -infinity.
  double lower() const { return general_ ? general_->lowerLimit() : envelope_.lower(); }
  double upper() const { return general_ ? general_->upperLimit() : envelope_.upper(); }

  // Far more than any density the window can plot needs; a spike narrower
  // than the doubles around it never accepts, and the window must not freeze.
  static constexpr std::size_t maxTries = 100000;
  // Each point rebuilds the hull: past this many (far more than a density
  // the window plots needs) candidates are still decided exactly, against
  // the envelope as it stands, so that a density whose values the doubles
  // cannot resolve (a slope of 1 at 7e15) ends in a report, not a freeze.
  static constexpr std::size_t maxPoints = 1000;

 private:
  double evaluate(double x);
  bool evaluateAndRefine(double x);
  void zeroAt(double x);
  StepResult generalStep(UniformRandom& rnd);
  void syncGeneral();

  LogDensity logDensity_;
  ars::Transform transform_;
  ars::detail::HullEnvelope envelope_;
  // Set under -1/sqrt(f) or with split points; envelope_ then stays empty.
  std::optional<ars::TConcaveSampler> general_;
  std::vector<HullPoint> generalPoints_;
  ars::SamplerCounts counts_;
  bool hasLastDraw_ = false;
  double lastX_ = 0.0;
  double lastLogY_ = 0.0;
  Decision decision_;
};
