#include "support/t_concave_cases.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "support/goodness_of_fit.h"
#include "support/student_t_cdf.h"

namespace {

const double kPi = std::acos(-1.0);
const double kInf = std::numeric_limits<double>::infinity();

double logPart(const Normal& p, double x) {
  const double z = (x - p.mean) / p.sd;
  return std::log(p.weight / p.sd) - 0.5 * z * z;
}

TConcaveCase studentT(const char* name, double nu) {
  return {name, [nu](double x) { return -0.5 * (nu + 1) * std::log1p(x * x / nu); },
          [nu](double x) { return studentTCdf(x, nu); }, -kInf, kInf, ars::Transform::InverseSqrt, {}};
}

}  // namespace

double Mixture::logpdf(double x) const {
  double top = -kInf;
  for (const Normal& p : parts) top = std::max(top, logPart(p, x));
  double sum = 0;
  for (const Normal& p : parts) sum += std::exp(logPart(p, x) - top);
  return top + std::log(sum);
}

double Mixture::cdf(double x) const {
  double c = 0;
  for (const Normal& p : parts) c += p.weight * 0.5 * std::erfc(-(x - p.mean) / (p.sd * std::sqrt(2.0)));
  return c;
}

// h'' = -E[1/sd^2] + Var[-(x - mean)/sd^2] under the components' posterior weights.
double Mixture::curvature(double x) const {
  const double h = logpdf(x);
  double mean = 0, square = 0, inverse = 0;
  for (const Normal& p : parts) {
    const double w = std::exp(logPart(p, x) - h), s = -(x - p.mean) / (p.sd * p.sd);
    mean += w * s;
    square += w * s * s;
    inverse += w / (p.sd * p.sd);
  }
  return -inverse + square - mean * mean;
}

std::vector<double> Mixture::inflections() const {
  std::vector<double> roots;
  for (double x = -20; x < 20; x += 0.01) {
    double a = x, b = x + 0.01;
    if ((curvature(a) > 0) == (curvature(b) > 0)) continue;
    for (int i = 0; i < 100; ++i) {
      const double m = 0.5 * (a + b);
      ((curvature(m) > 0) == (curvature(a) > 0) ? a : b) = m;
    }
    roots.push_back(0.5 * (a + b));
  }
  return roots;
}

std::vector<TConcaveCase> heavyTailCases() {
  return {
      studentT("t1.5", 1.5), studentT("t3", 3), studentT("t5", 5), studentT("t30", 30),
      {"cauchy", [](double x) { return -std::log1p(x * x); },
       [](double x) { return 0.5 + std::atan(x) / kPi; }, -kInf, kInf, ars::Transform::InverseSqrt, {}},
      {"t2", [](double x) { return -1.5 * std::log1p(x * x / 2); },
       [](double x) { return 0.5 + x / (2 * std::sqrt(2 + x * x)); }, -kInf, kInf,
       ars::Transform::InverseSqrt, {}},
      {"half-cauchy", [](double x) { return -std::log1p(x * x); },
       [](double x) { return 2 * std::atan(x) / kPi; }, 0, kInf, ars::Transform::InverseSqrt, {}},
      {"normal-log", [](double x) { return -0.5 * (x - 3) * (x - 3); },
       [](double x) { return 0.5 * std::erfc(-(x - 3) / std::sqrt(2.0)); }, -kInf, kInf,
       ars::Transform::Log, {}},
      {"normal-isqrt", [](double x) { return -0.5 * x * x; },
       [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }, -kInf, kInf,
       ars::Transform::InverseSqrt, {}},
  };
}

std::vector<TConcaveCase> pieceCases() {
  const Mixture twins{{{0.5, -3, 1}, {0.5, 3, 1}}};
  const Mixture lopsided{{{0.7, 0, 1}, {0.3, 4, 0.5}}};
  const auto quartic = [](double x) { return -x * x * x * x + 3 * x * x; };
  const auto flatTop = [](double x) {
    const double out = std::max(std::fabs(x) - 1, 0.0);
    return -out * out;
  };
  return {
      {"twins", [=](double x) { return twins.logpdf(x); }, [=](double x) { return twins.cdf(x); },
       -kInf, kInf, ars::Transform::Log, twins.inflections()},
      {"lopsided", [=](double x) { return lopsided.logpdf(x); },
       [=](double x) { return lopsided.cdf(x); }, -kInf, kInf, ars::Transform::Log,
       lopsided.inflections()},
      {"quartic", quartic, NumericCdf(quartic, -4, 4), -kInf, kInf, ars::Transform::Log,
       {-std::sqrt(0.5), std::sqrt(0.5)}},
      {"flat top", flatTop, NumericCdf(flatTop, -8, 8), -kInf, kInf, ars::Transform::Log, {-1, 1}},
  };
}

std::vector<TConcaveCase> automaticSplitCases() {
  const Mixture two{{{0.6, -2, 1}, {0.4, 2.5, 0.6}}};
  // Far enough apart that the log hat of either mode alone never reaches the other.
  const Mixture apart{{{0.5, -3, 1}, {0.5, 3, 0.5}}};
  const Mixture three{{{0.3, -4, 0.7}, {0.4, 0, 1.2}, {0.3, 4, 0.5}}};
  const Mixture five{{{0.15, -8, 1}, {0.2, -4, 0.6}, {0.3, 0, 1.5}, {0.2, 4.5, 0.8}, {0.15, 9, 1.2}}};
  const auto quartic = [](double x) { return -x * x * x * x + 3 * x * x; };
  // h'' = -(x^2 - 1)(x^2 - 4)(x^2 - 9) / 10: inflections at +-1, +-2, +-3.
  const auto six = [](double x) {
    const double y = x * x;
    return -0.1 * y * (((y / 56 - 7.0 / 15) * y + 49.0 / 12) * y - 18);
  };
  const auto clusters = [](double theta) {
    double h = 0;
    for (double y : {-3.1, -2.4, -2.0, 1.8, 2.3, 3.0}) h -= 2.5 * std::log1p((y - theta) * (y - theta) / 4);
    return h;
  };
  const auto mixture = [](const char* name, const Mixture& m) {
    return TConcaveCase{name, [=](double x) { return m.logpdf(x); }, [=](double x) { return m.cdf(x); },
                        -kInf, kInf, ars::Transform::Log, {}};
  };
  return {
      mixture("two normals", two),
      mixture("two normals apart", apart),
      mixture("three normals", three),
      mixture("five normals", five),
      {"quartic", quartic, NumericCdf(quartic, -4, 4), -kInf, kInf, ars::Transform::Log, {}},
      {"six inflections", six, NumericCdf(six, -7, 7), -kInf, kInf, ars::Transform::Log, {}},
      {"t likelihood", clusters, NumericCdf(clusters, -25, 25, 400000), -kInf, kInf,
       ars::Transform::InverseSqrt, {}},
  };
}
