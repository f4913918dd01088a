#include "sampler/argument_checks.h"
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
#include "sampler/envelope_reader.h"
#include "sampler/fast_table.h"
#include "sampler/guided_start.h"
#include "sampler/three_point_hull.h"
#include "sampler/fresh_seed.h"
#include "sampler/hull_envelope.h"
#include "sampler/start_search.h"

namespace ars {

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

using detail::number;

// A draw that no candidate passes in this many tries means an envelope that
// cannot be refined any more and holds next to none of the density.
constexpr std::uint64_t maxTries = 10000000;

// The built-in generator behind the uniform interface of the draw loop; a
// UniformRandomBitGenerator itself for the table's draws.
struct Pcg64Source {
  using result_type = std::uint64_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return ~result_type{0}; }
  pcg64& engine;
  result_type operator()() { return engine(); }
  double next() { return detail::uniform01(engine); }
};

// The table pays for its build (some 0.3 microseconds a point) once this
// many draws per point have come without a change of the envelope; a table
// in use is renewed (with the points evaluated meanwhile) after renewDraws
// per point, which keeps the builds' share of the time to a few percent.
constexpr std::uint64_t settledDrawsPerPoint = 16;
constexpr std::uint64_t renewDrawsPerPoint = 512;
// The table is built from the points within this much of the highest value.
constexpr double tableDepth = 60.0;
// A table whose rejections pass this many, and a sixteenth of its draws, is rebuilt.
constexpr std::uint64_t looseRejections = 64;

// A destroyed sampler's buffers are kept for the next one only up to this
// many points.
constexpr std::size_t keptPoints = 64;

// The warm path probes a spread either side of where the last conditional's
// mode lay (as the parabola through its envelope's top says) once successive
// modes have moved less than this many scales, on a running average; farther
// moves start from the chain's state, which then says more.
constexpr double steadyDrift = 1.0;
// Weight of the latest move in that average.
constexpr double driftWeight = 0.2;

// h above the hull at an evaluated candidate by more than this, relative to
// the sizes of both, is taken for a hull that rounding of h left too low.
constexpr double hullExcess = 64 * std::numeric_limits<double>::epsilon();

// check() looks this far into either tail of the hat.
constexpr double checkTail = 1e-3;

// A draw thinning the built envelope to the hull of its points as they are
// now rebuilds after this many candidates in a row fall outside the latter.
constexpr int maxMissed = 4;
// At most this many rejected points join a draw so; the next one rebuilds.
constexpr int maxAdded = 3;

// The first draw from three points that bracket the mode (a guided start's,
// or a search's that needed no more) goes by their hull alone for this many
// candidates, the rejected ones joining the points; then the envelope's own
// path goes on from all of them. Only where refinement has room for them.
constexpr int leanTries = 16;
constexpr std::size_t leanPoints = 8;
constexpr std::size_t leanMinPoints = 16;

// A few points on the stack, indexed as concaveAround reads them.
struct LocalPoints {
  const detail::HullPoint* p;
  std::size_t k;
  std::size_t size() const { return k; }
  const detail::HullPoint& operator[](std::size_t i) const { return p[i]; }
};

// The core of the last sampler destroyed on this thread, kept with its
// buffers for the next one built there: a Gibbs sampler that builds a fresh
// sampler per update then allocates nothing. Of internal linkage (so typed
// loosely: the core's type is the sampler's own), so that the shared library
// exports nothing of it. shelfGone: the shelf was destroyed at the thread's
// end (a sampler of static storage outlives it); the flag has no
// destructor, so it stays readable.
struct Shelf {
  void* core = nullptr;
  void (*destroy)(void*) = nullptr;
  ~Shelf();
};
thread_local bool shelfGone = false;
thread_local Shelf shelf;
Shelf::~Shelf() {
  if (core != nullptr) destroy(core);
  shelfGone = true;
}

// The proof leaves the sampler as the 1.0 type, which is an
// ars::NotLogConcave too: code catching either keeps working.
template <class F>
void asOneZeroReport(F&& f) {
  try {
    f();
  } catch (const ARSSampler::XNotLogConcave&) {
    throw;
  } catch (const NotLogConcave& e) {
    // Its reason and points too: the 1.0 type has no constructor for them.
    ARSSampler::XNotLogConcave report(e.what());
    static_cast<NotLogConcave&>(report) = e;
    throw report;
  }
}

}  // namespace

