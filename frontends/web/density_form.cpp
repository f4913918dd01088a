#include "frontends/web/density_form.h"

#include <cmath>

#include "density/catalogue.h"
#include "density/formula_density.h"
#include "density/transform_choice.h"

namespace {

// The choice when it makes a density (no problem), else why not.
DensityFormCheck take(const DensityChoice& c, std::string note = {}) {
  try {
    const FormulaDensity density(c);
    // What cannot be sampled for want of a finite mass is refused here, not after OK.
    const std::string reason = density.notIntegrableReason();
    if (!reason.empty()) return {reason, {}, {}};
  } catch (const FormulaDensity::XInvalid& e) {
    return {e.what(), {}, {}};
  }
  return {{}, std::move(note), c};
}

DensityFormCheck checkFormula(const DensityForm& form) {
  DensityChoice c;
  c.formula = form.formula;
  c.logDensity = form.logDensity;
  if (!parseSupportEnd(form.lower, c.lower)) return {"The lower end must be a number or -inf.", {}, {}};
  if (!parseSupportEnd(form.upper, c.upper)) return {"The upper end must be a number or inf.", {}, {}};
  c.transform = form.inverseSqrt ? ars::Transform::InverseSqrt : ars::Transform::Log;
  std::string problem = parseSplits(form.splits, c.splits);
  if (problem.empty()) problem = splitsProblem(c.splits, c.lower, c.upper);
  if (!problem.empty()) return {problem, {}, {}};
  return take(c);
}

DensityFormCheck checkCatalogue(const CatalogueEntry& entry, const std::vector<std::string>& texts) {
  std::vector<double> values;
  for (std::size_t i = 0; i < entry.parameterNames.size(); ++i) {
    double v = 0;
    if (i >= texts.size() || !parseSupportEnd(texts[i], v) || !std::isfinite(v)) {
      return {std::string(entry.parameterNames[i]) + " must be a number.", {}, {}};
    }
    values.push_back(v);
  }
  const std::string problem = catalogueProblem(entry.kind, values);
  if (!problem.empty()) return {problem, {}, {}};
  const DensityChoice c = catalogueChoice(entry.kind, values);
  // What the lecturer sees of how the entry is sampled.
  std::string note;
  if (c.transform == ars::Transform::InverseSqrt) note = "Sampled under T(f) = \u22121/\u221af.";
  if (!c.splits.empty()) note = "Inflection points of log f (split points): " + splitsText(c.splits) + ".";
  return take(c, note);
}

}  // namespace

DensityFormCheck checkDensityForm(const DensityForm& form) {
  const auto& entries = catalogue();
  if (form.source > 0 && form.source <= static_cast<int>(entries.size())) {
    return checkCatalogue(entries[static_cast<std::size_t>(form.source - 1)], form.parameters);
  }
  return checkFormula(form);
}

DensityForm densityFormOf(const DensityChoice& choice) {
  DensityForm form;
  const bool fresh = choice.formula.empty();
  form.formula = fresh ? "exp(-x^2/2)" : choice.formula;
  form.logDensity = choice.logDensity;
  form.lower = fresh ? "-inf" : supportEndText(choice.lower);
  form.upper = fresh ? "inf" : supportEndText(choice.upper);
  form.inverseSqrt = choice.transform == ars::Transform::InverseSqrt;
  form.splits = splitsText(choice.splits);
  return form;
}
