#pragma once
// A density typed by the user: a formula in x (muparser), read either as the
// density itself or as its logarithm, on a support whose ends may be infinite.
//
// Typed text is untrusted. The constructor accepts only what it can vouch
// for: a short formula of numbers, x, pi, e, arithmetic and muparser's
// one-argument functions, that parses, and that is neither NaN nor +infinity
// (nor negative, as a density) at a spread of points inside the support.
// logDensity can still meet NaN elsewhere; the sampler reports that.
#include <memory>
#include <stdexcept>
#include <string>

#include "density/density_choice.h"
#include "sampler/ars_density.h"

class FormulaDensity : public ARSDensity {
 public:
  enum class Form { density, logDensity };

  // Why a formula or support was refused; position is the 0-based offset in
  // the formula text where the problem lies, or -1 when it lies elsewhere.
  class XInvalid : public std::invalid_argument {
   public:
    XInvalid(const std::string& what, int position)
        : std::invalid_argument(what), position(position) {}
    int position;
  };

  FormulaDensity(const std::string& text, Form form, double lower, double upper);
  explicit FormulaDensity(const DensityChoice& choice);
  ~FormulaDensity();
  FormulaDensity(const FormulaDensity&) = delete;
  FormulaDensity& operator=(const FormulaDensity&) = delete;

  // log f(x) up to a constant: -infinity where the density is zero or
  // outside the support, NaN where the formula makes no sense.
  double logDensity(double x) const override;
  double densityValue(double x) const override;

  // Why the density provably has no finite mass (empty when that cannot be
  // told from its values): towards an unbounded end it does not fall off
  // even among the largest doubles, as for the log-density x on [0, inf).
  std::string notIntegrableReason() const;

  const std::string& text() const { return text_; }
  Form form() const { return form_; }
  double lower() const { return lower_; }
  double upper() const { return upper_; }

  static constexpr std::size_t maxLength = 400;

 private:
  struct Parser;
  std::string text_;
  Form form_;
  double lower_;
  double upper_;
  std::unique_ptr<Parser> parser_;
};

// The choice's parsed formula while it matches the choice's formula, form
// and support; null when there is none or the fields have changed since.
std::shared_ptr<const FormulaDensity> parsedFormula(const DensityChoice& choice);

// Reads a support end: a number, or -inf / inf (also +inf, infinity).
// False for anything else, NaN included.
bool parseSupportEnd(const std::string& text, double& value);

// A support end as the user would type it back: "-inf", "inf" or the shortest
// decimal that reads back to the same double.
std::string supportEndText(double value);
