#pragma once
// ars::TConcaveSampler: exact, derivative-free rejection sampling for
// densities that are concave after a transformation T: T_0 = log
// (log-concave) or T_{-1/2}(f) = -1/sqrt(f), which admits heavy tails such as
// the Cauchy and every Student t with nu >= 1.
//
// Split points (optional, increasing, inside the support) cut the support
// into pieces on each of which T(f) is concave or convex, as at the
// inflection points of a mixture. A concave piece has the hull of secants of
// T(f) as hat and their chords as squeeze; a convex piece the chords as hat
// and its neighbours' extended secants as squeeze. Each piece is classified
// from its evaluated points; every candidate that needs an evaluation
// refines both. Not thread-safe: one sampler per thread (copies are
// independent).
//
// Under log without split points the density is log-concave, and
// LogConcaveSampler serves (with its table-driven steady state).
//
// Split points found from the evaluations (Splits::Automatic): where the
// points show T(f) turning between concave and convex, the change is
// bracketed by second differences, narrowed by a few evaluations, and a split
// placed there; each piece is then sampled as with split points given. The
// first build also evaluates where a mode the points have not seen could
// hide (wide, loose or heavy gaps between points, the hat's tails, and as
// far beyond the points as they reach). A mode no evaluation comes near
// cannot be seen (a small far component, as 0.01 N(100, 1) beside
// 0.99 N(0, 1)): setScan() adds a grid of evaluations over a range the
// caller names.
//
// Generators. sample(g), or s(g), draws from any UniformRandomBitGenerator
// of the caller; sample() from the sampler's own std::mt19937_64. Given a
// seed, that stream is reproducible; without one, every sampler gets a
// stream of its own (as LogConcaveSampler's). A copy continues with the same
// envelope and a copy of the built-in generator.
//
// Throws std::invalid_argument naming a bad argument, and ars::NotLogConcave
// (naming the transformation and the points that prove it) for a piece that
// is neither concave nor convex, a convex piece reaching an infinite end, or
// a density whose hat cannot be made finite. A draw that throws so leaves no
// envelope: every later draw throws the same until a reset. A reset or warm
// reset that throws leaves the sampler as it was before the call.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sampler/engine_export.h"
#include "sampler/envelope_piece.h"
#include "sampler/log_concave_sampler.h"
#include "sampler/not_log_concave.h"
#include "sampler/sampler_counts.h"
#include "sampler/transformed_line.h"
#include "sampler/uniform_source.h"  // uniform01

namespace ars {

// Split points found from the evaluations instead of given.
enum class Splits { Automatic };
namespace detail {
// What the constructors and resets take for Splits: built from Splits only,
// so that `{}` in the place of the split points stays an empty vector.
struct SplitsChoice {
  SplitsChoice(Splits) {}
};
}  // namespace detail

class ARS_API TConcaveSampler {
 public:
  using LogDensity = std::function<double(double)>;
  using result_type = double;

  // starts: points inside (lower, upper) to begin with (e.g. the previous
  // state of a Gibbs chain); more are added until the hat is finite. They
  // may lie any distance from a mode of any width (sampler/mode_bracket.h).
  // Without a seed the built-in generator gets a stream of its own.
  TConcaveSampler(LogDensity logDensity, double lower, double upper,
                  Transform transform = Transform::InverseSqrt,
                  const std::vector<double>& splits = {},
                  const std::vector<double>& starts = {});
  // With one, the draws of sample() repeat from run to run.
  TConcaveSampler(LogDensity logDensity, double lower, double upper, Transform transform,
                  const std::vector<double>& splits, const std::vector<double>& starts,
                  std::uint64_t seed);
  TConcaveSampler(LogDensity logDensity, double lower, double upper, Transform transform, detail::SplitsChoice,
                  const std::vector<double>& starts = {});
  TConcaveSampler(LogDensity logDensity, double lower, double upper, Transform transform, detail::SplitsChoice,
                  const std::vector<double>& starts, std::uint64_t seed);

