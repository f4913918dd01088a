// The View pop-up's animation: Next step every half second while stepping.
#include "app/main_window.h"

void MainWindow::toggleAnimation() {
  if (animating) {
    stopAnimation();
    return;
  }
  // Animating from nothing starts the stepping first.
  if (!stepping) {
    notLogConcaveShown = false;
    startStepping();
  }
  if (!stepping || !hwnd) return;
  animating = true;
  hwnd->setTimer(animationMilliseconds);
}

void MainWindow::stopAnimation() {
  if (!animating) return;
  animating = false;
  if (hwnd) hwnd->killTimer();
}

void MainWindow::onTimer() {
  if (!animating) return;
  if (!stepping) {
    stopAnimation();
    repaint();
    return;
  }
  nextStep();
  // The animation shows the refinement up to the next accepted candidate.
  if (!stepping || lastStepAccepted) stopAnimation();
  repaint();
}
