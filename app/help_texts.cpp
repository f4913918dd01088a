// The Help pop-up: every key and what it does, and what the program is.
#include "app/main_window.h"

namespace {
const char* const keysText =
    "Ctrl+T \xe2\x80\x94 throw 5000 darts\n"
    "Ctrl+S \xe2\x80\x94 start stepping: starting points and the first envelope\n"
    "Ctrl+N \xe2\x80\x94 next step: draw one candidate and refine the envelope\n"
    "Ctrl+G \xe2\x80\x94 start stepping and step until a candidate is accepted\n"
    "Ctrl+X \xe2\x80\x94 stop stepping\n"
    "Ctrl+E \xe2\x80\x94 normal scale\n"
    "Ctrl+L \xe2\x80\x94 log scale\n"
    "Ctrl+R \xe2\x80\x94 refresh the picture\n"
    "Space \xe2\x80\x94 animate the steps; Space again stops\n"
    "+ or = \xe2\x80\x94 animate faster\n"
    "\xe2\x88\x92 \xe2\x80\x94 animate slower\n"
    "Backspace \xe2\x80\x94 step back: the picture one step earlier\n"
    "F11 \xe2\x80\x94 full screen on and off\n"
    "Ctrl+P \xe2\x80\x94 compare with plain rejection\n"
    "Ctrl+H \xe2\x80\x94 histogram of the darts on and off\n"
    "Ctrl+Home \xe2\x80\x94 restart from the seed";
const char* const aboutText =
    "Adaptive Rejection Sampler " ARS_VERSION "\n"
    "Derivative-free adaptive rejection sampling of log-concave densities,\n"
    "shown dart by dart and step by step.";
}  // namespace

void MainWindow::showKeys() { showMessage(keysText, "Keys"); }

void MainWindow::showAbout() { showMessage(aboutText, "About Adaptive Rejection Sampler"); }
