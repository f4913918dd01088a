// What the window tells the user in a modal box: the sampler's refusals,
// unusable densities, and the Help pop-up's keys and about text.
#include "app/main_window.h"
#include "model/other_density.h"
#include "model/refusal.h"
#include "model/sampler_commands.h"
#include "model/transform_offer.h"

namespace {
const char* const notLogConcaveCaption = "Log-concavity assumption violated";
const char* const notLogConcaveText =
    "Adaptive rejection sampler doesn't work for\ndensities that are not log-concave";
const char* const notIntegrableText =
    "Adaptive rejection sampler doesn't work for\ndensities that are not integrable";
const char* const notSteppingCaption =
    "Attempted to take next step without first choosing starting points";
const char* const notSteppingText = "Choose \"Go | Step through\" to choose starting points";
const char* const keysText =
    "Ctrl+T \xe2\x80\x94 throw 5000 darts\n"
    "Ctrl+S \xe2\x80\x94 start stepping: starting points and the first envelope\n"
    "Ctrl+N \xe2\x80\x94 next step: draw one candidate and refine the envelope\n"
    "    (with View > Two beats per step: the candidate, then the refined envelope)\n"
    "Ctrl+G \xe2\x80\x94 start stepping and step until a candidate is accepted\n"
    "Ctrl+X \xe2\x80\x94 stop stepping\n"
    "Ctrl+E \xe2\x80\x94 normal scale\n"
    "Ctrl+L \xe2\x80\x94 log scale\n"
    "Ctrl+R \xe2\x80\x94 refresh the picture\n"
    "Space \xe2\x80\x94 animate the steps; Space again stops\n"
    "+ or = \xe2\x80\x94 animate faster\n"
    "\xe2\x88\x92 \xe2\x80\x94 animate slower\n"
    "Backspace \xe2\x80\x94 step back: the picture one step (or beat) earlier\n"
    "F11 \xe2\x80\x94 full screen on and off\n"
    "Ctrl+P \xe2\x80\x94 compare with plain rejection\n"
    "Ctrl+H \xe2\x80\x94 histogram of the darts on and off\n"
    "Ctrl+Home \xe2\x80\x94 restart from the seed";
const char* const aboutText =
    "Adaptive Rejection Sampler " ARS_VERSION "\n"
    "Derivative-free adaptive rejection sampling of log-concave densities,\n"
    "shown dart by dart and step by step.";
}  // namespace

void MainWindow::showMessage(const char* text, const char* caption) {
  // Nothing steps on behind a modal box.
  stopAnimation();
  if (window_) window_->messageBox(text, caption);
}

void MainWindow::refused() {
  const DensityState& d = model_.density;
  if (!d.isOther()) {
    showMessage(notLogConcaveText, notLogConcaveCaption);
    return;
  }
  const bool notIntegrable = refusedAsNotIntegrable(d);
  std::string text = std::string(notIntegrable ? notIntegrableText : notLogConcaveText) + "\n\n" +
                     d.otherChoice.caption + ": " + otherDensityReport(d);
  const char* caption = notIntegrable ? "Density not integrable" : notLogConcaveCaption;
  if (!inverseSqrtWouldHelp(d)) {
    showMessage(text.c_str(), caption);
    return;
  }
  text += "\n\nUnder T(f) = \xe2\x88\x92" "1/\xe2\x88\x9a" "f it is concave wherever it is plotted, "
          "as heavy tails are: it can be sampled exactly that way.";
  stopAnimation();
  if (window_ && window_->offerAction(text, caption, "Sample under \xe2\x88\x92" "1/\xe2\x88\x9a" "f")) {
    offered_ = underInverseSqrt(d.otherChoice);
  }
}

void MainWindow::takeOfferedDensity(bool throwAgain) {
  if (!offered_) return;
  const DensityChoice choice = *offered_;
  offered_.reset();
  // The refusal's proof belongs to the density as it was.
  model_.stepping.proof.reset();
  if (!::selectOtherDensity(model_, choice).empty()) return;
  if (throwAgain) ::throwDarts(model_, *this);
}

void MainWindow::unusable(const char* what) {
  const std::string text = std::string("The sampler cannot use this density:\n") + what;
  showMessage(text.c_str(), "Density not usable");
}

void MainWindow::notStepping() { showMessage(notSteppingText, notSteppingCaption); }


void MainWindow::showKeys() { showMessage(keysText, "Keys"); }

void MainWindow::showAbout() { showMessage(aboutText, "About Adaptive Rejection Sampler"); }
