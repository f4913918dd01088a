#include "studio/density_check.h"

#include <cmath>
#include <memory>

#include "density/formula_density.h"
#include "density/plot_range.h"
#include "studio/split_check.h"
#include "density/transform_choice.h"

std::string supportProblem(double lower, double upper) {
  if (!(std::isfinite(lower) && std::isfinite(upper) && lower < upper)) return "";
  const std::string named = "The support [" + supportEndText(lower) + ", " + supportEndText(upper) + "]";
  if (!std::isfinite(upper - lower)) {
    return named + " is wider than the largest double: its width overflows. Give nearer ends.";
  }
  double inside = lower;
  for (int i = 0; i < 3; ++i) inside = std::nextafter(inside, upper);
  if (!(inside < upper)) {
    return named + " holds fewer than three doubles between its ends; the sampler needs three distinct points in it.";
  }
  return "";
}

std::string densityProblem(DensityChoice& choice) {
  // Said before the formula is tried, which would find it "zero everywhere".
  const std::string support = supportProblem(choice.lower, choice.upper);
  if (!support.empty()) return support;
  try {
    auto density = std::make_shared<const FormulaDensity>(choice);
    // What cannot be sampled for want of a finite mass is refused here, not after OK.
    const std::string reason = density->notIntegrableReason();
    if (!reason.empty()) return reason;
    if (!choice.splits.empty()) {
      const FormulaDensity& d = *density;
      const auto f = [&d](double x) { return d.logDensity(x); };
      const PlotRange shown = plotRange(f, choice.lower, choice.upper, {});
      const std::string split =
          splitPointProblem(f, choice.transform, choice.splits, choice.lower, choice.upper, shown.xMax - shown.xMin);
      if (!split.empty()) return split;
    }
    choice.parsed = std::move(density);
  } catch (const FormulaDensity::XInvalid& e) {
    return e.what();
  }
  return "";
}

DensityCheck checkFormulaFields(const FormulaFields& fields) {
  DensityChoice c;
  c.formula = fields.formula;
  c.logDensity = fields.logDensity;
  if (!parseSupportEnd(fields.lower, c.lower)) return {"The lower end must be a number or -inf.", {}};
  if (!parseSupportEnd(fields.upper, c.upper)) return {"The upper end must be a number or inf.", {}};
  c.transform = fields.transform;
  std::string problem = parseSplits(fields.splits, c.splits);
  if (problem.empty()) problem = splitsProblem(c.splits, c.lower, c.upper);
  if (!problem.empty()) return {problem, {}};
  problem = densityProblem(c);
  return {problem, c};
}

DensityCheck checkCatalogueFields(CatalogueKind kind, const std::vector<std::string>& parameters) {
  const CatalogueEntry& entry = catalogueEntry(kind);
  std::vector<double> values;
  for (std::size_t i = 0; i < entry.parameterNames.size(); ++i) {
    double v = 0;
    if (i >= parameters.size() || !parseSupportEnd(parameters[i], v) || !std::isfinite(v)) {
      return {std::string(entry.parameterNames[i]) + " must be a number.", {}};
    }
    values.push_back(v);
  }
  const std::string problem = catalogueProblem(kind, values);
  if (!problem.empty()) return {problem, {}};
  DensityChoice c = catalogueChoice(kind, values);
  const std::string refused = densityProblem(c);
  return {refused, c};
}