  double sample() { return sample(engine()); }
  // Draws from the caller's generator: the steady-state path runs inline,
  // only candidates that need an evaluation of h leave it.
  template <class URBG>
  double sample(URBG& g) {
    if (logConcave_) {
      try {
        return logConcave_->sample(g);
      } catch (const NotLogConcave& e) {
        reportUnderLog(e);
      }
    }
    if (refused_) std::rethrow_exception(refused_);
    for (std::uint64_t tries = 0; tries < kMaxTries; ++tries) {
      const double u = detail::uniform01(g), v = detail::uniform01(g);
      double x, hat;
      ++counts_.draws;
      const Verdict verdict = propose(u, v, x, hat);
      if (verdict == Verdict::Accept) {
        ++counts_.squeezeAccepts;
        return x;
      }
      if (verdict == Verdict::Outside)
        ++counts_.rejections;
      else if (decide(x, v * hat))
        return x;
    }
    giveUp();
  }
  template <class URBG>
  void sample(URBG& g, double* out, std::size_t count) {
    if (logConcave_) {
      try {
        return logConcave_->sample(g, out, count);
      } catch (const NotLogConcave& e) {
        reportUnderLog(e);
      }
    }
    for (std::size_t i = 0; i < count; ++i) out[i] = sample(g);
  }
  template <class URBG>
  double operator()(URBG& g) { return sample(g); }

  // A new density under the same transformation; the counts start from zero.
  void reset(LogDensity logDensity, double lower, double upper,
             const std::vector<double>& splits = {}, const std::vector<double>& starts = {});
  // The warm path of a Gibbs sampler: a new density (the next conditional,
  // the chain's state among the starts) whose first probes go a spread of
  // the scale the current envelope learned either side of the first start,
  // instead of a unit guess. Draws are exact whatever the new density;
  // reset() draws as a fresh sampler would.
  void warmReset(LogDensity logDensity, double lower, double upper,
                 const std::vector<double>& splits = {}, const std::vector<double>& starts = {});
  // Evaluates h at extraPoints more abscissae, spread evenly over the hat's
  // mass (quantiles (k + 1/2) / extraPoints; between split points, each
  // piece its share and at least two while they last), adds them to the points and
  // rebuilds: throws ars::NotLogConcave, naming the transformation and the
  // points, if the points together are not T-concave (with split points:
  // neither concave nor convex) on a piece. Under log without split points,
  // LogConcaveSampler::check's. Opt-in: a density outside the
  // class often passes the few points a single draw evaluates.
  void check(std::size_t extraPoints = 8);
  // The same with split points found from the evaluations.
  void reset(LogDensity logDensity, double lower, double upper, detail::SplitsChoice,
             const std::vector<double>& starts = {});
  void warmReset(LogDensity logDensity, double lower, double upper, detail::SplitsChoice,
                 const std::vector<double>& starts = {});
  // With automatic splits only (else std::logic_error): `points` evaluations
  // on an even grid over [from, to] (those inside the support) join the
  // points of every build from reset() or warmReset(), and of the current
  // envelope at once; they find modes no other evaluation comes near.
  // points = 0 turns the scan off. Throws what a build throws; the sampler
  // is then as it was.
  void setScan(double from, double to, std::size_t points);
  bool automaticSplits() const { return automatic_; }
  // Restarts the built-in generator: from seed as the constructor would, or
  // without one on a stream of its own. The envelope stays.
  void seed(std::uint64_t s) {
    seed_ = s;
    engine_.reset();
  }
  void seed();

  // One candidate at a time, for a program that shows each step: from the
  // uniforms u, v in (0, 1), accepted by the squeeze, or decided by one
  // evaluation of h that refines hat and squeeze; a candidate outside the
  // support counts as rejected, unevaluated. Throws what sample() throws.
  // Only where hat and squeeze are this class's own: a transformation other
  // than log, or split points (else std::logic_error).
  enum class Outcome { SqueezeAccept, DensityAccept, Rejection, Outside };
  // What decided, for a program that explains each step: the outcome says
  // which inequality held, logY <= logSqueeze (SqueezeAccept), logY <=
  // logDensity (DensityAccept) or logY > logDensity (Rejection). Hat and
  // squeeze are read from the envelope x was drawn under, before it refines.
  struct Trial {
    Outcome outcome;
    double x;
    double logY;  // log of the dart's height under the hat, in the units of h
    double logHat = 0.0;      // log of the hat at x, in the units of h
    double logSqueeze = 0.0;  // of the squeeze; NaN on a piece without one
    double logDensity = 0.0;  // h(x) where it was evaluated, NaN otherwise
  };
  Trial trial(double u, double v);
  // The pieces of hat and squeeze as lines in the scale T(f / exp(referenceLog())),
  // which keeps T finite whatever the size of h; empty on the log-concave path.
  std::vector<detail::EnvelopePiece> envelopePieces() const;
  double referenceLog() const { return hmax_; }

