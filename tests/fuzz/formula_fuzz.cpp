// Typed input is untrusted: any formula text and support must end in a
// density or a refusal, never a crash, a sanitizer report or a hang.
// Input: the first line holds the support's two ends (as typed in the
// dialog), the second "log" or anything else (density), the rest the formula.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "density/formula_density.h"
#include "density/plot_range.h"
#include "model/envelope_stepper.h"
#include "sampler/uniform_random.h"

namespace {

std::string line(const std::string& text, std::size_t& at) {
  const std::size_t end = text.find('\n', at);
  const std::string result = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
  at = end == std::string::npos ? text.size() : end + 1;
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t at = 0;
  const std::string ends = line(input, at);
  const bool log = line(input, at) == "log";
  const std::string formula = input.substr(at);
  const std::size_t space = ends.find(' ');
  double lower = 0;
  double upper = 1;
  if (space == std::string::npos || !parseSupportEnd(ends.substr(0, space), lower) ||
      !parseSupportEnd(ends.substr(space + 1), upper)) {
    return 0;
  }
  try {
    FormulaDensity density(formula, log ? FormulaDensity::Form::logDensity : FormulaDensity::Form::density,
                           lower, upper);
    // What the window does next: the search, the plotted range, then a few draws.
    const auto f = [&](double x) { return density.logDensity(x); };
    EnvelopeStepper stepper(f, lower, upper);
    plotRange(f, lower, upper, stepper.points());
    UniformRandom rnd;
    rnd.setSeed(1001);
    for (int i = 0; i < 20; ++i) stepper.sample(rnd);
  } catch (const FormulaDensity::XInvalid&) {
  } catch (const ars::NotLogConcave&) {
  } catch (const std::invalid_argument&) {
  } catch (const std::runtime_error&) {  // sampling gave up: reported as unusable
  }
  return 0;
}
