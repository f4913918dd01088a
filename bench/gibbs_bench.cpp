// One update of a Gibbs sampler: a new log-concave conditional, the chain's
// state as the start, one draw. Side by side in one run: a fresh
// LogConcaveSampler per update, the warm path (warmReset), UNU.RAN's ARS
// re-initialised per update (when found at configure time) and a
// stepping-out slice sampler with w = 1. Counters: evaluations of h (and of
// h' for UNU.RAN) per update, and the most any single update spent. The
// *_checked modes call check() on every update (its cost is their h less
// that of the plain mode); cauchy_one_draw shows what check() catches.
// poisson_lognormal/* runs a whole chain (200 latent log-rates, then their
// mean and variance) and reports its effective samples per CPU second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "sampler/log_concave_sampler.h"
#include "three_point_floor.h"

#ifdef ARS_HAVE_UNURAN
#include <unuran.h>
#endif

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

using Rng = std::mt19937_64;

// A family of conditionals; advance() moves its parameters (from a stream of
// its own, so that every method sees the same sequence) given the chain's state.
struct Conditional {
  virtual ~Conditional() = default;
  virtual double h(double x) const = 0;
  virtual double dh(double x) const = 0;
  virtual void advance(Rng& g, double state) = 0;
  // The start of the update: the chain's state unless the workload fixes it.
  virtual double start(double state) { return state; }
  double lower = -inf, upper = inf, initial = 0;
};

struct MovingNormal : Conditional {
  double m = 0;
  double h(double x) const override { return -0.5 * (x - m) * (x - m); }
  double dh(double x) const override { return -(x - m); }
  void advance(Rng& g, double) override { m = 0.8 * m + 0.6 * std::normal_distribution<>()(g); }
};

double softplus(double e) { return e > 0 ? e + std::log1p(std::exp(-e)) : std::log1p(std::exp(e)); }

struct LogisticCoefficient : Conditional {
  std::vector<double> x, w, y;
  double gamma = 0.5;
  LogisticCoefficient() {
    Rng g(7);
    std::normal_distribution<> z;
    std::uniform_real_distribution<> u;
    for (int i = 0; i < 200; ++i) {
      x.push_back(z(g));
      w.push_back(z(g));
      const double eta = x.back() + 0.5 * w.back();
      y.push_back(u(g) < 1 / (1 + std::exp(-eta)) ? 1.0 : 0.0);
    }
    initial = 1;
  }
  double h(double b) const override {
    double s = -b * b / 200;
    for (std::size_t i = 0; i < x.size(); ++i) {
      const double eta = b * x[i] + gamma * w[i];
      s += y[i] * eta - softplus(eta);
    }
    return s;
  }
  double dh(double b) const override {
    double s = -b / 100;
    for (std::size_t i = 0; i < x.size(); ++i) {
      const double eta = b * x[i] + gamma * w[i];
      s += (y[i] - 1 / (1 + std::exp(-eta))) * x[i];
    }
    return s;
  }
  void advance(Rng& g, double) override {
    gamma = 0.5 + 0.8 * (gamma - 0.5) + 0.1 * std::normal_distribution<>()(g);
  }
};

struct GammaRate : Conditional {
  double rate = 1, logRate = 0;
  GammaRate() {
    lower = 0;
    initial = 3.5;
  }
  double h(double t) const override { return t > 0 ? 2.5 * std::log(t) - rate * t : -inf; }
  double dh(double t) const override { return 2.5 / t - rate; }
  void advance(Rng& g, double) override {
    logRate = 0.8 * logRate + 0.5 * std::normal_distribution<>()(g);
    rate = std::exp(logRate);
  }
};

// N(0, 1) every update: the warm path then knows mode and scale exactly and
// places its three points where a draw costs least, so its count is the
// least any update of a normal can cost with a derivative-free hull (three
// points, then about 1.06 evaluations for the draw).
struct FixedNormal : Conditional {
  double h(double x) const override { return -0.5 * x * x; }
  double dh(double x) const override { return -x; }
  void advance(Rng&, double) override {}
};

