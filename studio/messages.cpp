// What the session tells the user in a box: the sampler's refusals, unusable
// densities, and the Help pop-up's about text.
#include "studio/messages.h"

#include "model/other_density.h"
#include "model/refusal.h"
#include "model/transform_offer.h"
#include "studio/session.h"

namespace {
const char* const notLogConcaveCaption = "Log-concavity assumption violated";
const char* const notLogConcaveText =
    "Adaptive rejection sampler doesn't work for\ndensities that are not log-concave";
const char* const notIntegrableText =
    "Adaptive rejection sampler doesn't work for\ndensities that are not integrable";
const char* const notSteppingCaption = "Attempted to take next step without first choosing starting points";
const char* const notSteppingText = "Choose \"Go | Step through\" to choose starting points";
}  // namespace

std::string aboutText() {
  return "Adaptive Rejection Sampler " ARS_VERSION
         "\n"
         "Derivative-free adaptive rejection sampling of log-concave densities,\n"
         "shown dart by dart and step by step.";
}

void Session::refused() {
  const DensityState& d = model_.density;
  if (!d.isOther()) {
    tell(notLogConcaveText, notLogConcaveCaption);
    return;
  }
  const bool notIntegrable = refusedAsNotIntegrable(d);
  std::string text = std::string(notIntegrable ? notIntegrableText : notLogConcaveText) + "\n\n" +
                     d.otherChoice.caption + ": " + otherDensityReport(d);
  const char* caption = notIntegrable ? "Density not integrable" : notLogConcaveCaption;
  if (!inverseSqrtWouldHelp(d)) {
    tell(text, caption);
    return;
  }
  text += "\n\nUnder T(f) = \xe2\x88\x92" "1/\xe2\x88\x9a" "f it is concave wherever it is plotted, "
          "as heavy tails are: it can be sampled exactly that way.";
  if (pending_) return;
  offered_ = underInverseSqrt(d.otherChoice);
  ask({QuestionKind::Offer, text, caption, "Sample under \xe2\x88\x92" "1/\xe2\x88\x9a" "f", {}, ""});
}

void Session::unusable(const char* what) {
  tell(std::string("The sampler cannot use this density:\n") + what, "Density not usable");
}

void Session::notStepping() { tell(notSteppingText, notSteppingCaption); }