struct LogConcaveSampler::Core {
  LogDensity logDensity;
  pcg64 engine;
  detail::HullEnvelope envelope;
  detail::HullEnvelope spare;  // where the next search builds
  detail::EnvelopeReader reader;  // const reads never write to the envelope
  SamplerCounts counts;
  static constexpr std::size_t defaultMaxPoints = 100000;
  std::size_t maxPoints = defaultMaxPoints;
  double targetRatio = 1.0;
  // The table-driven path for a settled envelope: built once the envelope
  // has gone settledDrawsPerPoint draws per point unchanged, dropped at the
  // next change.
  // A table stays in use after the envelope has changed (its hull still
  // lies above h: the draws stay exact), and evaluated points join the
  // envelope without a rebuild; both are brought up to date once as many
  // draws again have passed.
  detail::FastTable table;
  std::vector<detail::HullPiece> pieces;
  std::vector<double> tableX, tableH;
  bool hasTable = false;
  bool tableRefused = false;
  std::size_t seenVersion = 0;
  std::uint64_t quietDraws = 0;  // since the envelope last changed, or since the table's build
  std::uint64_t tableRejections = 0;  // of the table's candidates, since its build
  std::size_t tablePoints = 0;
  detail::HullEnvelope tableEnvelope;
  std::vector<detail::HullPoint> tablePointsBuffer;
  // The warm path's memory: the shape at the last warmReset and the running
  // average of how far the mode moved, in scales (negative: none yet).
  detail::LearnedShape lastShape;
  double drift = -1.0;
  std::vector<double> guides;
  // Three points were left unbuilt (by a guided start, or a search that
  // needed no more): the next draw goes by their hull alone, built already
  // where three.built says so.
  bool leanReady = false;
  detail::ThreePointHull three;

  explicit Core(const pcg64& e) : engine(e) {}

  static std::unique_ptr<Core> make(const pcg64& e) {
    if (!shelfGone && shelf.core != nullptr) {
      std::unique_ptr<Core> kept(static_cast<Core*>(shelf.core));
      shelf.core = nullptr;
      kept->renew(e);
      return kept;
    }
    return std::make_unique<Core>(e);
  }

  static void keep(std::unique_ptr<Core> core) noexcept {
    // The callable goes at once (it may hold much, or samplers of its own).
    core->logDensity = nullptr;
    if (shelfGone || !core->small() || shelf.core != nullptr) return;
    shelf.core = core.release();
    shelf.destroy = [](void* p) { delete static_cast<Core*>(p); };
  }

  // Only the buffers of a sampler that drew a few times are worth keeping:
  // one that built a table, or grew many points, would hold its memory
  // on the thread for nothing.
  bool small() const {
    return tablePoints == 0 && envelope.points().capacity() <= keptPoints &&
           spare.points().capacity() <= keptPoints;
  }

  // As a core built anew from e, buffers kept: the state a draw reads is
  // set as the constructor sets it (the envelopes, the table and the
  // reader's copy are replaced before they are read, as in a reset). A new
  // member that keeps state between draws is reset here too.
  void renew(const pcg64& e) {
    engine = e;
    counts = SamplerCounts{};
    maxPoints = defaultMaxPoints;
    targetRatio = 1.0;
    hasTable = false;
    tableRefused = false;
    quietDraws = 0;
    tableRejections = 0;
    tablePoints = 0;
    lastShape = detail::LearnedShape{};
    drift = -1.0;
    guides.clear();
    leanReady = false;
  }

  // f is moved from only once the search has succeeded.
  void start(LogDensity&& f, double lower, double upper, detail::StartList starts,
             double unitHint = 0.0, const std::vector<double>& guideAt = {}, detail::KnownValues known = {}) {
    asOneZeroReport([&] { search(std::move(f), lower, upper, starts, unitHint, guideAt, known); });
  }