struct BetaBinomial : Conditional {
  double k = 5;
  BetaBinomial() {
    lower = 0;
    upper = 1;
    initial = 0.3;
  }
  double h(double p) const override {
    return p > 0 && p < 1 ? k * std::log(p) + (20 - k) * std::log1p(-p) : -inf;
  }
  double dh(double p) const override { return k / p - (20 - k) / (1 - p); }
  void advance(Rng& g, double state) override {
    k = static_cast<double>(std::binomial_distribution<int>(20, state)(g));
  }
};

struct CountModel : Conditional {
  double y;
  explicit CountModel(double count) : y(count) { initial = std::log(count + 0.5); }
  double h(double t) const override { return y * t - 1.5 * std::exp(t) - t * t / 200; }
  double dh(double t) const override { return y - 1.5 * std::exp(t) - t / 100; }
  void advance(Rng&, double) override {}
};

// t - e^t from starts on a grid over [-10, 10], in turn.
struct GumbelFromGrid : Conditional {
  int next = 0;
  double h(double t) const override { return t - std::exp(t); }
  double dh(double t) const override { return 1 - std::exp(t); }
  void advance(Rng&, double) override {}
  double start(double) override { return -10 + 0.5 * (next++ % 41); }
};

using Make = std::unique_ptr<Conditional> (*)();

struct Workload {
  const char* name;
  Make make;
};

const Workload workloads[] = {
    {"a_normal", [] { return std::unique_ptr<Conditional>(new MovingNormal); }},
    {"b_logistic", [] { return std::unique_ptr<Conditional>(new LogisticCoefficient); }},
    {"c_gamma", [] { return std::unique_ptr<Conditional>(new GammaRate); }},
    {"d_beta", [] { return std::unique_ptr<Conditional>(new BetaBinomial); }},
    {"count_y0", [] { return std::unique_ptr<Conditional>(new CountModel(0)); }},
    {"count_y1", [] { return std::unique_ptr<Conditional>(new CountModel(1)); }},
    {"count_y3", [] { return std::unique_ptr<Conditional>(new CountModel(3)); }},
    {"count_y30", [] { return std::unique_ptr<Conditional>(new CountModel(30)); }},
    {"count_y3000", [] { return std::unique_ptr<Conditional>(new CountModel(3000)); }},
    {"fixed_normal", [] { return std::unique_ptr<Conditional>(new FixedNormal); }},
    {"gumbel_starts", [] { return std::unique_ptr<Conditional>(new GumbelFromGrid); }},
};

// Counters shared by every method: evaluations per update, the largest.
struct Tally {
  std::uint64_t h = 0, dh = 0, updates = 0, most = 0;
  void update(std::uint64_t spent) {
    ++updates;
    most = std::max(most, spent);
  }
  void report(benchmark::State& state, bool derivatives) const {
    const double n = static_cast<double>(std::max<std::uint64_t>(updates, 1));
    state.counters["h"] = static_cast<double>(h) / n;
    if (derivatives) state.counters["dh"] = static_cast<double>(dh) / n;
    state.counters["max"] = static_cast<double>(most);
  }
};

// checked: LogConcaveSampler::check() after every reset, before the draw.
void fresh(benchmark::State& state, const Workload& w, bool checked) {
  auto c = w.make();
  Rng params(1), g(2);
  Tally tally;
  double x = c->initial;
  const Conditional* cc = c.get();
  for (auto _ : state) {
    c->advance(params, x);
    ars::LogConcaveSampler s([cc](double t) { return cc->h(t); }, c->lower, c->upper, {c->start(x)});
    if (checked) s.check();
    x = s.sample(g);
    tally.h += s.counts().evaluations;
    tally.update(s.counts().evaluations);
  }
  tally.report(state, false);
}

void warm(benchmark::State& state, const Workload& w, bool checked) {
  auto c = w.make();
  Rng params(1), g(2);
  Tally tally;
  double x = c->initial;
  const Conditional* cc = c.get();
  const auto f = [cc](double t) { return cc->h(t); };
  ars::LogConcaveSampler s(f, c->lower, c->upper, {x});
  for (auto _ : state) {
    c->advance(params, x);
    s.warmReset(f, c->lower, c->upper, {c->start(x)});
    if (checked) s.check();
    x = s.sample(g);
    tally.h += s.counts().evaluations;
    tally.update(s.counts().evaluations);
  }
  tally.report(state, false);
}

