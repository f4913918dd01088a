#pragma once
// The checks of the "Other density" dialog, for every front end: what the
// user typed becomes a DensityChoice, or the problem shown under the fields
// (the same sentence on the desktop and in the browser). A choice that
// passes carries its parsed formula, which the window then keeps.
#include <string>
#include <vector>

#include "density/catalogue.h"
#include "density/density_choice.h"

// The formula page's fields as typed.
struct FormulaFields {
  std::string formula;
  bool logDensity = false;
  std::string lower;
  std::string upper;
  ars::Transform transform = ars::Transform::Log;
  std::string splits;
};

struct DensityCheck {
  std::string problem;  // "" when the choice makes a density
  // As far as the fields read: empty until they all do, parsed once there
  // is no problem.
  DensityChoice choice;
};

// A finite support too wide for its width to be a double, or too narrow to
// hold three points between its ends: why, or "".
std::string supportProblem(double lower, double upper);

// Checks the support, parses the formula on it and refuses what cannot be
// sampled for want of a finite mass: "" and choice.parsed set, or why not.
// The dialog and lessons both open a typed density through here.
std::string densityProblem(DensityChoice& choice);

DensityCheck checkFormulaFields(const FormulaFields& fields);
// A catalogue entry with its parameters as typed, one a field.
DensityCheck checkCatalogueFields(CatalogueKind kind, const std::vector<std::string>& parameters);
