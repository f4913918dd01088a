// Typed formulas: what is refused and why, and what a valid one evaluates to.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "density/formula_density.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
using Form = FormulaDensity::Form;

// The refusal's message and position, or "" when the formula is accepted.
std::string refusal(const std::string& text, Form form, double lower, double upper,
                    int* position = nullptr) {
  try {
    FormulaDensity d(text, form, lower, upper);
    return "";
  } catch (const FormulaDensity::XInvalid& e) {
    if (position) *position = e.position;
    return e.what();
  }
}

TEST(FormulaDensity, EvaluatesDensitiesAndLogDensities) {
  FormulaDensity d("exp(-x^2/2)/(1+x^2)", Form::density, -inf, inf);
  EXPECT_NEAR(d.logDensity(1.5), -1.125 - std::log(3.25), 1e-14);
  FormulaDensity l("2*log(x) + 3*log(1-x)", Form::logDensity, 0, 1);
  EXPECT_NEAR(l.logDensity(0.25), 2 * std::log(0.25) + 3 * std::log(0.75), 1e-14);
  EXPECT_EQ(l.logDensity(-0.5), -inf);  // outside the support
  EXPECT_EQ(l.logDensity(0.0), -inf);   // log(0) at the end
  FormulaDensity c("-x^4 + pi - e + ln(2) - log(2)", Form::logDensity, -inf, inf);
  EXPECT_NEAR(c.logDensity(2), -16 + M_PI - M_E, 1e-13);  // log is the natural logarithm
}

TEST(FormulaDensity, SyntaxErrorsGiveTheirPosition) {
  int position = -2;
  EXPECT_NE(refusal("exp(-x^2/2", Form::density, -inf, inf, &position), "");
  EXPECT_EQ(position, 10);
  position = -2;
  const std::string unknown = refusal("-y^2", Form::logDensity, -inf, inf, &position);
  EXPECT_EQ(position, 1) << unknown;
  EXPECT_NE(unknown.find("Position 2"), std::string::npos) << unknown;
  EXPECT_NE(refusal("x +* 2", Form::logDensity, -inf, inf), "");
  EXPECT_EQ(refusal("   ", Form::logDensity, -inf, inf), "Type a formula in x.");
}

TEST(FormulaDensity, RefusesWhatItCannotVouchFor) {
  int position = -2;
  EXPECT_EQ(refusal("x > 0 ? 1 : 0", Form::density, -1, 1, &position),
            "Position 3: \">\" is not allowed in a formula.");
  EXPECT_EQ(position, 2);
  EXPECT_NE(refusal("min(x, 1)", Form::density, 0, 2), "");
  EXPECT_NE(refusal(std::string("x\0", 2), Form::density, 0, 2), "");
  EXPECT_EQ(refusal(std::string(401, 'x'), Form::logDensity, 0, 1, &position),
            "The formula is longer than 400 characters.");
  EXPECT_EQ(refusal("(" + std::string(198, ' ') + "x)", Form::logDensity, 0, 1), "");
}

TEST(FormulaDensity, NamesThePointWhereTheFormulaFails) {
  EXPECT_EQ(refusal("log(x)", Form::logDensity, -1, 1),
            "The log-density is not a number at x = -0.999998.");
  EXPECT_EQ(refusal("1/(x-0.5)", Form::density, 0, 1), "The density is negative at x = 1e-06.");
  EXPECT_EQ(refusal("1/abs(x-0.5)", Form::density, 0, 1), "The density is infinite at x = 0.5.");
  EXPECT_EQ(refusal("0*x", Form::density, 0, 1),
            "The density is zero everywhere it was tried in the support.");
  // A pole at a finite end is not a point of the support.
  EXPECT_EQ(refusal("1/sqrt(x)", Form::density, 0, 1), "");
}

TEST(FormulaDensity, SupportEndsMustBeOrdered) {
  EXPECT_EQ(refusal("-x^2", Form::logDensity, 1, 1), "The lower end must lie below the upper end.");
  EXPECT_EQ(refusal("-x^2", Form::logDensity, inf, inf), "The lower end is not a number or -inf.");
  EXPECT_EQ(refusal("-x^2", Form::logDensity, 0, -inf), "The upper end is not a number or inf.");
}

TEST(FormulaDensity, ProvesNoFiniteMassOnlyWhereTheTailNeverFalls) {
  const auto reason = [](const char* text, Form form, double lower, double upper) {
    return FormulaDensity(text, form, lower, upper).notIntegrableReason();
  };
  EXPECT_EQ(reason("x", Form::logDensity, 0, inf), "The density does not fall off towards inf: it is not integrable there.");
  EXPECT_EQ(reason("0*x", Form::logDensity, 0, inf), "The density does not fall off towards inf: it is not integrable there.");
  EXPECT_EQ(reason("exp(x)", Form::density, -inf, 0), "");
  EXPECT_EQ(reason("1", Form::density, -inf, 0), "The density does not fall off towards -inf: it is not integrable there.");
  // Falling tails, however slowly or far away, and bounded supports give no proof.
  for (const char* logDensity : {"-(x-800000000)^2/2", "-x/0.000001 - exp(-x/0.000001)", "-log(1+x^2)"}) {
    EXPECT_EQ(reason(logDensity, Form::logDensity, -inf, inf), "") << logDensity;
  }
  EXPECT_EQ(reason("-x", Form::logDensity, 0, inf), "");
  EXPECT_EQ(reason("x", Form::logDensity, 0, 1e300), "");
}

TEST(FormulaDensity, ReadsAndWritesSupportEnds) {
  double v = 0;
  EXPECT_TRUE(parseSupportEnd(" -inf ", v));
  EXPECT_EQ(v, -inf);
  EXPECT_TRUE(parseSupportEnd("inf", v));
  EXPECT_EQ(v, inf);
  EXPECT_TRUE(parseSupportEnd("+2.5e-1", v));
  EXPECT_EQ(v, 0.25);
  for (const char* bad : {"", "nan", "1,5", "0x10", "1e999", "2 3", "--1", "inf2"}) {
    EXPECT_FALSE(parseSupportEnd(bad, v)) << bad;
  }
  EXPECT_EQ(supportEndText(-inf), "-inf");
  EXPECT_EQ(supportEndText(0.1), "0.1");
  for (double x : {0.1, 1.0 / 3, -2e-300, 12345.678}) {
    ASSERT_TRUE(parseSupportEnd(supportEndText(x), v));
    EXPECT_EQ(v, x);
  }
}

}  // namespace