// The three-point floor (three_point_floor.h): the least a derivative-free
// update can cost, beside slice. The warm path serves the updates the floor
// cannot; counter "served": the share the floor drew itself.
void threePointFloor(benchmark::State& state, const Workload& w) {
  auto c = w.make();
  Rng params(1), g(2);
  std::uniform_real_distribution<> u;
  Tally tally;
  double x = c->initial;
  const Conditional* cc = c.get();
  const std::function<double(double)> f = [cc](double t) { return cc->h(t); };
  const std::function<double()> uniform = [&u, &g] { return u(g); };
  ars::LogConcaveSampler exact(f, c->lower, c->upper, {x});
  bench::ThreePointFloor floor(x);
  double served = 0;
  for (auto _ : state) {
    c->advance(params, x);
    std::uint64_t n = 0;
    if (floor.update(f, c->lower, c->upper, uniform, x, n)) {
      ++served;
    } else {
      exact.warmReset(f, c->lower, c->upper, {c->start(x)});
      x = exact.sample(g);
      n += exact.counts().evaluations;
      floor.missed(x);
    }
    tally.h += n;
    tally.update(n);
  }
  tally.report(state, false);
  state.counters["served"] = served / static_cast<double>(std::max<std::uint64_t>(tally.updates, 1));
}

// A density outside the class, the Cauchy, in the one-draw pattern: a fresh
// sampler per update started at the chain's state. Counters: the share of
// updates that raised an error, without check() and with it, and the share
// of the silent draws beyond 10 (P(|X| > 10) = 0.063 for the Cauchy).
void cauchyOneDraw(benchmark::State& state, bool checked) {
  Rng g(3);
  const auto h = [](double t) { return -std::log1p(t * t); };
  double x = 0, caught = 0, updates = 0, silent = 0, far = 0;
  for (auto _ : state) {
    ++updates;
    try {
      ars::LogConcaveSampler s(h, -inf, inf, {x});
      if (checked) s.check();
      const double y = s.sample(g);
      ++silent;
      if (std::fabs(y) > 10) ++far;
      x = y;
    } catch (const ars::NotLogConcave&) {
      ++caught;
      x = std::cauchy_distribution<>()(g);  // the chain goes on from an exact draw
    }
  }
  state.counters["caught"] = caught / updates;
  state.counters["far"] = silent > 0 ? far / silent : 0.0;
}

// Neal's stepping out (w = 1, no limit on the steps) and shrinkage.
void slice(benchmark::State& state, const Workload& w) {
  auto c = w.make();
  Rng params(1), g(2);
  std::uniform_real_distribution<> u;
  std::exponential_distribution<> e;
  Tally tally;
  double x = c->initial;
  for (auto _ : state) {
    c->advance(params, x);
    std::uint64_t n = 0;
    const auto h = [&](double t) {
      ++n;
      return t > c->lower && t < c->upper ? c->h(t) : -inf;
    };
    const double x0 = c->start(x);
    const double level = h(x0) - e(g);
    double left = x0 - u(g), right = left + 1;
    while (h(left) > level) left -= 1;
    while (h(right) > level) right += 1;
    for (;;) {
      const double t = left + (right - left) * u(g);
      if (h(t) > level) {
        x = t;
        break;
      }
      (t < x0 ? left : right) = t;
    }
    tally.h += n;
    tally.update(n);
  }
  tally.report(state, false);
}

// A Poisson-lognormal model: y_i ~ Poisson(e^t_i), t_i ~ N(mu, s2), a flat
// prior on mu and s2 ~ InvGamma(1, 1); 140 of the 200 counts are 0. A sweep
// draws the 200 latent t_i from y t - e^t - (t - mu)^2 / (2 s2) by the
// method under test, then mu and s2 from their exact conditionals.
struct PoissonLognormal {
  std::vector<double> y, t;
  double mu = 0, s2 = 1;
  PoissonLognormal() {
    Rng g(11);
    std::normal_distribution<> z;
    for (int i = 0; i < 200; ++i) {
      const double rate = std::exp(-1.3 + z(g));
      y.push_back(static_cast<double>(std::poisson_distribution<int>(rate)(g)));
      t.push_back(std::log(y.back() + 0.5));
    }
  }
  double h(std::size_t i, double v) const {
    return y[i] * v - std::exp(v) - (v - mu) * (v - mu) / (2 * s2);
  }
  void hyper(Rng& g) {
    const double n = static_cast<double>(t.size());
    double mean = 0;
    for (double v : t) mean += v;
    mean /= n;
    mu = mean + std::sqrt(s2 / n) * std::normal_distribution<>()(g);
    double ss = 0;
    for (double v : t) ss += (v - mu) * (v - mu);
    s2 = (1 + 0.5 * ss) / std::gamma_distribution<>(1 + 0.5 * n, 1.0)(g);
  }
};

