// The Other density dialog's checks as every front end makes them, and the
// formula parsed once: by the check, then kept by the window.
#include <gtest/gtest.h>

#include <limits>

#include "density/formula_density.h"
#include "model/other_density.h"
#include "model/window_model.h"
#include "studio/density_check.h"

namespace {

FormulaFields normal() {
  FormulaFields f;
  f.formula = "exp(-x^2/2)";
  f.lower = "-inf";
  f.upper = "inf";
  return f;
}

TEST(DensityCheck, NamesTheFirstProblemOfTheFields) {
  FormulaFields f = normal();
  EXPECT_EQ(checkFormulaFields(f).problem, "");
  f.lower = "zero";
  EXPECT_EQ(checkFormulaFields(f).problem, "The lower end must be a number or -inf.");
  f.lower = "0";
  f.upper = "";
  EXPECT_EQ(checkFormulaFields(f).problem, "The upper end must be a number or inf.");
  f.upper = "-1";
  EXPECT_EQ(checkFormulaFields(f).problem, "The lower end must lie below the upper end.");
  f = normal();
  f.formula = "exp(-x^2/2";
  EXPECT_EQ(checkFormulaFields(f).problem, "Position 11: Missing parenthesis.");
  f.formula = "x";
  f.logDensity = true;
  EXPECT_EQ(checkFormulaFields(f).problem, "The density does not fall off towards inf: it is not integrable there.");
  f = normal();
  f.splits = "1, 1";
  EXPECT_EQ(checkFormulaFields(f).problem, "The split point 1 does not lie above the one before it.");
  f.splits = "one";
  EXPECT_EQ(checkFormulaFields(f).problem, "\"one\" is not a split point (a number).");

  EXPECT_EQ(checkCatalogueFields(CatalogueKind::weibull, {"1.5", "1"}).problem, "");
  EXPECT_EQ(checkCatalogueFields(CatalogueKind::weibull, {"0.5", "1"}).problem, "k must be at least 1.");
  EXPECT_EQ(checkCatalogueFields(CatalogueKind::weibull, {"two", "1"}).problem, "k must be a number.");
  EXPECT_EQ(checkCatalogueFields(CatalogueKind::weibull, {"2", "inf"}).problem, "lambda must be a number.");
  // Fewer fields than parameters name the first one missing.
  EXPECT_EQ(checkCatalogueFields(CatalogueKind::weibull, {"2"}).problem, "lambda must be a number.");
}

// The formula would find such a support "zero everywhere it was tried".
TEST(DensityCheck, SaysASupportIsTooWideOrTooNarrowForDoubles) {
  FormulaFields f;
  f.formula = "1";
  f.lower = "-1.7976931348623157e308";
  f.upper = "1.7976931348623157e308";
  EXPECT_EQ(checkFormulaFields(f).problem,
            "The support [-1.7976931348623157e+308, 1.7976931348623157e+308] is wider than the largest double: its "
            "width overflows. Give nearer ends.");
  const std::string narrow = " holds fewer than three doubles between its ends; the sampler needs three distinct "
                             "points in it.";
  f.lower = "1";
  f.upper = "1.0000000000000002";
  EXPECT_EQ(checkFormulaFields(f).problem, "The support [1, 1.0000000000000002]" + narrow);
  f.lower = "0";
  f.upper = "5e-324";
  EXPECT_EQ(checkFormulaFields(f).problem, "The support [0, 5e-324]" + narrow);
  // Three doubles inside are enough; a half line has no width to overflow.
  EXPECT_EQ(supportProblem(0, 2e-323), "");
  EXPECT_EQ(supportProblem(-1.7976931348623157e308, std::numeric_limits<double>::infinity()), "");
  EXPECT_EQ(supportProblem(-8e307, 8e307), "");
}

TEST(DensityCheck, AChoiceThatPassesCarriesItsParsedFormula) {
  FormulaFields f = normal();
  // Split where -1/sqrt(f) of two normals turns from convex to concave.
  f.formula = "exp(-(x+2)^2/2) + exp(-(x-2)^2/2)";
  f.transform = ars::Transform::InverseSqrt;
  f.splits = "-0.528, 0.528";
  const DensityCheck checked = checkFormulaFields(f);
  ASSERT_EQ(checked.problem, "");
  EXPECT_EQ(checked.choice.transform, ars::Transform::InverseSqrt);
  EXPECT_EQ(checked.choice.splits, (std::vector<double>{-0.528, 0.528}));
  ASSERT_NE(checked.choice.parsed, nullptr);
  EXPECT_EQ(parsedFormula(checked.choice), checked.choice.parsed);
  // A refused one carries none.
  f.formula = "sqrt(x)";
  EXPECT_EQ(checkFormulaFields(f).choice.parsed, nullptr);
  const DensityCheck gumbel = checkCatalogueFields(CatalogueKind::gumbel, {"0", "1"});
  ASSERT_EQ(gumbel.problem, "");
  EXPECT_NE(gumbel.choice.parsed, nullptr);
}

TEST(DensityCheck, TheWindowKeepsTheCheckedFormulaAndParsesAnEditedOne) {
  DensityChoice checked = checkFormulaFields(normal()).choice;
  ASSERT_NE(checked.parsed, nullptr);
  WindowModel model;
  ASSERT_EQ(selectOtherDensity(model, checked), "");
  EXPECT_EQ(model.density.otherDensity, checked.parsed);

  // Edited after its check, the choice is parsed afresh: its own formula and support.
  DensityChoice edited = checked;
  edited.formula = "exp(-x^2/8)";
  edited.lower = 0;
  ASSERT_EQ(selectOtherDensity(model, edited), "");
  ASSERT_NE(model.density.otherDensity, checked.parsed);
  EXPECT_EQ(model.density.otherDensity->text(), "exp(-x^2/8)");
  EXPECT_EQ(model.density.otherDensity->lower(), 0);
  EXPECT_EQ(model.density.otherChoice.parsed, model.density.otherDensity);
  edited.parsed = checked.parsed;
  edited.formula = checked.formula;
  edited.logDensity = true;
  EXPECT_EQ(parsedFormula(edited), nullptr);
}

}  // namespace

namespace split_points {

FormulaFields mixture(const std::string& splits, ars::Transform transform = ars::Transform::Log) {
  FormulaFields f = normal();
  f.formula = "exp(-(x+2)^2/2) + exp(-(x-2)^2/2)";
  f.splits = splits;
  f.transform = transform;
  return f;
}

TEST(SplitPoints, APointWhereTheBendDoesNotChangeIsRefusedByName) {
  // log f of two normals turns at +-0.6585: convex between, concave outside.
  EXPECT_EQ(checkFormulaFields(mixture("0")).problem, "No change of curvature at 0: log f is convex on both sides of it.");
  EXPECT_EQ(checkFormulaFields(mixture("-0.6584789484624084, 0.6584789484624084, 3")).problem,
            "No change of curvature at 3: log f is concave on both sides of it.");
  EXPECT_EQ(checkFormulaFields(mixture("0", ars::Transform::InverseSqrt)).problem,
            "No change of curvature at 0: \xe2\x88\x92" "1/\xe2\x88\x9a" "f is convex on both sides of it.");
  // The inflections, and points a few digits off them, split the density.
  for (const char* splits : {"-0.6584789484624084, 0.6584789484624084", "-0.66, 0.66", "-0.7, 0.7"}) {
    EXPECT_EQ(checkFormulaFields(mixture(splits)).problem, "") << splits;
  }
}

}  // namespace split_points
