#include "density/catalogue.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "density/mixture_inflections.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// Every digit that matters, and no locale: the formula must mean the parameter exactly.
std::string number(double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return "(" + std::string(buffer, result.ptr) + ")";
}

// The caption's short form.
std::string shown(double v) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 4);
  return std::string(buffer, result.ptr);
}

std::string standardized(double location, double scale) {
  return "((x-" + number(location) + ")/" + number(scale) + ")";
}

double normalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

}  // namespace

const std::vector<CatalogueEntry>& catalogue() {
  using K = CatalogueKind;
  static const std::vector<CatalogueEntry> entries = {
      {K::normal, "Normal", {"mu", "sigma"}, {0, 1}},
      {K::truncatedNormal, "Truncated normal", {"mu", "sigma", "a", "b"}, {0, 1, 2, 4}},
      {K::exponential, "Exponential", {"lambda"}, {1}},
      {K::gamma, "Gamma", {"shape", "scale"}, {3, 2}},
      {K::beta, "Beta", {"a", "b"}, {2, 5}},
      {K::logistic, "Logistic", {"mu", "s"}, {0, 1}},
      {K::gumbel, "Gumbel", {"mu", "beta"}, {0, 1}},
      {K::laplace, "Laplace", {"mu", "b"}, {0, 1}},
      {K::weibull, "Weibull", {"k", "lambda"}, {1.5, 1}},
      {K::cauchy, "Cauchy", {"x0", "gamma"}, {0, 1}},
      {K::studentT, "Student t", {"nu"}, {3}},
      {K::normalMixture, "Normal mixture", {"w", "mu1", "sigma1", "mu2", "sigma2"}, {0.5, -2, 1, 2, 1}},
  };
  return entries;
}

const CatalogueEntry& catalogueEntry(CatalogueKind kind) {
  for (const CatalogueEntry& entry : catalogue()) {
    if (entry.kind == kind) return entry;
  }
  return catalogue().front();
}

std::string catalogueProblem(CatalogueKind kind, const std::vector<double>& p) {
  const CatalogueEntry& entry = catalogueEntry(kind);
  if (p.size() != entry.parameterNames.size()) return "Every parameter needs a value.";
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (!std::isfinite(p[i])) return std::string(entry.parameterNames[i]) + " must be a finite number.";
  }
  // The lower limits that keep each density log-concave where it should be.
  const auto positive = [&](std::size_t i) -> std::string {
    return p[i] > 0 ? "" : std::string(entry.parameterNames[i]) + " must be positive.";
  };
  const auto atLeastOne = [&](std::size_t i) -> std::string {
    return p[i] >= 1 ? "" : std::string(entry.parameterNames[i]) + " must be at least 1.";
  };
  using K = CatalogueKind;
  switch (kind) {
    case K::normal: case K::logistic: case K::gumbel: case K::laplace: case K::cauchy:
      return positive(1);
    case K::truncatedNormal:
      if (!positive(1).empty()) return positive(1);
      return p[2] < p[3] ? "" : "a must lie below b.";
    case K::exponential:
      return positive(0);
    case K::studentT:
      // Below 1 even -1/sqrt(f) turns convex in the tails: no exact sampler here takes it.
      return p[0] >= 1 ? "" : "nu must be at least 1: below it the Student t is not concave under "
                              "\xe2\x88\x92" "1/\xe2\x88\x9a" "f, and the sampler cannot take it.";
    case K::gamma:
      return !atLeastOne(0).empty() ? atLeastOne(0) : positive(1);
    case K::beta:
      return !atLeastOne(0).empty() ? atLeastOne(0) : atLeastOne(1);
    case K::weibull:
      return !atLeastOne(0).empty() ? atLeastOne(0) : positive(1);
    case K::normalMixture:
      if (!(p[0] > 0 && p[0] < 1)) return "w must lie between 0 and 1.";
      return !positive(2).empty() ? positive(2) : positive(4);
  }
  return "";
}

