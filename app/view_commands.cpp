// The View pop-up's animation: Next step on every tick while stepping, until
// Space again, a message box, Stop stepping or any other command.
#include "app/main_window.h"

#include <iterator>

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
  hwnd->setTimer(animationInterval());
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
  // A report stops it through its message box; acceptances do not.
  nextStep();
  if (!stepping) stopAnimation();
  repaint();
}

int MainWindow::animationInterval() const { return animationIntervals[animationSpeed]; }

void MainWindow::changeAnimationSpeed(int faster) {
  const int last = static_cast<int>(std::size(animationIntervals)) - 1;
  const int speed = animationSpeed + faster;
  animationSpeed = speed < 0 ? 0 : speed > last ? last : speed;
  if (animating && hwnd) hwnd->setTimer(animationInterval());
}
