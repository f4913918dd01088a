#pragma once
// The catalogue of named densities offered beside a typed formula. Each entry
// becomes a DensityChoice whose formula is its log-density (or, for the
// mixture, its density), so that a lesson file can hold any of them.
// Most are log-concave; Cauchy, Student t and the two-component mixture are
// there to show how the sampler refuses a density that is not.
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
