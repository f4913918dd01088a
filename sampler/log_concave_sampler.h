#pragma once
// ars::LogConcaveSampler: exact draws from any univariate log-concave density.
//
// What it samples. The density f on a support [lower, upper] (either end may
// be infinite) given by its log-density h = log f + constant: any callable
// double(double), known only up to an additive constant, returning
// -infinity where the density is zero (so h may state the support itself:
// "if (x < a) return -infinity" on a wider declared support). No
// derivative, mode, location or scale is needed; optional starting
// abscissae (inside the support, with finite h; the previous state of a
// Gibbs chain is a good one) guide the search for starting points. Without
// them the search tries geometric ladders from 0 (or from the finite ends)
// and finer grids between their rungs near the unit, at most some 11,000
// abscissae before it reports: a support far narrower than its distance
// from there (say [1000, 1001] on the whole line) needs a start.
//
// How. Derivative-free adaptive rejection sampling: an upper hull of
// secants and a squeeze of chords through the evaluated points; every
// evaluated candidate refines both, until setMaxPoints or setTargetRatio
// stops refinement. The hull's tails run to infinity: nothing is cut off.
//
// Generators. sample(g), or s(g) as for a standard distribution, draws from
// any UniformRandomBitGenerator of the caller (std::mt19937_64, pcg64, ...);
// sample() from the sampler's own pcg64 (pcg-cpp). Given a seed, that stream
// is reproducible; without one, every sampler gets a stream of its own (a
// seed from std::random_device once per process and a pcg stream no other
// sampler of the process uses; processes forked from one parent repeat each
// other's: seed those samplers explicitly). A copy continues with the same
// envelope and a copy of the built-in generator; seed() gives it a stream
// of its own.
//
// Threads. The const member functions may run concurrently on one sampler
// (they never write to it), but not alongside a non-const one (sample,
// reset, seed, the setters, assignment), which needs the sampler to itself.
// Different samplers, copies included, share nothing but what the
// log-density itself shares (a copy calls a copy of the callable, whose
// captured references still point to the same objects).
//
// Throws. std::invalid_argument for a bad support (lower not below upper), a
// starting abscissa outside the support or where h is not finite, or h NaN
// or +infinity anywhere evaluated. ars::NotLogConcave (a std::domain_error)
// when evaluated points prove h not concave, or the density not integrable
// towards an unbounded end; what() names the points or the end. Only
// evaluated points can prove it: a density outside the class whose points
// happen to be log-concave together is drawn from silently, and in the
// one-draw pattern of a Gibbs sampler (a few points per fresh sampler) that
// is most updates of, say, a Cauchy. check() evaluates more points to catch
// such densities.
// std::logic_error from a moved-from sampler. Whatever h throws passes
// through. A reset() or warmReset() that throws leaves the sampler exactly
// as it was (envelope, counts, warm memory, generator).
//
// Cost. A first draw after some 4-7 evaluations of h for common densities;
// about 5 N^(1/3) evaluations for N draws. Almost every draw is accepted by
// the squeeze alone. A sampler built per Gibbs update allocates nothing:
// each thread keeps the buffers of the last sampler destroyed on it (one
// that drew a few times) for the next one built there.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "sampler/engine_export.h"
#include "sampler/not_log_concave.h"
#include "sampler/sampler_counts.h"
#include "sampler/uniform_source.h"

namespace ars {

// The envelope, for plotting; log values in the units of h as given.
struct ARS_API Envelope {
  std::vector<double> x, h;                // evaluated points, ascending
  std::vector<double> hullX, hullY;        // vertices of the upper hull, from limit to limit
  std::vector<double> squeezeX, squeezeY;  // vertices of the squeeze (chords between the points)
};

class ARS_API LogConcaveSampler {
 public:
  using LogDensity = std::function<double(double)>;
  using result_type = double;

