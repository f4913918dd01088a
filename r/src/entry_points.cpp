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
#include "sampler/argument_checks.h"
#include "sampler/log_concave_sampler.h"

namespace {

using HeldLogConcave = HeldSampler<ars::LogConcaveSampler>;

HeldLogConcave& held(SEXP xp) { return heldSampler<ars::LogConcaveSampler>(xp, "logconcave_sampler"); }

// The formals after the dots of rlogconcave and logconcave_sampler.
const std::vector<SEXP>& formals() {
  static const std::vector<SEXP> f = symbols({"logpdf", "lower", "upper", "starts", "params", "check"});
  return f;
}

auto rebuild(HeldLogConcave& s) {
  return [&s] { s.sampler.reset(s.logDensity, s.lower, s.upper, s.starts); };
}

// The support, starts, params and check of the matched formals; params may
// be replaced by a double copy when the log-density is made from it.
struct Setting {
  double lo, hi;
  std::vector<double> starts;
  SEXP params;
  std::size_t extra;
};

Setting settingOf(const MatchedArguments& m) {
  return {supportEnd(m.value[1], "lower", R_NegInf), supportEnd(m.value[2], "upper", R_PosInf),
          startingPoints(orNull(m.value[3])), orNull(m.value[4]), checkPoints(m.value[5])};
}

SEXP numbers(const std::vector<double>& v) {
  return Rcpp::NumericVector(v.begin(), v.end());
}

}  // namespace

// rlogconcave(n, ..., logpdf, lower, upper, starts, params, check): .External hands
// over n and the wrapper's frame (arguments.h).
extern "C" SEXP ars_rlogconcave(SEXP args) {
  args = CDR(args);
  std::size_t count = 0;
  guarded([&] {
    count = drawCount(CAR(args));
    return R_NilValue;
  });
  const ForcedArguments forced = forceArguments(CADR(args), formals());
  return guarded([&] {
    MatchedArguments m;
    matchArguments(CADR(args), forced, formals(), m);
    Setting set = settingOf(m);
    const double lo = set.lo, hi = set.hi;
    const std::vector<double>& s = set.starts;
    SEXP& params = set.params;
    const std::size_t extra = set.extra;
    auto h = logDensityFrom(m.value[0], params, m.extra);
    // The arguments are protected; a double copy of params is not.
    Rcpp::RObject keep(params != orNull(m.value[4]) ? params : R_NilValue);
    Reusable<ars::LogConcaveSampler> reusable;
    if (!reusable.mine()) {
      ars::LogConcaveSampler fresh(std::move(h), lo, hi, s);
      if (extra > 0) fresh.check(extra);
      return drawVector(fresh, count);
    }
    auto& sampler = reusable.prepare(
        std::move(h), [&](auto call) { return ars::LogConcaveSampler(call, lo, hi, s); },
        [&](auto& kept, auto call) { kept.reset(call, lo, hi, s); });
    if (extra > 0) sampler.check(extra);
    return drawVector(sampler, count);
  });
}

// logconcave_sampler(..., logpdf, lower, upper, starts, params, check).
extern "C" SEXP ars_sampler_new(SEXP args) {
  const ForcedArguments forced = forceArguments(CADR(args), formals());
  return guarded([&] {
    MatchedArguments m;
    matchArguments(CADR(args), forced, formals(), m);
    Setting set = settingOf(m);
    const double lo = set.lo, hi = set.hi;
    const std::vector<double>& s = set.starts;
    SEXP& params = set.params;
    const std::size_t extra = set.extra;
    auto h = logDensityFrom(m.value[0], params, m.extra);
    Rcpp::List keep = Rcpp::List::create(m.value[0], params, m.extra);
    auto held = std::make_unique<HeldLogConcave>(HeldLogConcave{h, ars::LogConcaveSampler(h, lo, hi, s), lo, hi});
    held->starts = s;
    if (extra > 0) held->sampler.check(extra);
    return heldSamplerPointer(std::move(held), keep);
  });
}

extern "C" SEXP ars_sampler_sample(SEXP xp, SEXP n) {
  return guarded([&] {
    const std::size_t count = drawCount(n);
    HeldLogConcave& s = held(xp);
    return withSampler(s, rebuild(s), [&] { return drawVector(s.sampler, count); });
  });
}

// One Gibbs update: the sampler moves to the next conditional (new params
// for a compiled logpdf, else the pointer's tag; an R function as it now
// evaluates) on the warm path, started from start, and draws once. An
// update that fails leaves the sampler's log-density and params as they were.
extern "C" SEXP ars_sampler_update(SEXP xp, SEXP start, SEXP params) {
  return guarded([&] {
    HeldLogConcave& s = held(xp);
    const double x0 = supportEnd(start, "start");
    if (!(x0 > s.lower && x0 < s.upper)) {
      throw std::invalid_argument("the starting abscissa " + ars::detail::number(x0) + " lies outside the support [" +
                                  ars::detail::number(s.lower) + ", " + ars::detail::number(s.upper) + "]");
    }
    SEXP keep = R_ExternalPtrProtected(xp);
    SEXP logpdf = VECTOR_ELT(keep, 0);
    return withSampler(s, rebuild(s), [&] {
      if (isCompiledLogDensity(logpdf) || params != R_NilValue) {
        auto h = logDensityFrom(logpdf, params, VECTOR_ELT(keep, 2));
        Rcpp::RObject copy(params);
        s.sampler.warmReset(h, s.lower, s.upper, {x0});
        // Later draws call it too: params (or its double copy) stays with the sampler.
        s.logDensity = std::move(h);
        SET_VECTOR_ELT(keep, 1, params);
      } else {
        s.sampler.warmReset(s.logDensity, s.lower, s.upper, {x0});
      }
      return drawVector(s.sampler, 1);
    });
  });
}

