// The View pop-up's animation: Next step on every tick while stepping, until
// Space again, a message box, Stop stepping or any other command.
#include "app/main_window.h"
#include "app/view_settings.h"
#include "model/sampler_commands.h"

void MainWindow::toggleAnimation() {
  SteppingState& stepping = model_.stepping;
  if (stepping.animating) {
    stopAnimation();
    return;
  }
  // A report's proof stays: animating would only meet the failed step again.
  if (!stepping.active && stepping.proof) return;
  // Animating from nothing starts the stepping first.
  if (!stepping.active) {
    stepping.notLogConcaveShown = false;
    ::startStepping(model_, *this);
  }
  if (!stepping.active || !window_) return;
  stepping.animating = true;
  window_->setTimer(animationInterval(model_.view));
}

void MainWindow::stopAnimation() {
  if (!model_.stepping.animating) return;
  model_.stepping.animating = false;
  if (window_) window_->killTimer();
}

void MainWindow::onTimer() {
  if (!model_.stepping.animating) return;
  if (!model_.stepping.active) {
    stopAnimation();
    repaint();
    return;
  }
  // A report stops it through its message box; acceptances do not.
  ::nextStep(model_, *this);
  if (!model_.stepping.active) stopAnimation();
  takeOfferedDensity(false);
  repaint();
}

void MainWindow::changeAnimationSpeed(int faster) {
  ::changeAnimationSpeed(model_.view, faster);
  if (model_.stepping.animating && window_) window_->setTimer(animationInterval(model_.view));
}

void MainWindow::setViewSettings(ViewSettings& settings) {
  settings_ = &settings;
  settings.load(model_.view);
  repaint();
}