  // The search fills the spare envelope, which becomes the sampler's only
  // once it has succeeded: a search that throws leaves the sampler as it
  // was. The two buffers take turns, so that warm updates allocate nothing.
  void search(LogDensity&& f, double lower, double upper, detail::StartList starts,
              double unitHint, const std::vector<double>& guideAt, detail::KnownValues known) {
    if (!f) throw std::invalid_argument("logDensity is empty");
    const detail::StartSearch search(f, lower, upper, starts, spare.editPoints(), spare, unitHint, guideAt,
                                     known, &three);
    envelope.swap(spare);
    logDensity = std::move(f);
    counts = SamplerCounts{};
    counts.evaluations = search.evaluations() + known.count;
    hasTable = false;
    tableRefused = false;
    seenVersion = envelope.version();
    quietDraws = 0;
    leanReady = envelope.dirty();  // three points left to the draw
  }

  // The warm path's start from the guides alone, where they settle it
  // (f is moved from then); false where the full search must serve, which
  // takes over what g evaluated.
  bool startGuided(LogDensity& f, double lower, double upper, detail::StartList starts, double unit,
                   detail::GuidedStart& g) {
    if (!f || guides.size() != 2) return false;
    for (double x : starts) {
      if (!(x >= lower && x <= upper) || !std::isfinite(x)) return false;  // reported by the search
    }
    g = detail::guidedStart(f, lower, upper, guides[0], guides[1], unit);
    if (!g.found) return false;
    envelope.editPoints().assign(g.point, g.point + 3);
    envelope.place(lower, upper);
    three.built = false;
    logDensity = std::move(f);
    counts = SamplerCounts{};
    counts.evaluations = g.evaluations;
    hasTable = false;
    tableRefused = false;
    seenVersion = envelope.version();
    quietDraws = 0;
    leanReady = true;
    return true;
  }

  // Builds the table from the envelope when it has settled, and renews it
  // when it has served settledDrawsPerPoint draws per point since; false
  // when the envelope's own path serves.
  bool tableReady() {
    const std::size_t k = envelope.points().size();
    if (hasTable) {
      // Counted in the points the table was built from: the points evaluated
      // since must not push the renewal away.
      if (!tableLoose() && (++quietDraws < renewDrawsPerPoint * tablePoints ||
                            (!envelope.dirty() && envelope.version() == seenVersion))) {
        return true;
      }
      envelope.refresh();
    } else {
      if (envelope.version() != seenVersion || envelope.dirty()) {
        envelope.refresh();
        seenVersion = envelope.version();
        quietDraws = 0;
        tableRefused = false;
      }
      if (tableRefused || ++quietDraws < settledDrawsPerPoint * k) return false;
    }
    seenVersion = envelope.version();
    quietDraws = 0;
    tableRejections = 0;
    tablePoints = k;
    try {
      // The table's envelope: the points within tableDepth of the highest.
      // Any subset makes a valid hull; points with far lower values would
      // only make the table's rounding margins, and so its caps, huge.
      const auto& p = envelope.points();
      std::size_t top = 0;
      for (std::size_t i = 1; i < p.size(); ++i) {
        if (p[i].h > p[top].h) top = i;
      }
      std::size_t first = top, last = top;
      while (first > 0 && p[top].h - p[first - 1].h <= tableDepth) --first;
      while (last + 1 < p.size() && p[top].h - p[last + 1].h <= tableDepth) ++last;
      // One point more on each side, so that every interval of the range
      // keeps a secant from either side.
      if (first > 0) --first;
      if (last + 1 < p.size()) ++last;
      // The piece next to the highest point needs the secant from beyond
      // it: with the rising one alone its hull would climb by the slope
      // times the width of the piece, and a wide piece would then take all
      // of the table's mass where h is far below (and nothing accepts).
      if (first + 1 == top && first > 0) --first;
      if (last == top + 1 && last + 1 < p.size()) ++last;
      while (last - first + 1 < 3 && (first > 0 || last + 1 < p.size())) {
        if (first > 0) --first;
        if (last - first + 1 < 3 && last + 1 < p.size()) ++last;
      }
      tablePointsBuffer.assign(p.begin() + static_cast<std::ptrdiff_t>(first),
                               p.begin() + static_cast<std::ptrdiff_t>(last) + 1);
      tableEnvelope.build(tablePointsBuffer, envelope.lower(), envelope.upper());
      pieces.clear();
      for (const detail::HullSegment& s : tableEnvelope.segments()) {
        pieces.push_back({s.left, s.right, s.anchor, s.top, -s.rate * s.dir});
      }
      tableX.clear();
      tableH.clear();
      for (const detail::HullPoint& q : tablePointsBuffer) {
        tableX.push_back(q.x);
        tableH.push_back(q.h);
      }
      table.build(pieces, tableX, tableH);
      hasTable = true;
    } catch (const std::exception&) {
      hasTable = false;  // too many points for the table: the envelope's own path serves
      tableRefused = true;
    }
    return hasTable;
  }

