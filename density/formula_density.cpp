#include "density/formula_density.h"

#include <muParser.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

// Locale-free, so that a decimal comma in the user's locale changes nothing.
std::string pointText(double x) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

// Only what a density formula needs. The ternary operator, comparisons,
// assignment, strings and several-argument functions stay out: they add
// nothing here and are where expression parsers have had their faults.
bool allowed(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  switch (c) {
    case ' ': case '\t': case '.': case '_': case '+': case '-': case '*': case '/': case '^':
    case '(': case ')':
      return true;
    default:
      return false;
  }
}

void checkCharacters(const std::string& text) {
  if (text.size() > FormulaDensity::maxLength) {
    throw FormulaDensity::XInvalid("The formula is longer than " +
                                       std::to_string(FormulaDensity::maxLength) + " characters.",
                                   static_cast<int>(FormulaDensity::maxLength));
  }
  bool blank = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!allowed(c)) {
      const std::string shown = static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7f
                                    ? std::string("\"") + c + "\""
                                    : std::string("this character");
      throw FormulaDensity::XInvalid("Position " + std::to_string(i + 1) + ": " + shown +
                                         " is not allowed in a formula.",
                                     static_cast<int>(i));
    }
    if (c != ' ' && c != '\t') blank = false;
  }
  if (blank) throw FormulaDensity::XInvalid("Type a formula in x.", 0);
}

// Points inside the support where the formula must make sense: spread evenly
// over a bounded support, close to its ends, and at growing distances towards
// an unbounded end.
std::vector<double> checkPoints(double lower, double upper) {
  static const double distances[] = {1e-6, 1e-3, 0.01, 0.1, 0.25, 0.5, 1, 2, 3, 5, 10, 30, 100, 1e3, 1e6};
  std::vector<double> points;
  if (std::isfinite(lower) && std::isfinite(upper)) {
    const double width = upper - lower;
    for (double t : {1e-6, 1e-3}) {
      points.push_back(lower + width * t);
      points.push_back(upper - width * t);
    }
    for (int k = 1; k < 64; ++k) points.push_back(lower + width * (k / 64.0));
  } else if (std::isfinite(lower)) {
    for (double d : distances) points.push_back(lower + d);
  } else if (std::isfinite(upper)) {
    for (double d : distances) points.push_back(upper - d);
  } else {
    points.push_back(0.0);
    for (double d : distances) {
      points.push_back(-d);
      points.push_back(d);
    }
  }
  // Rounding can put a point on a finite end; the ends themselves are not checked.
  std::vector<double> inside;
  for (double x : points) {
    if (x > lower && x < upper) inside.push_back(x);
  }
  return inside;
}

}  // namespace

struct FormulaDensity::Parser {
  mu::Parser parser;
  mutable double x = 0.0;  // the parser reads x from here
};

FormulaDensity::FormulaDensity(const DensityChoice& choice)
    : FormulaDensity(choice.formula, choice.logDensity ? Form::logDensity : Form::density, choice.lower,
                     choice.upper) {}

