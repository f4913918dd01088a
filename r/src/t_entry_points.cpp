// The .Call entry points of rtconcave and tconcave_sampler.
#include <Rcpp.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

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
  explicit Arguments(const MatchedArguments& m)
      : lo(supportEnd(m.value[1], "lower", R_NegInf)),
        hi(supportEnd(m.value[2], "upper", R_PosInf)),
        transform(transformOf(m.value[3])),
        automatic((ars::detail::checkSupport(lo, hi), automaticSplits(m.value[4]))),
        cuts(automatic ? std::vector<double>{} : splitPoints(orNull(m.value[4]), lo, hi)),
        s(startingPoints(orNull(m.value[5]))),
        extra(checkPoints(m.value[7])),
        scan(scanGrid(m.value[8])) {
    startsInside(s, lo, hi);
    if (scan && !automatic) throw std::invalid_argument("scan serves only splits = \"auto\"");
  }
  // A sampler with these splits; then scanOn(it).
  ars::TConcaveSampler make(std::function<double(double)> h) const {
    return automatic ? ars::TConcaveSampler(std::move(h), lo, hi, transform, ars::Splits::Automatic, s)
                     : ars::TConcaveSampler(std::move(h), lo, hi, transform, cuts, s);
  }
  void scanOn(ars::TConcaveSampler& t) const {
    if (scan) t.setScan(scan->from, scan->to, scan->points);
  }
  double lo, hi;
  ars::Transform transform;
  bool automatic;  // splits = "auto"
  std::vector<double> cuts, s;
  std::size_t extra;  // points of the check, if any
  std::optional<ScanGrid> scan;
};

using HeldTConcave = HeldSampler<ars::TConcaveSampler>;

HeldTConcave& held(SEXP xp) { return heldSampler<ars::TConcaveSampler>(xp, "tconcave_sampler"); }

auto rebuild(HeldTConcave& s) {
  return [&s] {
    if (s.automaticSplits)
      s.sampler.reset(s.logDensity, s.lower, s.upper, ars::Splits::Automatic, s.starts);
    else
      s.sampler.reset(s.logDensity, s.lower, s.upper, s.splits, s.starts);
  };
}

template <int Kind>
SEXP reusedDraws(std::function<double(double)> h, const Arguments& a, std::size_t count) {
  // A kept sampler would carry one call's scan into the next: automatic
  // splits get a fresh one.
  Reusable<ars::TConcaveSampler, Kind> reusable;
  if (!reusable.mine() || a.automatic) {
    ars::TConcaveSampler fresh = a.make(std::move(h));
    a.scanOn(fresh);
    if (a.extra > 0) fresh.check(a.extra);
    return drawVector(fresh, count);
  }
  auto& sampler = reusable.prepare(
      std::move(h), [&](auto call) { return ars::TConcaveSampler(call, a.lo, a.hi, a.transform, a.cuts, a.s); },
      [&](auto& kept, auto call) { kept.reset(call, a.lo, a.hi, a.cuts, a.s); });
  if (a.extra > 0) sampler.check(a.extra);
  return drawVector(sampler, count);
}

// The formals after the dots of rtconcave and tconcave_sampler.
const std::vector<SEXP>& formals() {
  static const std::vector<SEXP> f = symbols({"logpdf", "lower", "upper", "c", "splits", "starts", "params", "check", "scan"});
  return f;
}

}  // namespace

// rtconcave(n, ..., logpdf, lower, upper, c, splits, starts, params, check, scan):
// .External hands over n and the wrapper's frame (arguments.h).
extern "C" SEXP ars_rtconcave(SEXP args) {
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
    const Arguments a(m);
    SEXP params = orNull(m.value[6]);
    auto h = logDensityFrom(m.value[0], params, m.extra);
    // The arguments are protected; a double copy of params is not.
    Rcpp::RObject keep(params != orNull(m.value[6]) ? params : R_NilValue);
    // A sampler keeps its transformation: one kept sampler for each.
    if (a.transform == ars::Transform::Log) return reusedDraws<0>(std::move(h), a, count);
    return reusedDraws<1>(std::move(h), a, count);
  });
}

extern "C" SEXP ars_tsampler_new(SEXP args) {
  const ForcedArguments forced = forceArguments(CADR(args), formals());
  return guarded([&] {
    MatchedArguments m;
    matchArguments(CADR(args), forced, formals(), m);
    const Arguments a(m);
    SEXP params = orNull(m.value[6]);
    auto h = logDensityFrom(m.value[0], params, m.extra);
    Rcpp::List keep = Rcpp::List::create(m.value[0], params, m.extra);
    auto held = std::make_unique<HeldTConcave>(
        HeldTConcave{h, a.make(h), a.lo, a.hi});
    a.scanOn(held->sampler);
    held->automaticSplits = a.automatic;
    held->c = a.transform == ars::Transform::Log ? 0 : -0.5;
    held->splits = a.cuts;
    held->starts = a.s;
    if (a.extra > 0) held->sampler.check(a.extra);
    return heldSamplerPointer(std::move(held), keep);
  });
}