  // The table rejects far more than its envelope should (rounding of close
  // points, or a piece it bounds from one side only): its candidates then
  // mostly refine the envelope, and it is rebuilt from it at once instead of
  // after its usual run of draws.
  bool tableLoose() const { return tableRejections > looseRejections && tableRejections * 16 > quietDraws; }

  // f of the envelope built from every point so far: points that the
  // table's draws added wait for a later draw to be built in.
  template <class F>
  auto read(F&& f) const {
    return reader.read(envelope, std::forward<F>(f));
  }

  // Records the envelope's shape before a warm reset; true when the modes
  // have held steady enough for the guides.
  bool steady(const detail::LearnedShape& shape) {
    if (shape.reliable && lastShape.reliable) {
      const double moved = std::fabs(shape.mode - lastShape.mode) / lastShape.scale;
      if (std::isfinite(moved)) drift = drift < 0 ? moved : (1 - driftWeight) * drift + driftWeight * moved;
    }
    lastShape = shape;
    return shape.reliable && drift >= 0 && drift < steadyDrift;
  }

  bool refining() const {
    return envelope.points().size() < maxPoints && (targetRatio >= 1 || envelope.ratio() < targetRatio);
  }

  double evaluate(double x) {
    ++counts.evaluations;
    return detail::checkedLogDensity(logDensity(x), x);
  }