DensityChoice catalogueChoice(CatalogueKind kind, const std::vector<double>& p) {
  const CatalogueEntry& entry = catalogueEntry(kind);
  DensityChoice c;
  c.logDensity = true;
  c.lower = -infinity;
  c.upper = infinity;
  c.caption = entry.name;
  c.caption += "(";
  for (std::size_t i = 0; i < p.size(); ++i) {
    c.caption += (i ? ", " : "") + std::string(entry.parameterNames[i]) + " = " + shown(p[i]);
  }
  c.caption += ")";
  using K = CatalogueKind;
  switch (kind) {
    case K::normal:
      c.formula = "-" + standardized(p[0], p[1]) + "^2/2";
      break;
    case K::truncatedNormal:
      c.formula = "-" + standardized(p[0], p[1]) + "^2/2";
      c.lower = p[2];
      c.upper = p[3];
      break;
    case K::exponential:
      c.formula = "-" + number(p[0]) + "*x";
      c.lower = 0;
      break;
    case K::gamma:
      c.formula = number(p[0] - 1) + "*log(x) - x/" + number(p[1]);
      c.lower = 0;
      break;
    case K::beta:
      c.formula = number(p[0] - 1) + "*log(x) + " + number(p[1] - 1) + "*log(1-x)";
      c.lower = 0;
      c.upper = 1;
      break;
    case K::logistic: {
      // Written with |z| so that exp never overflows in the tails.
      const std::string z = "abs" + standardized(p[0], p[1]);
      c.formula = "-" + z + " - 2*log(1+exp(-" + z + "))";
      break;
    }
    case K::gumbel: {
      const std::string z = standardized(p[0], p[1]);
      c.formula = "-" + z + " - exp(-" + z + ")";
      break;
    }
    case K::laplace:
      c.formula = "-abs" + standardized(p[0], p[1]);
      break;
    case K::weibull: {
      const std::string z = "(x/" + number(p[1]) + ")";
      c.formula = number(p[0] - 1) + "*log" + z + " - " + z + "^" + number(p[0]);
      c.lower = 0;
      break;
    }
    case K::cauchy:
      c.formula = "-log(1+" + standardized(p[0], p[1]) + "^2)";
      c.transform = ars::Transform::InverseSqrt;
      break;
    case K::studentT:
      c.formula = "-(" + number(p[0]) + "+1)/2*log(1+x^2/" + number(p[0]) + ")";
      c.transform = ars::Transform::InverseSqrt;
      break;
    case K::normalMixture:
      c.logDensity = false;
      c.formula = number(p[0]) + "/" + number(p[2]) + "*exp(-" + standardized(p[1], p[2]) +
                  "^2/2) + (1-" + number(p[0]) + ")/" + number(p[4]) + "*exp(-" +
                  standardized(p[3], p[4]) + "^2/2)";
      c.splits = mixtureInflections({p[0], p[1], p[2], p[3], p[4]});
      break;
  }
  return c;
}

double catalogueCdf(CatalogueKind kind, const std::vector<double>& p, double x) {
  using K = CatalogueKind;
  switch (kind) {
    case K::normal:
      return normalCdf((x - p[0]) / p[1]);
    case K::truncatedNormal: {
      if (x <= p[2]) return 0.0;
      if (x >= p[3]) return 1.0;
      const double low = normalCdf((p[2] - p[0]) / p[1]);
      return (normalCdf((x - p[0]) / p[1]) - low) / (normalCdf((p[3] - p[0]) / p[1]) - low);
    }
    case K::exponential:
      return x <= 0 ? 0.0 : -std::expm1(-p[0] * x);
    case K::logistic:
      return 1 / (1 + std::exp(-(x - p[0]) / p[1]));
    case K::gumbel:
      return std::exp(-std::exp(-(x - p[0]) / p[1]));
    case K::laplace: {
      const double z = (x - p[0]) / p[1];
      return z < 0 ? 0.5 * std::exp(z) : 1 - 0.5 * std::exp(-z);
    }
    case K::weibull:
      return x <= 0 ? 0.0 : -std::expm1(-std::pow(x / p[1], p[0]));
    case K::cauchy:
      return 0.5 + std::atan((x - p[0]) / p[1]) / M_PI;
    case K::gamma: case K::beta: case K::studentT: case K::normalMixture:
      break;
  }
  return std::numeric_limits<double>::quiet_NaN();
}