// $check(n): n more points over the hat's mass, refused as not_log_concave
// when they and the others are not log-concave together.
extern "C" SEXP ars_sampler_check(SEXP xp, SEXP n) {
  return guarded([&] {
    const std::size_t extra = checkPoints(n, "n");
    HeldLogConcave& s = held(xp);
    withSampler(s, rebuild(s), [&] { s.sampler.check(extra); });
    return R_NilValue;
  });
}

// hat_area, squeeze_area, evaluations, and the number of points.
extern "C" SEXP ars_sampler_state(SEXP xp) {
  return guarded([&] {
    const HeldLogConcave& h = held(xp);
    if (h.busy) throw std::logic_error("a sampler cannot be used from inside its own logpdf");
    const ars::LogConcaveSampler& s = h.sampler;
    return static_cast<SEXP>(Rcpp::NumericVector::create(
        Rcpp::Named("hat_area") = s.hatArea(), Rcpp::Named("squeeze_area") = s.squeezeArea(),
        Rcpp::Named("evaluations") = static_cast<double>(s.counts().evaluations),
        Rcpp::Named("points") = static_cast<double>(s.points()), Rcpp::Named("lower") = h.lower,
        Rcpp::Named("upper") = h.upper));
  });
}

extern "C" SEXP ars_sampler_envelope(SEXP xp) {
  return guarded([&] {
    const HeldLogConcave& h = held(xp);
    if (h.busy) throw std::logic_error("a sampler cannot be used from inside its own logpdf");
    const ars::Envelope e = h.sampler.envelope();
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
SEXP ars_rtconcave(SEXP);
SEXP ars_tsampler_new(SEXP);
SEXP ars_tsampler_sample(SEXP, SEXP);
SEXP ars_tsampler_update(SEXP, SEXP, SEXP);
SEXP ars_tsampler_check(SEXP, SEXP);
SEXP ars_tsampler_state(SEXP);
SEXP ars_tsampler_points(SEXP);
SEXP ars_tsampler_logpdf(SEXP, SEXP);
}

namespace {

const R_CallMethodDef callMethods[] = {
    {"ars_sampler_sample", reinterpret_cast<DL_FUNC>(&ars_sampler_sample), 2},
    {"ars_sampler_update", reinterpret_cast<DL_FUNC>(&ars_sampler_update), 3},
    {"ars_sampler_check", reinterpret_cast<DL_FUNC>(&ars_sampler_check), 2},
    {"ars_sampler_state", reinterpret_cast<DL_FUNC>(&ars_sampler_state), 1},
    {"ars_sampler_envelope", reinterpret_cast<DL_FUNC>(&ars_sampler_envelope), 1},
    {"ars_sampler_logpdf", reinterpret_cast<DL_FUNC>(&ars_sampler_logpdf), 2},
    {"ars_tsampler_sample", reinterpret_cast<DL_FUNC>(&ars_tsampler_sample), 2},
    {"ars_tsampler_update", reinterpret_cast<DL_FUNC>(&ars_tsampler_update), 3},
    {"ars_tsampler_check", reinterpret_cast<DL_FUNC>(&ars_tsampler_check), 2},
    {"ars_tsampler_state", reinterpret_cast<DL_FUNC>(&ars_tsampler_state), 1},
    {"ars_tsampler_points", reinterpret_cast<DL_FUNC>(&ars_tsampler_points), 1},
    {"ars_tsampler_logpdf", reinterpret_cast<DL_FUNC>(&ars_tsampler_logpdf), 2},
    {nullptr, nullptr, 0}};

// Their arguments are matched in C++ (arguments.h).
const R_ExternalMethodDef externalMethods[] = {
    {"ars_rlogconcave", reinterpret_cast<DL_FUNC>(&ars_rlogconcave), -1},
    {"ars_sampler_new", reinterpret_cast<DL_FUNC>(&ars_sampler_new), -1},
    {"ars_rtconcave", reinterpret_cast<DL_FUNC>(&ars_rtconcave), -1},
    {"ars_tsampler_new", reinterpret_cast<DL_FUNC>(&ars_tsampler_new), -1},
    {nullptr, nullptr, 0}};

}  // namespace

void registerCApi();  // c_api.cpp

extern "C" void R_init_adaptiverejection(DllInfo* dll) {
  R_registerRoutines(dll, nullptr, callMethods, nullptr, externalMethods);
  registerCApi();
  R_useDynamicSymbols(dll, FALSE);
}
