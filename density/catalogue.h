#pragma once
// The catalogue of named densities offered beside a typed formula. Each entry
// becomes a DensityChoice whose formula is its log-density (or, for the
// mixture, its density), so that a lesson file can hold any of them.
// Most are log-concave. Cauchy and Student t (nu >= 1) are concave under
// T(f) = -1/sqrt(f) and come with that transformation; the two-normal
// mixture comes with its inflection points as split points, which it needs
// where its modes lie far enough apart for log f to turn convex between them.
#include <string>
#include <vector>

#include "density/density_choice.h"

enum class CatalogueKind {
  normal,
  truncatedNormal,
  exponential,
  gamma,
  beta,
  logistic,
  gumbel,
  laplace,
  weibull,
  cauchy,
  studentT,
  normalMixture,
};

struct CatalogueEntry {
  CatalogueKind kind;
  const char* name;
  std::vector<const char*> parameterNames;
  std::vector<double> defaults;
};

const std::vector<CatalogueEntry>& catalogue();
const CatalogueEntry& catalogueEntry(CatalogueKind kind);

// Why these parameters are not allowed ("" when they are).
std::string catalogueProblem(CatalogueKind kind, const std::vector<double>& parameters);

// The entry with these (allowed) parameters as a density the window samples.
DensityChoice catalogueChoice(CatalogueKind kind, const std::vector<double>& parameters);

// The exact distribution function where it has a closed form; NaN otherwise
// (Gamma, Beta, Student t, the mixture).
double catalogueCdf(CatalogueKind kind, const std::vector<double>& parameters, double x);