  Transform transform() const { return transform_; }
  // Given or found so far (automatic splits grow as draws refine the envelope).
  const std::vector<double>& splits() const { return splits_; }
  std::size_t points() const;
  std::size_t evaluations() const;
  // Since construction or reset: draws (candidates), squeeze and density
  // acceptances, rejections, and evaluations of h (the search included).
  const SamplerCounts& counts() const;
  // Points, hat and squeeze as vertices in log units of h, for plotting;
  // under -1/sqrt(f) the curved pieces get vertices between their ends.
  Envelope envelope() const;
  std::vector<double> evaluatedPoints() const;
  std::vector<double> evaluatedLogDensities() const;
  // The support; under log without splits, finite ends move in to where h
  // was found -infinity.
  double lowerLimit() const;
  double upperLimit() const;
  double min() const { return lowerLimit(); }
  double max() const { return upperLimit(); }
  // Integrals of hat and squeeze in the units of h (they overflow or vanish
  // where h is huge; their logarithms never do).
  double hatArea() const { return std::exp(logHatArea()); }
  double squeezeArea() const { return std::exp(logSqueezeArea()); }
  double logHatArea() const;
  double logSqueezeArea() const;

 private:
  enum class Shape { Concave, Convex };
  enum class Verdict { Accept, Evaluate, Outside };
  struct Piece {
    double l, r;
    detail::Line hat, squeeze;
    bool hasSqueeze;
    double area;
  };
  // What a draw reads of a piece, in one cache line: the hat area before it,
  // the hat's slope, its inverse and its value where the inversion starts
  // (under log exp(-hat), under -1/sqrt(f) -hat); and a line that is the
  // squeeze (-1/sqrt(f)) or squeeze minus hat (log), t = -inf where there is
  // none. A piece from -infinity has no squeeze; its anchor is its right end.
  struct alignas(64) Draw {
    double l, before, start, slope, inverseSlope, anchor, t, tilt;
  };
  // The candidate x of uniforms u, v: accepted by the squeeze, to be decided
  // by h (hat: the hat's density there), or outside the support (drawn again).
  Verdict propose(double u, double v, double& x, double& hat) const;
  // Evaluates h at a candidate of height y under the hat, refines, and says
  // whether it is accepted.
  // `evaluated`, where given, receives h(x).
  bool decide(double x, double y, double* evaluated = nullptr);
  Draw drawOf(const Piece& p) const;
  void start(LogDensity logDensity, double lower, double upper, const std::vector<double>& splits,
             const std::vector<double>& starts, double unit, bool automatic = false);
  void begin(LogDensity logDensity, double lower, double upper, const std::vector<double>& splits,
             const std::vector<double>& starts, double unit, bool automatic);
  double warmUnit() const;
  void scanGrid();
  bool settleShape(std::size_t a, std::size_t b, std::size_t segment);
  bool probeForModes();
  const Piece& pieceAt(double x) const;
  double logHatAt(double x) const;
  double logSqueezeAt(double x) const;
  double evaluate(double x);
  bool insert(double x, double h);
  void build();
  void refine();
  bool tryBuild();
  bool bracketMode(double x, double h);
  bool addNear(double x, double fallbackL, double fallbackR, const char* why);
  // A point the build wants: near x as addNear places it, or f at the end
  // of a convex piece. The build gathers them over all pieces, then adds them.
  struct Wanted {
    double x, fallbackL, fallbackR;
    const char* why;
    bool end;
  };
  bool want(double x, double fallbackL, double fallbackR, const char* why);
  void addWanted();
  bool zeroAt(double x);
  double stepOut(double x);
  Shape classify(std::size_t a, std::size_t b, std::size_t segment) const;
  int secondDifferenceSign(std::size_t i) const;
  std::string triple(std::size_t i) const;
  [[noreturn]] void refuse(const std::string& why, std::size_t i) const;
  detail::Line secant(std::size_t i, std::size_t j, std::size_t anchor, double pad) const;
  bool buildConcave(std::size_t a, std::size_t b, double lo, double hi);
  void buildConvex(std::size_t a, std::size_t b);
  void dropOverflowingSecants();
  // A point evaluated outside a build joins (keep: true if it did, false if
  // it says nothing) or proves the density outside the class (throws);
  // addPoint rebuilds after it.
  void addPoint(double x, double h);
  bool keep(double x, double h);
  void checkUnderLog(std::size_t extraPoints);
  bool finishTable();