  // h is -infinity at x: beyond the outer points the limit moves in to x.
  // Where the hull still rises into that end (or x was the limit itself, so
  // that nothing moved), the gap between the outer point and the end is
  // halved as well: every such step makes progress, and the end of the
  // density is found in a few.
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
    const bool moved = up ? x < envelope.upper() : x > envelope.lower();
    if (moved) envelope.cut(x);
    const std::size_t k = envelope.points().size();
    const auto& q = envelope.points();
    const bool rising = up ? q[k - 1].h > q[k - 2].h : q[0].h > q[1].h;
    if (moved && !rising) return;
    const double outer = up ? q[k - 1].x : q[0].x;
    const double end = up ? envelope.upper() : envelope.lower();
    const double middle = outer + (end - outer) * 0.5;
    if (!std::isfinite(middle) || middle == outer || middle == end) return;
    const double h = evaluate(middle);
    if (h == -inf) {
      envelope.cut(middle);
    } else if (q.size() < maxPoints) {
      envelope.insert(middle, h);
    }
  }

  // h at hat quantiles: the two far tails first (where a tail that falls
  // slower than any exponential shows), the rest evenly over the mass. All
  // join the points at once, so that the hull rebuilt from them proves h not
  // log-concave wherever they together are not; on success they refine it.
  // The spare envelope takes the points: a failed check changes nothing but
  // the count of evaluations.
  void check(std::size_t extra) {
    leanReady = false;
    envelope.refresh();
    std::vector<double> at;
    for (std::size_t i = 0; i < extra; ++i) {
      double q = 0.5;
      if (extra >= 2) q = i == 0 ? checkTail : i == 1 ? 1 - checkTail : (i - 1.5) / static_cast<double>(extra - 2);
      const double t = q * envelope.total();
      const std::size_t j = envelope.choose(t);
      const detail::HullSegment& s = envelope.segments()[j];
      at.push_back(s.anchor + s.dir * envelope.invert(j, t - envelope.areaBefore(j)));
    }
    spare = envelope;
    for (double x : at) {
      if (!(x > spare.lower() && x < spare.upper())) continue;
      const double h = evaluate(x);
      const auto& p = spare.points();
      if (h == -inf) {
        if (x > p.front().x && x < p.back().x) {
          throw NotLogConcave("not log-concave: the density is zero at x = " + number(x) +
                              ", inside the points where it is positive (from " + number(p.front().x) +
                              " to " + number(p.back().x) + ")");
        }
        spare.cut(x);
        continue;
      }
      spare.insert(x, h);
    }
    envelope.swap(spare);
  }

  // A rejected candidate that cannot join the points (it lies on one, its
  // piece's mass being within rounding of the anchor): the piece is halved
  // instead, so that the same rejection cannot come back for ever.
  void halve(const detail::HullSegment& piece) {
    const double left = piece.left, right = piece.right;
    const double middle = left + (right - left) * 0.5;
    if (!std::isfinite(middle) || middle == left || middle == right) return;
    const double h = evaluate(middle);
    if (h == -inf) {
      zeroAt(middle);
    } else {
      envelope.insert(middle, h);
    }
  }

  template <class Source>
  double draw(Source& source) {
    double x = 0.0;
    asOneZeroReport([&] { x = drawUnchecked(source); });
    return x;
  }

  // Batches: while the table serves, a box decides the draw without the
  // general loop; every other candidate goes on there. The same uniforms
  // and counts as draw() one at a time.
  template <class Source>
  void drawMany(Source& source, double* out, std::size_t count) {
    asOneZeroReport([&] {
      for (std::size_t i = 0; i < count; ++i) {
        if (hasTable && quietDraws + 1 < renewDrawsPerPoint * tablePoints && !tableLoose()) {
          ++quietDraws;
          const detail::FastTable::Candidate c = table.draw(source);
          if (c.accepted) {
            ++counts.draws;
            ++counts.squeezeAccepts;
            out[i] = c.x;
            continue;
          }
          out[i] = drawUnchecked(source, &c);
        } else {
          out[i] = drawUnchecked(source);
        }
      }
    });
  }

  // The first draw from three points left unbuilt (by a guided start or a
  // search): candidates from their hull, thinned to the hull of the points
  // as they are now (the rejected ones join them), decided by their chords
  // or h. True with x once one is accepted; false where the envelope's own
  // path goes on from the points (after leanTries candidates, maxMissed
  // misses in a row, leanPoints points, a zero, or h above the hull).
  template <class Source>
  bool drawLean(Source& source, double& x) {
    leanReady = false;
    detail::HullPoint p[leanPoints] = {envelope.points()[0], envelope.points()[1], envelope.points()[2]};
    std::size_t k = 3;
    const double lower = envelope.lower(), upper = envelope.upper();
    const auto handOver = [&] { envelope.editPoints().assign(p, p + k); };
    if (!three.built && !detail::buildThreePointHull(p[0], p[1], p[2], lower, upper, three, false)) return false;
    three.built = false;  // the points change from here
    const detail::ThreePointHull& hull = three;
    int missed = 0;  // candidates in a row that the refined hull left out
    for (int tries = 0; tries < leanTries; ++tries) {
      const double u1 = source.next();
      const double u2 = source.next();
      const detail::HullCandidate c = detail::hullCandidate(hull, u1);
      // Under the three points' squeeze: under every hull of more points too.
      if (u2 <= c.acceptBound) {
        ++counts.draws;
        ++counts.squeezeAccepts;
        x = c.x;
        if (k > 3) handOver();
        return true;
      }
      const double chord = detail::chordOfPointsAt(p, k, c.x);
      // Under the chords by the uniform alone, without a log, most often.
      if (u2 <= detail::belowExp(chord - c.logHull) * (1 - 1e-12)) {
        ++counts.draws;
        ++counts.squeezeAccepts;
        x = c.x;
        if (k > 3) handOver();
        return true;
      }
      const double logHeight = c.logHull + std::log(u2);
      double hullNow = c.logHull;
      if (k > 3) {
        hullNow = std::min(hullNow, detail::hullOfPointsAt(p, k, lower, upper, c.x));
        if (!(logHeight <= hullNow)) {
          // Not a candidate of the refined hull. Where it leaves out most of
          // the three points' hull, the envelope of all of them draws instead.
          if (++missed == maxMissed) break;
          continue;
        }
        missed = 0;
      }
      ++counts.draws;
      if (logHeight <= chord) {
        ++counts.squeezeAccepts;
        x = c.x;
        if (k > 3) handOver();
        return true;
      }
      // An end (drawn only through rounding) is left to the envelope's path.
      if (!(c.x > lower && c.x < upper)) {
        ++counts.rejections;
        handOver();
        return false;
      }
      const double h = evaluate(c.x);
      if (h == -inf) {
        ++counts.rejections;
        handOver();
        zeroAt(c.x);
        return false;
      }
      if (h > hullNow + hullExcess * (1 + std::fabs(hullNow) + std::fabs(h))) {
        // h above the hull (rounding of h, see drawUnchecked): the candidate
        // stands, and the envelope's path raises the hull there.
        ++counts.densityAccepts;
        ++counts.hullRepairs;
        handOver();
        envelope.insert(c.x, h);
        x = c.x;
        return true;
      }
      // The new point joins, checked against its neighbours as the envelope checks it.
      std::size_t at = 0;
      while (at < k && p[at].x < c.x) ++at;
      const detail::HullPoint q{c.x, h};
      bool joins = (at == k || p[at].x != c.x) && detail::finiteSlopes(p, p + at, p + k, c.x, h);
      if (joins) {
        detail::HullPoint proof[3];
        if (!detail::concaveAround(LocalPoints{p, k}, at, q, proof)) {
          handOver();
          throw detail::chordProof(proof[0], proof[1], proof[2]);
        }
        std::copy_backward(p + at, p + k, p + k + 1);
        p[at] = q;
        ++k;
      }
      if (logHeight <= h) {
        ++counts.densityAccepts;
        x = c.x;
        handOver();
        return true;
      }
      ++counts.rejections;
      if (k == leanPoints) break;
    }
    handOver();
    return false;
  }

  // given: the table's candidate for the first try, drawn already.
  // A candidate rejected on the envelope's own path joins the points without
  // a rebuild: the draw goes on from the envelope as built, each candidate
  // kept with the chance that the hull of the points as they are now (never
  // higher) leaves it. The kept ones are exactly the candidates the rebuilt
  // envelope would give, and a sampler that draws once never rebuilds; the
  // next draw does.
  template <class Source>
  double drawUnchecked(Source& source, const detail::FastTable::Candidate* given = nullptr) {
    if (leanReady && given == nullptr) {
      double x;
      if (targetRatio >= 1 && maxPoints >= leanMinPoints && drawLean(source, x)) return x;
      leanReady = false;
    }
    bool thinning = false;
    int missed = 0;  // candidates in a row that the refined hull left out
    int added = 0;   // rejected points joined without a rebuild
    for (std::uint64_t tries = 0; tries < maxTries; ++tries) {
      double x, logHeight;
      double hull = inf;  // the hull at x, where known without a search
      const detail::HullSegment* piece = nullptr;
      thinning = thinning && envelope.dirty();
      const bool fromTable = given != nullptr || ((hasTable || !thinning) && tableReady());
      if (fromTable) {
        ++counts.draws;
        const detail::FastTable::Candidate c = given != nullptr ? *given : table.draw(source);
        given = nullptr;
        // The table's squeeze is lowered by a margin and its strips are
        // coarser than the points: the chords themselves decide first.
        if (c.accepted || envelope.underSqueeze(c.x, c.logY)) {
          ++counts.squeezeAccepts;
          return c.x;
        }
        x = c.x;
        logHeight = c.logY;
      } else {
        if (!thinning) envelope.refresh();
        const double u1 = source.next();
        const double u2 = source.next();
        const double t = u1 * envelope.total();
        const std::size_t i = envelope.choose(t);
        const detail::HullSegment& s = envelope.segments()[i];
        const double d = envelope.invert(i, t - envelope.areaBefore(i));
        x = s.anchor + s.dir * d;
        piece = &s;
        if (thinning) {
          logHeight = s.top - s.rate * d + std::log(u2);
          hull = envelope.hullNow(x);
          if (!(logHeight <= hull)) {
            // Not a candidate of the refined hull. Where it leaves out most
            // of the built one, the rebuild is cheaper than the misses.
            if (++missed == maxMissed) {
              envelope.refresh();
              thinning = false;
            }
            continue;
          }
          missed = 0;
          ++counts.draws;
          if (envelope.underSqueeze(x, logHeight)) {
            ++counts.squeezeAccepts;
            return x;
          }
        } else {
          ++counts.draws;
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
          hull = s.top - s.rate * d;
          logHeight = hull + logU;
        }
      }
      if (!std::isfinite(x)) {
        ++counts.rejections;
        continue;
      }
      double h;
      if (x == envelope.lower() || x == envelope.upper()) {
        // h may be NaN or +infinity at an end itself (x^-0.5, 0 log 0); an end
        // is a single abscissa, drawn only through rounding: draw again.
        ++counts.evaluations;
        h = logDensity(x);
        if (std::isnan(h) || h == inf) {
          ++counts.rejections;
          if (piece != nullptr) halve(*piece);
          continue;
        }
      } else {
        h = evaluate(x);
      }
      if (h == -inf) {
        ++counts.rejections;
        zeroAt(x);
        continue;
      }
      if (hull == inf) hull = envelope.hullNow(x);
      if (h > hull + hullExcess * (1 + std::fabs(hull) + std::fabs(h))) {
        // h rises above the hull at x: rounding of h (a staircase in its last
        // places, an overflow, a location far larger than the scale) broke
        // concavity where no three points prove it. The hull proposed x too
        // seldom, not too often: x is accepted, as h above the candidate's
        // height says (turning it away would make the shortfall worse), and
        // joins the points at once, raising the hull where it was too low.
        ++counts.hullRepairs;
        hasTable = false;
        thinning = false;
        if (refining() && !envelope.insert(x, h) && piece != nullptr) halve(*piece);
        if (logHeight <= h) {
          ++counts.densityAccepts;
          return x;
        }
        ++counts.rejections;
        continue;
      }
      const bool accepted = logHeight <= h;
      // Every evaluated point may refine: accepted ones too, so that pieces
      // where the squeeze is missing or far below the hull tighten as well.
      if (refining()) {
        if (fromTable || accepted) {
          // An accepted point joins without a rebuild: the next draw (or
          // accessor) rebuilds, and a sampler used for one draw never does.
          envelope.add(x, h);
        } else if (added < maxAdded && envelope.add(x, h)) {
          thinning = true;
          ++added;
          missed = 0;
        } else if (!envelope.insert(x, h)) {
          halve(*piece);
        }
      }
      if (accepted) {
        ++counts.densityAccepts;
        return x;
      }
      ++counts.rejections;
      if (fromTable) ++tableRejections;
    }
    throw std::runtime_error("no candidate accepted in " + std::to_string(maxTries) +
                             " tries: the envelope cannot be refined (setMaxPoints?)");
  }
};