  // Without a seed the built-in generator gets a stream of its own.
  LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                    const std::vector<double>& starts = {});
  // With one, the draws of sample() repeat from run to run.
  LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                    const std::vector<double>& starts, std::uint64_t seed);
  // The same with the starts in braces ({x}, as a Gibbs update passes the
  // chain's state): read in place, nothing allocated for them.
  LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                    std::initializer_list<double> starts);
  LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                    std::initializer_list<double> starts, std::uint64_t seed);
  ~LogConcaveSampler();
  LogConcaveSampler(const LogConcaveSampler& other);
  LogConcaveSampler& operator=(const LogConcaveSampler& other);
  LogConcaveSampler(LogConcaveSampler&&) noexcept;
  LogConcaveSampler& operator=(LogConcaveSampler&&) noexcept;

  // One draw, from the built-in generator.
  double sample();
  // count draws into out[0] ... out[count - 1].
  void sample(double* out, std::size_t count);
  // The same from the caller's generator.
  template <class URBG>
  double sample(URBG& g) {
    detail::UniformSource source(g);
    return sampleFrom(source);
  }
  template <class URBG>
  void sample(URBG& g, double* out, std::size_t count) {
    detail::UniformSource source(g);
    sampleFrom(source, out, count);
  }
  // As a standard distribution is called: one draw from g.
  template <class URBG>
  double operator()(URBG& g) {
    return sample(g);
  }

  // Restarts the built-in generator: from seed as the constructor would, or
  // without one on a stream of its own. The envelope stays.
  void seed(std::uint64_t value);
  void seed();

  // A new density: the search starts afresh, the buffers are reused, the
  // counts start from zero and the built-in generator goes on.
  void reset(LogDensity logDensity, double lower, double upper,
             const std::vector<double>& starts);
  // Also reset(h, lower, upper) and reset(h, lower, upper, {x}): the starts
  // in braces are read in place, so that the call allocates nothing.
  void reset(LogDensity logDensity, double lower, double upper,
             std::initializer_list<double> starts = {});
  // The warm path of a Gibbs sampler: reset to the next conditional (the
  // chain's state as the start), with the first probes placed at the scale
  // the current envelope learned (from its curvature at the top) instead of
  // a guess from the support and the start. Once successive conditionals'
  // modes have moved less than about a scale each time, the first two probes
  // go a spread either side of the last mode instead, and the third where
  // they place the new one; the start is then only checked against the
  // support, and serves where those probes find no density. Where the three
  // bracket the new mode, the next draw goes by their hull alone (as a
  // fresh sampler's does after a search ending on three such points), with
  // no envelope built. Draws are exact
  // whatever the new density; the fewest evaluations come when successive
  // conditionals have similar scales. reset() instead draws as a fresh
  // sampler would (and forgets the past conditionals).
  void warmReset(LogDensity logDensity, double lower, double upper,
                 const std::vector<double>& starts);
  // warmReset(h, lower, upper, {x}) as a Gibbs update calls it: no allocation.
  void warmReset(LogDensity logDensity, double lower, double upper,
                 std::initializer_list<double> starts = {});

  // An opt-in test of the class: h at extraPoints more abscissae spread
  // over the hat's mass (its 0.001 and 0.999 quantiles first, the rest
  // evenly between), which join the points (and refine the envelope); throws
  // ars::NotLogConcave naming three points where they are not log-concave
  // together, or a zero among positive values. A check that throws leaves
  // the envelope as it was. Call it after construction or a (warm) reset,
  // before the draws that matter: it costs extraPoints evaluations (less
  // what they save the draws: some 7 more per Gibbs update on the benchmark's
  // log-concave conditionals for the default 8, see bench/gibbs_bench).
  // What passes: a density that is log-concave at every point evaluated.
  // Wrong densities whose fault lies between the points (a second mode no
  // point comes near, a bend of a tail beyond the quantiles probed, a
  // convex stretch inside one piece) can pass, and so can draws made before
  // the check; more points catch more.
  void check(std::size_t extraPoints = 8);

  // Since construction or reset: draws (candidates), squeeze and density
  // acceptances, rejections, and evaluations of h (the search included).
  const SamplerCounts& counts() const;
  // Points of the envelope.
  std::size_t points() const;
  // The support, with finite ends moved in to where h was found -infinity
  // (unbounded ends stay infinite).
  double lowerLimit() const;
  double upperLimit() const;
  // The same, under the names standard distributions use.
  double min() const { return lowerLimit(); }
  double max() const { return upperLimit(); }

  // Integrals of exp(hull) and exp(squeeze) over the support, in the units of
  // h: hatArea() >= integral of exp(h) >= squeezeArea(). They overflow or
  // vanish when h is huge; the logarithms never do.
  double hatArea() const;
  double squeezeArea() const;
  double squeezeHatRatio() const;
  double logHatArea() const;
  double logSqueezeArea() const;
  Envelope envelope() const;

  // Refinement stops at n points (at least 3); draws stay exact.
  void setMaxPoints(std::size_t n);
  // Refinement stops once squeezeArea / hatArea >= r (1, the default, never stops).
  void setTargetRatio(double r);

 private:
  struct Core;
  Core& core();
  const Core& core() const;
  void resetFrom(LogDensity logDensity, double lower, double upper, const double* starts,
                 std::size_t count);
  void warmResetFrom(LogDensity logDensity, double lower, double upper, const double* starts,
                     std::size_t count);
  double sampleFrom(detail::UniformSource& source);
  void sampleFrom(detail::UniformSource& source, double* out, std::size_t count);
  std::unique_ptr<Core> core_;
};

}  // namespace ars

// The 1.x global name, for code that asks for it.
#ifdef ARS_GLOBAL_NAMES
using ars::LogConcaveSampler;
#endif