// Effective sample size of a chain: Geyer's initial positive sequence of
// autocorrelation pairs.
double effectiveSize(const std::vector<double>& v) {
  const std::size_t n = v.size();
  if (n < 4) return 0;
  double mean = 0;
  for (double x : v) mean += x;
  mean /= static_cast<double>(n);
  const auto acov = [&](std::size_t lag) {
    double s = 0;
    for (std::size_t i = 0; i + lag < n; ++i) s += (v[i] - mean) * (v[i + lag] - mean);
    return s / static_cast<double>(n);
  };
  const double c0 = acov(0);
  if (!(c0 > 0)) return 0;
  double sum = 0;
  for (std::size_t lag = 0; lag + 1 < n; lag += 2) {
    const double pair = (acov(lag) + acov(lag + 1)) / c0;
    if (!(pair > 0)) break;
    sum += pair;
  }
  return static_cast<double>(n) / std::max(2 * sum - 1, 1.0);
}

enum class Method { Fresh, Warm, Slice };

// One benchmark iteration is one sweep. Counters: evaluations of h per
// latent update, and the effective samples per CPU second of mu and of log s2
// (the smaller of the two), for the chain as the iterations ran it.
void poissonLognormal(benchmark::State& state, Method method) {
  PoissonLognormal m;
  Rng g(2);
  std::uniform_real_distribution<> u;
  std::exponential_distribution<> e;
  std::uint64_t evaluations = 0, updates = 0;
  std::vector<double> mus, logS2;
  std::size_t current = 0;
  const auto h = [&m, &current](double v) { return m.h(current, v); };
  std::vector<ars::LogConcaveSampler> warm;
  if (method == Method::Warm) {
    for (std::size_t i = 0; i < m.t.size(); ++i) {
      current = i;
      warm.emplace_back(h, -inf, inf, std::vector<double>{m.t[i]});
    }
  }
  for (auto _ : state) {
    for (std::size_t i = 0; i < m.t.size(); ++i) {
      current = i;
      double& x = m.t[i];
      if (method == Method::Fresh) {
        ars::LogConcaveSampler s(h, -inf, inf, {x});
        x = s.sample(g);
        evaluations += s.counts().evaluations;
      } else if (method == Method::Warm) {
        warm[i].warmReset(h, -inf, inf, {x});
        x = warm[i].sample(g);
        evaluations += warm[i].counts().evaluations;
      } else {
        const double x0 = x;
        const double level = h(x0) - e(g);
        double left = x0 - u(g), right = left + 1;
        evaluations += 1;
        while (++evaluations, h(left) > level) left -= 1;
        while (++evaluations, h(right) > level) right += 1;
        for (;;) {
          const double v = left + (right - left) * u(g);
          ++evaluations;
          if (h(v) > level) {
            x = v;
            break;
          }
          (v < x0 ? left : right) = v;
        }
      }
      ++updates;
    }
    m.hyper(g);
    mus.push_back(m.mu);
    logS2.push_back(std::log(m.s2));
  }
  state.counters["h"] = static_cast<double>(evaluations) / static_cast<double>(std::max<std::uint64_t>(updates, 1));
  state.counters["ess_per_s"] =
      benchmark::Counter(std::min(effectiveSize(mus), effectiveSize(logS2)), benchmark::Counter::kIsRate);
}

#ifdef ARS_HAVE_UNURAN
struct UnuranCall {
  const Conditional* c = nullptr;
  std::uint64_t h = 0, dh = 0;
};
UnuranCall unuranCall;

double unuranLogPdf(double x, const UNUR_DISTR*) {
  ++unuranCall.h;
  return unuranCall.c->h(x);
}
double unuranDLogPdf(double x, const UNUR_DISTR*) {
  ++unuranCall.dh;
  return unuranCall.c->dh(x);
}
double unuranUniform(void* state) {
  return std::uniform_real_distribution<>()(*static_cast<Rng*>(state));
}