namespace {

// The envelope's points, hull and squeeze as vertices for plotting.
Envelope outline(const detail::HullEnvelope& e) {
  Envelope out;
  for (const detail::HullPoint& p : e.points()) {
    out.x.push_back(p.x);
    out.h.push_back(p.h);
    out.squeezeX.push_back(p.x);
    out.squeezeY.push_back(p.h);
  }
  const auto at = [](const detail::HullSegment& s, double x) {
    return std::isinf(x) ? -inf : s.top - s.rate * std::fabs(x - s.anchor);
  };
  for (const detail::HullSegment& s : e.segments()) {
    const double leftY = at(s, s.left);
    if (out.hullX.empty() || out.hullX.back() != s.left || out.hullY.back() != leftY) {
      out.hullX.push_back(s.left);
      out.hullY.push_back(leftY);
    }
    out.hullX.push_back(s.right);
    out.hullY.push_back(at(s, s.right));
  }
  return out;
}

pcg64 unseededEngine() {
  const detail::FreshSeed s = detail::freshSeed();
  return pcg64(s.state, s.stream);
}

}  // namespace

LogConcaveSampler::LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                                     const std::vector<double>& starts)
    : core_(Core::make(unseededEngine())) {
  core_->start(std::move(logDensity), lower, upper, starts);
}