  // A draw that no candidate passes in this many tries: a hat that cannot
  // be refined any more and holds next to none of the density.
  static constexpr std::uint64_t kMaxTries = 10000000;
  [[noreturn]] void giveUp() const;
  // Reports of the log-concave sampler name the transformation too.
  [[noreturn]] static void reportUnderLog(const NotLogConcave& e);

  // setScan()'s grid: evaluated at the start of every automatic build.
  struct Scan {
    double from = 0, to = 0;
    std::size_t points = 0;
  };
  // What a reset replaces, as the spare set of buffers holds it.
  struct Saved {
    std::optional<LogConcaveSampler> logConcave;
    LogDensity logDensity;
    double lower = 0, upper = 0;
    std::vector<double> splits, bounds, x, h, t, err;
    double hmax = 0;
    std::vector<Piece> pieces;
    std::vector<double> cumulative;
    std::vector<Draw> draws;
    std::vector<std::uint32_t> guide;
    double hatArea = 0, squeezeArea = 0;
    SamplerCounts counts;
    std::string lastWhy;
    double outward = 0;
    bool bracketed = false;
    std::exception_ptr refused;
    bool automatic = false;
    std::size_t found = 0, convexSteps = 0, probePasses = 0, splitsWhenProbed = 0;
    Scan scan;
  };
  // Swaps every field a reset replaces with s: a reset builds in the spare
  // buffers and swaps back if it throws.
  void exchange(Saved& s);
  // Scratch space only: a copy starts with none.
  struct Spare {
    Saved state;
    Spare() = default;
    Spare(const Spare&) {}
    Spare& operator=(const Spare&) { return *this; }
  };
  Spare spare_;

  std::optional<LogConcaveSampler> logConcave_;
  LogDensity logDensity_;
  double lower_ = 0, upper_ = 0;
  Transform transform_;
  std::vector<double> splits_, bounds_;  // bounds_: lower, splits, upper
  std::vector<double> x_, h_, t_, err_;  // t_: T(f / max seen); err_: its rounding
  double hmax_ = 0;
  std::vector<Piece> pieces_;
  std::vector<double> cumulative_;
  std::vector<Draw> draws_;
  std::vector<std::uint32_t> guide_;
  std::vector<Wanted> wanted_;
  double hatArea_ = 0, squeezeArea_ = 0;
  SamplerCounts counts_;
  std::string lastWhy_;
  double outward_ = 0;  // the last outward step of this build
  bool bracketed_ = false;  // the mode was bracketed in this build
  // What a build threw: the points it had are no envelope, and every draw
  // after it throws the same until a reset.
  std::exception_ptr refused_;
  // Automatic splits: found so far (at most kMaxFound), outward steps over a
  // convex tail in this build, probe passes left and the splits the last one saw.
  static constexpr std::size_t kMaxFound = 64, kMaxConvexSteps = 12, kProbePasses = 8;
  static constexpr std::size_t kMaxScan = 1000000;
  // A gap between points is probed when the hat there stands e^kLoose above
  // the squeeze over kLooseMass of the hat's mass, holds kHeavyMass of it, or
  // is kWide times a neighbour's width over kLooseMass of the mass.
  static constexpr double kLoose = 2, kLooseMass = 1e-4, kHeavyMass = 0.1, kWide = 3;
  bool automatic_ = false;
  std::size_t found_ = 0, convexSteps_ = 0, probePasses_ = 0, splitsWhenProbed_ = 0;
  Scan scan_;
  // The built-in generator, seeded on first use: a sampler made for one
  // draw from the caller's generator does not pay for seeding it.
  std::mt19937_64& engine() {
    if (!engine_) engine_.emplace(seed_);
    return *engine_;
  }
  std::uint64_t seed_ = 0;
  std::optional<std::mt19937_64> engine_;
};

}  // namespace ars
