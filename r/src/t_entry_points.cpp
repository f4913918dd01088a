// The .Call entry points of rtconcave and tconcave_sampler.
#include <Rcpp.h>

#include <memory>
#include <stdexcept>

#include "arguments.h"
#include "draws.h"
#include "held_sampler.h"
#include "log_density.h"
#include "r_failure.h"
#include "reusable.h"
#include "sampler/argument_checks.h"
#include "sampler/t_concave_sampler.h"

namespace {

// The arguments every entry point checks the same way, in R's words before
// the engine's.
struct Arguments {
  Arguments(SEXP lower, SEXP upper, SEXP c, SEXP splits, SEXP starts)
      : lo(supportEnd(lower, "lower")),
        hi(supportEnd(upper, "upper")),
        transform(transformOf(c)),
        cuts((ars::detail::checkSupport(lo, hi), splitPoints(splits, lo, hi))),
        s(startingPoints(starts)) {
    startsInside(s, lo, hi);
  }
  double lo, hi;
  ars::Transform transform;
  std::vector<double> cuts, s;
};

using HeldTConcave = HeldSampler<ars::TConcaveSampler>;

HeldTConcave& held(SEXP xp) { return heldSampler<ars::TConcaveSampler>(xp, "tconcave_sampler"); }

template <int Kind>
SEXP reusedDraws(std::function<double(double)> h, const Arguments& a, std::size_t count) {
  Reusable<ars::TConcaveSampler, Kind> reusable;
  if (!reusable.mine()) {
    ars::TConcaveSampler fresh(std::move(h), a.lo, a.hi, a.transform, a.cuts, a.s);
    return drawVector(fresh, count);
  }
  auto& sampler = reusable.prepare(
      std::move(h), [&](auto call) { return ars::TConcaveSampler(call, a.lo, a.hi, a.transform, a.cuts, a.s); },
      [&](auto& kept, auto call) { kept.reset(call, a.lo, a.hi, a.cuts, a.s); });
  return drawVector(sampler, count);
}

}  // namespace

extern "C" SEXP ars_rtconcave(SEXP n, SEXP logpdf, SEXP lower, SEXP upper, SEXP c, SEXP splits,
                              SEXP starts, SEXP params) {
  return guarded([&] {
    const std::size_t count = drawCount(n);
    const Arguments a(lower, upper, c, splits, starts);
    const SEXP given = params;
    auto h = logDensityFrom(logpdf, params);
    // .Call's arguments are protected; a double copy of params is not.
    Rcpp::RObject keep(params != given ? params : R_NilValue);
    // A sampler keeps its transformation: one kept sampler for each.
    if (a.transform == ars::Transform::Log) return reusedDraws<0>(std::move(h), a, count);
    return reusedDraws<1>(std::move(h), a, count);
  });
}

extern "C" SEXP ars_tsampler_new(SEXP logpdf, SEXP lower, SEXP upper, SEXP c, SEXP splits, SEXP starts,
                                 SEXP params) {
  return guarded([&] {
    const Arguments a(lower, upper, c, splits, starts);
    auto h = logDensityFrom(logpdf, params);
    Rcpp::List keep = Rcpp::List::create(logpdf, params);
    return heldSamplerPointer(
        std::make_unique<HeldTConcave>(HeldTConcave{h, ars::TConcaveSampler(h, a.lo, a.hi, a.transform, a.cuts, a.s)}),
        keep);
  });
}

extern "C" SEXP ars_tsampler_sample(SEXP xp, SEXP n) {
  return guarded([&] {
    const std::size_t count = drawCount(n);
    return drawVector(held(xp).sampler, count);
  });
}

// hat_area, squeeze_area (as their logarithms too, which never overflow),
// evaluations, and the number of points.
extern "C" SEXP ars_tsampler_state(SEXP xp) {
  return guarded([&] {
    const ars::TConcaveSampler& s = held(xp).sampler;
    return static_cast<SEXP>(Rcpp::NumericVector::create(
        Rcpp::Named("hat_area") = s.hatArea(), Rcpp::Named("squeeze_area") = s.squeezeArea(),
        Rcpp::Named("log_hat_area") = s.logHatArea(), Rcpp::Named("log_squeeze_area") = s.logSqueezeArea(),
        Rcpp::Named("evaluations") = static_cast<double>(s.evaluations()),
        Rcpp::Named("points") = static_cast<double>(s.points())));
  });
}

extern "C" SEXP ars_tsampler_points(SEXP xp) {
  return guarded([&] {
    const ars::TConcaveSampler& s = held(xp).sampler;
    const std::vector<double> x = s.evaluatedPoints(), h = s.evaluatedLogDensities();
    return static_cast<SEXP>(Rcpp::List::create(Rcpp::Named("x") = Rcpp::NumericVector(x.begin(), x.end()),
                                                Rcpp::Named("logpdf") = Rcpp::NumericVector(h.begin(), h.end())));
  });
}

// The log-density at each x, as the sampler sees it (no counting).
extern "C" SEXP ars_tsampler_logpdf(SEXP xp, SEXP x) {
  return guarded([&] {
    const std::vector<double> at = Rcpp::as<std::vector<double>>(x);
    Rcpp::NumericVector h(at.size());
    for (std::size_t i = 0; i < at.size(); ++i) h[i] = held(xp).logDensity(at[i]);
    return static_cast<SEXP>(h);
  });
}