LogConcaveSampler::LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                                     const std::vector<double>& starts, std::uint64_t seed)
    : core_(Core::make(pcg64(seed))) {
  core_->start(std::move(logDensity), lower, upper, starts);
}

LogConcaveSampler::LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                                     std::initializer_list<double> starts)
    : core_(Core::make(unseededEngine())) {
  core_->start(std::move(logDensity), lower, upper, {starts.begin(), starts.size()});
}

LogConcaveSampler::LogConcaveSampler(LogDensity logDensity, double lower, double upper,
                                     std::initializer_list<double> starts, std::uint64_t seed)
    : core_(Core::make(pcg64(seed))) {
  core_->start(std::move(logDensity), lower, upper, {starts.begin(), starts.size()});
}

void LogConcaveSampler::seed(std::uint64_t value) { core().engine = pcg64(value); }
void LogConcaveSampler::seed() { core().engine = unseededEngine(); }

LogConcaveSampler::~LogConcaveSampler() {
  if (core_) Core::keep(std::move(core_));
}
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
  c.drawMany(source, out, count);
}

double LogConcaveSampler::sampleFrom(detail::UniformSource& source) { return core().draw(source); }

void LogConcaveSampler::sampleFrom(detail::UniformSource& source, double* out, std::size_t count) {
  core().drawMany(source, out, count);
}