FormulaDensity::FormulaDensity(const std::string& text, Form form, double lower, double upper)
    : text_(text), form_(form), lower_(lower), upper_(upper), parser_(std::make_unique<Parser>()) {
  if (std::isnan(lower) || lower == infinity) throw XInvalid("The lower end is not a number or -inf.", -1);
  if (std::isnan(upper) || upper == -infinity) throw XInvalid("The upper end is not a number or inf.", -1);
  if (!(lower < upper)) throw XInvalid("The lower end must lie below the upper end.", -1);
  checkCharacters(text);
  try {
    parser_->parser.DefineVar("x", &parser_->x);
    parser_->parser.DefineConst("pi", M_PI);
    parser_->parser.DefineConst("e", M_E);
    parser_->parser.SetExpr(text);
    parser_->x = std::isfinite(lower) ? lower : (std::isfinite(upper) ? upper : 0.0);
    parser_->parser.Eval();  // parses
  } catch (const mu::Parser::exception_type& error) {
    // An error without a position (a missing parenthesis) shows at the end.
    const int position = error.GetPos() >= 0 && static_cast<std::size_t>(error.GetPos()) <= text.size()
                             ? error.GetPos()
                             : static_cast<int>(text.size());
    // muparser counts from 0 in its own text; the user counts from 1.
    std::string message = error.GetMsg();
    for (const char* tail : {" found at position", " at expression position", " at position"}) {
      const std::size_t at = message.find(tail);
      if (at != std::string::npos) message.erase(at);
    }
    if (!message.empty() && message.back() != '.') message += '.';
    if (position >= 0) {
      message = "Position " + std::to_string(position + 1) + ": " + message;
    }
    throw XInvalid(message, position);
  }

  const char* const name = form == Form::density ? "density" : "log-density";
  bool somewherePositive = false;
  for (double x : checkPoints(lower, upper)) {
    parser_->x = x;
    const double v = parser_->parser.Eval();
    if (std::isnan(v)) {
      throw XInvalid(std::string("The ") + name + " is not a number at x = " + pointText(x) + ".", -1);
    }
    if (v == infinity) {
      throw XInvalid(std::string("The ") + name + " is infinite at x = " + pointText(x) + ".", -1);
    }
    if (form == Form::density && v < 0) {
      throw XInvalid("The density is negative at x = " + pointText(x) + ".", -1);
    }
    if (form == Form::density ? v > 0 : v > -infinity) somewherePositive = true;
  }
  if (!somewherePositive) {
    throw XInvalid("The density is zero everywhere it was tried in the support.", -1);
  }
}

FormulaDensity::~FormulaDensity() = default;

double FormulaDensity::logDensity(double x) const {
  if (!(x >= lower_ && x <= upper_)) return -infinity;
  parser_->x = x;
  double v;
  try {
    v = parser_->parser.Eval();
  } catch (const mu::Parser::exception_type&) {
    // A formula that parsed does not fail at evaluation; should it, the
    // value is no number and the sampler reports it.
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (form_ == Form::logDensity) return v;
  // A negative density has no logarithm: NaN, which the sampler refuses.
  return v < 0 ? std::numeric_limits<double>::quiet_NaN() : std::log(v);
}

double FormulaDensity::densityValue(double x) const { return std::exp(logDensity(x)); }

std::string FormulaDensity::notIntegrableReason() const {
  // Eleven points from 1e290 to 1e300 towards each unbounded end: a density
  // that never falls between them keeps at least its value at 1e290 over a
  // stretch of 1e300, and a log-concave one keeps it from there inwards.
  for (const double direction : {-1.0, 1.0}) {
    if ((direction < 0 ? lower_ : upper_) != direction * infinity) continue;
    double previous = logDensity(direction * 1e290);
    bool falls = !(previous > -infinity && previous < infinity);
    for (int k = 291; k <= 300 && !falls; ++k) {
      const double h = logDensity(direction * std::pow(10.0, k));
      if (!(h > -infinity && h < infinity) || h < previous) falls = true;
      previous = h;
    }
    if (!falls) {
      return std::string("The density does not fall off towards ") + (direction < 0 ? "-inf" : "inf") +
             ": it is not integrable there.";
    }
  }
  return "";
}

std::shared_ptr<const FormulaDensity> parsedFormula(const DensityChoice& choice) {
  const FormulaDensity* p = choice.parsed.get();
  if (p == nullptr || p->text() != choice.formula || p->lower() != choice.lower || p->upper() != choice.upper ||
      (p->form() == FormulaDensity::Form::logDensity) != choice.logDensity) {
    return nullptr;
  }
  return choice.parsed;
}

bool parseSupportEnd(const std::string& text, double& value) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  const std::string s = text.substr(begin, end - begin);
  if (s == "inf" || s == "+inf" || s == "infinity" || s == "+infinity") {
    value = infinity;
    return true;
  }
  if (s == "-inf" || s == "-infinity") {
    value = -infinity;
    return true;
  }
  if (s.empty() || s.size() > 64) return false;
  // Plain decimals only: from_chars would also take "nan" and other spellings.
  for (char c : s) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  }
  const char* first = s.c_str() + (s[0] == '+' ? 1 : 0);
  const char* last = s.c_str() + s.size();
  double v = 0.0;
  const auto result = std::from_chars(first, last, v);
  if (result.ec != std::errc() || result.ptr != last || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::string supportEndText(double value) {
  if (value == infinity) return "inf";
  if (value == -infinity) return "-inf";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}
