#include "frontends/web/density_form.h"

#include "density/catalogue.h"
#include "density/formula_density.h"
#include "density/transform_choice.h"
#include "studio/density_check.h"

namespace {

// What the lecturer sees of how a catalogue entry is sampled.
std::string samplingNote(const DensityChoice& c) {
  if (!c.splits.empty()) return "Inflection points of log f (split points): " + splitsText(c.splits) + ".";
  if (c.transform == ars::Transform::InverseSqrt) return "Sampled under T(f) = \u22121/\u221af.";
  return {};
}

}  // namespace

DensityFormCheck checkDensityForm(const DensityForm& form) {
  const auto& entries = catalogue();
  if (form.source > 0 && form.source <= static_cast<int>(entries.size())) {
    DensityCheck check = checkCatalogueFields(entries[static_cast<std::size_t>(form.source - 1)].kind, form.parameters);
    // Shown once the parameters read, as on the desktop.
    std::string note = check.choice.formula.empty() ? "" : samplingNote(check.choice);
    return {check.problem, note, std::move(check.choice)};
  }
  FormulaFields fields;
  fields.formula = form.formula;
  fields.logDensity = form.logDensity;
  fields.lower = form.lower;
  fields.upper = form.upper;
  fields.transform = form.inverseSqrt ? ars::Transform::InverseSqrt : ars::Transform::Log;
  fields.splits = form.splits;
  DensityCheck check = checkFormulaFields(fields);
  return {check.problem, {}, std::move(check.choice)};
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