extern "C" SEXP ars_tsampler_sample(SEXP xp, SEXP n) {
  return guarded([&] {
    const std::size_t count = drawCount(n);
    HeldTConcave& s = held(xp);
    return withSampler(s, rebuild(s), [&] { return drawVector(s.sampler, count); });
  });
}

// One Gibbs update on the warm path, as logconcave_sampler's $update: the
// same support, transformation and split points, the next conditional.
extern "C" SEXP ars_tsampler_update(SEXP xp, SEXP start, SEXP params) {
  return guarded([&] {
    HeldTConcave& s = held(xp);
    const double x0 = supportEnd(start, "start");
    if (!(x0 > s.lower && x0 < s.upper)) {
      throw std::invalid_argument("the starting abscissa " + ars::detail::number(x0) + " lies outside the support [" +
                                  ars::detail::number(s.lower) + ", " + ars::detail::number(s.upper) + "]");
    }
    SEXP keep = R_ExternalPtrProtected(xp);
    SEXP logpdf = VECTOR_ELT(keep, 0);
    return withSampler(s, rebuild(s), [&] {
      const auto warm = [&](const std::function<double(double)>& h) {
        if (s.automaticSplits)
          s.sampler.warmReset(h, s.lower, s.upper, ars::Splits::Automatic, {x0});
        else
          s.sampler.warmReset(h, s.lower, s.upper, s.splits, {x0});
      };
      if (isCompiledLogDensity(logpdf) || params != R_NilValue) {
        auto h = logDensityFrom(logpdf, params, VECTOR_ELT(keep, 2));
        Rcpp::RObject copy(params);
        warm(h);
        s.logDensity = std::move(h);
        SET_VECTOR_ELT(keep, 1, params);
      } else {
        warm(s.logDensity);
      }
      return drawVector(s.sampler, 1);
    });
  });
}

// $check(n), as logconcave_sampler's.
extern "C" SEXP ars_tsampler_check(SEXP xp, SEXP n) {
  return guarded([&] {
    const std::size_t extra = checkPoints(n, "n");
    HeldTConcave& s = held(xp);
    withSampler(s, rebuild(s), [&] { s.sampler.check(extra); });
    return R_NilValue;
  });
}

// hat_area, squeeze_area (as their logarithms too, which never overflow),
// evaluations, and the number of points.
extern "C" SEXP ars_tsampler_state(SEXP xp) {
  return guarded([&] {
    const HeldTConcave& h = held(xp);
    if (h.busy) throw std::logic_error("a sampler cannot be used from inside its own logpdf");
    const ars::TConcaveSampler& s = h.sampler;
    return static_cast<SEXP>(Rcpp::NumericVector::create(
        Rcpp::Named("hat_area") = s.hatArea(), Rcpp::Named("squeeze_area") = s.squeezeArea(),
        Rcpp::Named("log_hat_area") = s.logHatArea(), Rcpp::Named("log_squeeze_area") = s.logSqueezeArea(),
        Rcpp::Named("evaluations") = static_cast<double>(s.evaluations()),
        Rcpp::Named("points") = static_cast<double>(s.points()), Rcpp::Named("lower") = h.lower,
        Rcpp::Named("upper") = h.upper, Rcpp::Named("c") = h.c));
  });
}

extern "C" SEXP ars_tsampler_points(SEXP xp) {
  return guarded([&] {
    const HeldTConcave& held_ = held(xp);
    if (held_.busy) throw std::logic_error("a sampler cannot be used from inside its own logpdf");
    const ars::TConcaveSampler& s = held_.sampler;
    const std::vector<double> x = s.evaluatedPoints(), h = s.evaluatedLogDensities();
    // Found split points change with the density and the draws.
    const std::vector<double>& cuts = held_.automaticSplits ? s.splits() : held_.splits;
    return static_cast<SEXP>(Rcpp::List::create(
        Rcpp::Named("x") = Rcpp::NumericVector(x.begin(), x.end()),
        Rcpp::Named("logpdf") = Rcpp::NumericVector(h.begin(), h.end()),
        Rcpp::Named("splits") = Rcpp::NumericVector(cuts.begin(), cuts.end()),
        Rcpp::Named("automatic") = held_.automaticSplits));
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
