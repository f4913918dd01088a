// The .Call entry points of the package and their registration.
#include <Rcpp.h>
#include <R_ext/Rdynload.h>

#include <memory>
#include <optional>

#include "arguments.h"
#include "draws.h"
#include "held_sampler.h"
#include "log_density.h"
#include "r_failure.h"
#include "reusable.h"
#include "sampler/log_concave_sampler.h"

namespace {

using HeldLogConcave = HeldSampler<ars::LogConcaveSampler>;

HeldLogConcave& held(SEXP xp) { return heldSampler<ars::LogConcaveSampler>(xp, "logconcave_sampler"); }

SEXP numbers(const std::vector<double>& v) {
  return Rcpp::NumericVector(v.begin(), v.end());
}

}  // namespace

extern "C" SEXP ars_rlogconcave(SEXP n, SEXP logpdf, SEXP lower, SEXP upper, SEXP starts,
                                SEXP params) {
  return guarded([&] {
    const std::size_t count = drawCount(n);
    const double lo = supportEnd(lower, "lower");
    const double hi = supportEnd(upper, "upper");
    std::vector<double> s = startingPoints(starts);
    const SEXP given = params;
    auto h = logDensityFrom(logpdf, params);
    // .Call's arguments are protected; a double copy of params is not.
    Rcpp::RObject keep(params != given ? params : R_NilValue);
    Reusable<ars::LogConcaveSampler> reusable;
    if (!reusable.mine()) {
      ars::LogConcaveSampler fresh(std::move(h), lo, hi, s);
      return drawVector(fresh, count);
    }
    auto& sampler = reusable.prepare(
        std::move(h), [&](auto call) { return ars::LogConcaveSampler(call, lo, hi, s); },
        [&](auto& kept, auto call) { kept.reset(call, lo, hi, s); });
    return drawVector(sampler, count);
  });
}

extern "C" SEXP ars_sampler_new(SEXP logpdf, SEXP lower, SEXP upper, SEXP starts, SEXP params) {
  return guarded([&] {
    const double lo = supportEnd(lower, "lower");
    const double hi = supportEnd(upper, "upper");
    std::vector<double> s = startingPoints(starts);
    auto h = logDensityFrom(logpdf, params);
    Rcpp::List keep = Rcpp::List::create(logpdf, params);
    return heldSamplerPointer(
        std::make_unique<HeldLogConcave>(HeldLogConcave{h, ars::LogConcaveSampler(h, lo, hi, s), lo, hi}), keep);
  });
}

extern "C" SEXP ars_sampler_sample(SEXP xp, SEXP n) {
  return guarded([&] {
    const std::size_t count = drawCount(n);
    return drawVector(held(xp).sampler, count);
  });
}

// One Gibbs update: the sampler moves to the next conditional (new params
// for a compiled logpdf, else the pointer's tag; an R function as it now
// evaluates) on the warm path, started from start, and draws once.
extern "C" SEXP ars_sampler_update(SEXP xp, SEXP start, SEXP params) {
  return guarded([&] {
    HeldLogConcave& s = held(xp);
    const double x0 = supportEnd(start, "start");
    SEXP keep = R_ExternalPtrProtected(xp);
    SEXP logpdf = VECTOR_ELT(keep, 0);
    if (isCompiledLogDensity(logpdf) || params != R_NilValue) {
      s.logDensity = logDensityFrom(logpdf, params);
      // Later draws call it too: params (or its double copy) stays with the sampler.
      SET_VECTOR_ELT(keep, 1, params);
    }
    s.sampler.warmReset(s.logDensity, s.lower, s.upper, {x0});
    return drawVector(s.sampler, 1);
  });
}

// hat_area, squeeze_area, evaluations, and the number of points.
extern "C" SEXP ars_sampler_state(SEXP xp) {
  return guarded([&] {
    const ars::LogConcaveSampler& s = held(xp).sampler;
    return static_cast<SEXP>(Rcpp::NumericVector::create(
        Rcpp::Named("hat_area") = s.hatArea(), Rcpp::Named("squeeze_area") = s.squeezeArea(),
        Rcpp::Named("evaluations") = static_cast<double>(s.counts().evaluations),
        Rcpp::Named("points") = static_cast<double>(s.points())));
  });
}

extern "C" SEXP ars_sampler_envelope(SEXP xp) {
  return guarded([&] {
    const ars::Envelope e = held(xp).sampler.envelope();
    return static_cast<SEXP>(Rcpp::List::create(
        Rcpp::Named("x") = numbers(e.x), Rcpp::Named("logpdf") = numbers(e.h),
        Rcpp::Named("hull_x") = numbers(e.hullX), Rcpp::Named("hull_y") = numbers(e.hullY),
        Rcpp::Named("squeeze_x") = numbers(e.squeezeX), Rcpp::Named("squeeze_y") = numbers(e.squeezeY)));
  });
}

// The log-density at each x, as the sampler sees it (no counting).
extern "C" SEXP ars_sampler_logpdf(SEXP xp, SEXP x) {
  return guarded([&] {
    const std::vector<double> at = Rcpp::as<std::vector<double>>(x);
    std::vector<double> h(at.size());
    for (std::size_t i = 0; i < at.size(); ++i) h[i] = held(xp).logDensity(at[i]);
    return numbers(h);
  });
}

// t_entry_points.cpp
extern "C" {
SEXP ars_rtconcave(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP ars_tsampler_new(SEXP, SEXP, SEXP, SEXP, SEXP, SEXP, SEXP);
SEXP ars_tsampler_sample(SEXP, SEXP);
SEXP ars_tsampler_state(SEXP);
SEXP ars_tsampler_points(SEXP);
SEXP ars_tsampler_logpdf(SEXP, SEXP);
}

namespace {

const R_CallMethodDef callMethods[] = {
    {"ars_rlogconcave", reinterpret_cast<DL_FUNC>(&ars_rlogconcave), 6},
    {"ars_sampler_new", reinterpret_cast<DL_FUNC>(&ars_sampler_new), 5},
    {"ars_sampler_sample", reinterpret_cast<DL_FUNC>(&ars_sampler_sample), 2},
    {"ars_sampler_update", reinterpret_cast<DL_FUNC>(&ars_sampler_update), 3},
    {"ars_sampler_state", reinterpret_cast<DL_FUNC>(&ars_sampler_state), 1},
    {"ars_sampler_envelope", reinterpret_cast<DL_FUNC>(&ars_sampler_envelope), 1},
    {"ars_sampler_logpdf", reinterpret_cast<DL_FUNC>(&ars_sampler_logpdf), 2},
    {"ars_rtconcave", reinterpret_cast<DL_FUNC>(&ars_rtconcave), 8},
    {"ars_tsampler_new", reinterpret_cast<DL_FUNC>(&ars_tsampler_new), 7},
    {"ars_tsampler_sample", reinterpret_cast<DL_FUNC>(&ars_tsampler_sample), 2},
    {"ars_tsampler_state", reinterpret_cast<DL_FUNC>(&ars_tsampler_state), 1},
    {"ars_tsampler_points", reinterpret_cast<DL_FUNC>(&ars_tsampler_points), 1},
    {"ars_tsampler_logpdf", reinterpret_cast<DL_FUNC>(&ars_tsampler_logpdf), 2},
    {nullptr, nullptr, 0}};

}  // namespace

void registerCApi();  // c_api.cpp

extern "C" void R_init_adaptiverejection(DllInfo* dll) {
  R_registerRoutines(dll, nullptr, callMethods, nullptr, nullptr);
  registerCApi();
  R_useDynamicSymbols(dll, FALSE);
}