void LogConcaveSampler::reset(LogDensity logDensity, double lower, double upper,
                              const std::vector<double>& starts) {
  resetFrom(std::move(logDensity), lower, upper, starts.data(), starts.size());
}

void LogConcaveSampler::reset(LogDensity logDensity, double lower, double upper,
                              std::initializer_list<double> starts) {
  resetFrom(std::move(logDensity), lower, upper, starts.begin(), starts.size());
}

void LogConcaveSampler::warmReset(LogDensity logDensity, double lower, double upper,
                                  const std::vector<double>& starts) {
  warmResetFrom(std::move(logDensity), lower, upper, starts.data(), starts.size());
}

void LogConcaveSampler::warmReset(LogDensity logDensity, double lower, double upper,
                                  std::initializer_list<double> starts) {
  warmResetFrom(std::move(logDensity), lower, upper, starts.begin(), starts.size());
}

void LogConcaveSampler::resetFrom(LogDensity logDensity, double lower, double upper,
                                  const double* starts, std::size_t count) {
  Core& c = core();
  c.start(std::move(logDensity), lower, upper, {starts, count});
  c.lastShape = detail::LearnedShape{};
  c.drift = -1.0;
}

void LogConcaveSampler::warmResetFrom(LogDensity logDensity, double lower, double upper,
                                      const double* starts, std::size_t count) {
  Core& c = core();
  const detail::LearnedShape shape = detail::learnedShape(c.envelope.points());
  const detail::LearnedShape lastShape = c.lastShape;
  const double drift = c.drift;
  c.guides.clear();
  if (c.steady(shape)) {
    const double spread = detail::StartSearch::spread * shape.scale;
    c.guides.assign({shape.mode - spread, shape.mode + spread});
  }
  try {
    detail::GuidedStart g;
    if (c.startGuided(logDensity, lower, upper, {starts, count}, shape.unit, g)) return;
    c.start(std::move(logDensity), lower, upper, {starts, count}, shape.unit, c.guides,
            {g.evaluated, g.evaluations});
  } catch (...) {
    // The memory of past conditionals too stays as it was.
    c.lastShape = lastShape;
    c.drift = drift;
    throw;
  }
}

const SamplerCounts& LogConcaveSampler::counts() const { return core().counts; }
// The points and the limits are current even before a build.
std::size_t LogConcaveSampler::points() const { return core().envelope.points().size(); }
double LogConcaveSampler::lowerLimit() const { return core().envelope.lower(); }
double LogConcaveSampler::upperLimit() const { return core().envelope.upper(); }

double LogConcaveSampler::hatArea() const { return std::exp(logHatArea()); }
double LogConcaveSampler::squeezeArea() const { return std::exp(logSqueezeArea()); }
double LogConcaveSampler::squeezeHatRatio() const {
  return core().read([](const detail::HullEnvelope& e) { return e.ratio(); });
}
double LogConcaveSampler::logHatArea() const {
  return core().read([](const detail::HullEnvelope& e) { return e.logHatArea(); });
}
double LogConcaveSampler::logSqueezeArea() const {
  return core().read([](const detail::HullEnvelope& e) { return e.logSqueezeArea(); });
}

Envelope LogConcaveSampler::envelope() const {
  return core().read([](const detail::HullEnvelope& e) { return outline(e); });
}

void LogConcaveSampler::check(std::size_t extraPoints) {
  Core& c = core();
  asOneZeroReport([&] { c.check(extraPoints); });
}

void LogConcaveSampler::setMaxPoints(std::size_t n) { core().maxPoints = std::max<std::size_t>(n, 3); }
void LogConcaveSampler::setTargetRatio(double r) {
  if (!(r >= 0 && r <= 1)) throw std::invalid_argument("the target ratio " + number(r) + " must lie in [0, 1]");
  core().targetRatio = r;
}

}  // namespace ars