// The generator is built once; each update changes the density behind the
// callbacks and re-initialises it (from percentiles of the old hat).
void unuranArs(benchmark::State& state, const Workload& w) {
  auto c = w.make();
  Rng params(1), g(2);
  unur_set_error_handler_off();
  unuranCall = UnuranCall{c.get(), 0, 0};
  UNUR_URNG* urng = unur_urng_new(unuranUniform, &g);
  UNUR_DISTR* distr = unur_distr_cont_new();
  unur_distr_cont_set_logpdf(distr, unuranLogPdf);
  unur_distr_cont_set_dlogpdf(distr, unuranDLogPdf);
  unur_distr_cont_set_domain(distr, c->lower, c->upper);
  double x = c->initial;
  UNUR_PAR* par = unur_ars_new(distr);
  const double cpoints[] = {x - 0.5, x + 0.5};
  if (c->upper - c->lower > 2) unur_ars_set_cpoints(par, 2, cpoints);
  unur_set_urng(par, urng);
  UNUR_GEN* gen = unur_init(par);
  Tally tally;
  if (gen == nullptr) {
    state.SkipWithError("unur_init failed");
  } else {
    for (auto _ : state) {
      c->advance(params, x);
      const std::uint64_t before = unuranCall.h + unuranCall.dh;
      if (unur_reinit(gen) != UNUR_SUCCESS) {
        state.SkipWithError("unur_reinit failed");
        break;
      }
      x = unur_sample_cont(gen);
      tally.update(unuranCall.h + unuranCall.dh - before);
    }
    tally.h = unuranCall.h;
    tally.dh = unuranCall.dh;
    unur_free(gen);
  }
  tally.report(state, true);
  unur_distr_free(distr);
  unur_urng_free(urng);
}
#endif

// --updates=N runs every benchmark for exactly N updates, so that the
// evaluation counters repeat from run to run (the timings then say less).
std::int64_t fixedUpdates(int& argc, char** argv) {
  std::int64_t n = 0;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--updates=", 0) == 0) {
      n = std::stoll(a.substr(10));
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t updates = fixedUpdates(argc, argv);
  benchmark::Initialize(&argc, argv);
  for (const Workload& w : workloads) {
    const std::string name = w.name;
    std::vector<benchmark::internal::Benchmark*> added = {
        benchmark::RegisterBenchmark(("fresh/" + name).c_str(), fresh, w, false),
        benchmark::RegisterBenchmark(("warm/" + name).c_str(), warm, w, false),
#ifdef ARS_HAVE_UNURAN
        benchmark::RegisterBenchmark(("unuran_ars/" + name).c_str(), unuranArs, w),
#endif
        benchmark::RegisterBenchmark(("slice/" + name).c_str(), slice, w)};
    // The floor where the mode moves by about a scale per update, as its
    // three points can follow; Gamma's and Beta's jump further, and would
    // measure the warm path's search behind it instead.
    if (name == "a_normal" || name == "b_logistic") {
      added.push_back(benchmark::RegisterBenchmark(("three_point_floor/" + name).c_str(), threePointFloor, w));
    }
    // What check() costs per update, on the four log-concave families.
    if (name.size() > 2 && name[1] == '_') {
      added.push_back(benchmark::RegisterBenchmark(("fresh_checked/" + name).c_str(), fresh, w, true));
      added.push_back(benchmark::RegisterBenchmark(("warm_checked/" + name).c_str(), warm, w, true));
    }
    if (updates > 0) {
      for (benchmark::internal::Benchmark* b : added) b->Iterations(updates);
    }
  }
  for (const auto& [name, method] : {std::pair{"fresh", Method::Fresh}, std::pair{"warm", Method::Warm},
                                      std::pair{"slice", Method::Slice}}) {
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(
        (std::string("poisson_lognormal/") + name).c_str(), poissonLognormal, method);
    // A chain long enough for its effective size to say something.
    b->Iterations(updates > 0 ? updates : 2000);
  }
  for (bool checked : {false, true}) {
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(
        checked ? "cauchy_one_draw/checked" : "cauchy_one_draw/unchecked", cauchyOneDraw, checked);
    if (updates > 0) b->Iterations(updates);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
