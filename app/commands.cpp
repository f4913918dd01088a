// The command table behind the menu and the accelerators, and the check marks.
#include "app/main_window.h"
#include "platform/menu.h"
#include "resources/command_ids.h"

namespace {
// Commands that only change how the picture is shown: they keep the
// animation running and a proof on screen.
bool onlyChangesTheView(int id) {
  using namespace CommandId;
  return id == statusBar || id == CommandId::largerPoints || id == CommandId::fullScreen ||
         id == fasterAnimation || id == slowerAnimation;
}
}  // namespace

void MainWindow::command(int id) {
  using namespace CommandId;
  // Any command but Space itself, Refresh and the view's own ends the animation.
  if (id != animateSteps && id != refresh && !onlyChangesTheView(id)) stopAnimation();
  // A new density, scale, throw or start ends any earlier report.
  const bool restartsThePicture = (id >= firstDensity && id <= lastDensity) || id == normalScale ||
                                  id == CommandId::logScale || id == CommandId::throwDarts ||
                                  id == CommandId::stopStepping;
  if (restartsThePicture || id == CommandId::startStepping || id == CommandId::stepUntilAccepted) {
    notLogConcaveShown = false;
  }
  // The proof stays on screen until the next command that changes the state.
  // A change of scale keeps it too: the proof is best seen on the log scale.
  const bool keepsTheProof = onlyChangesTheView(id) || id == refresh || id == savePicture ||
                             id == keys || id == about || id == CommandId::stepBack ||
                             id == normalScale || id == CommandId::logScale;
  if (!keepsTheProof) proof.reset();
  if (id >= firstDensity && id <= lastDensity) {
    stopStepping();
    clearDarts();
    densityKind = id - (firstDensity - 1);
    rebuildDensityCurve();
    repaint();
    return;
  }
  switch (id) {
    case CommandId::exit:
      hwnd->postQuit(0);
      return;
    case normalScale:
    case CommandId::logScale:
      clearDarts();
      logScale = id == CommandId::logScale;
      rebuildDensityCurve();
      break;
    case CommandId::throwDarts:
      stopStepping();
      throwDarts();
      break;
    case CommandId::startStepping:
      startStepping();
      break;
    case CommandId::nextStep:
      nextStep();
      break;
    case CommandId::stopStepping:
      stopStepping();
      clearDarts();
      break;
    case CommandId::stepUntilAccepted:
      stepUntilAccepted();
      break;
    case refresh:
      break;
    case savePicture:
      stopAnimation();
      if (hwnd) hwnd->savePicture();
      break;
    case statusBar:
      statusBarShown = !statusBarShown;
      if (hwnd) hwnd->showStatusBar(statusBarShown);
      break;
    case animateSteps:
      toggleAnimation();
      break;
    case CommandId::largerPoints:
      largerPoints = !largerPoints;
      break;
    case CommandId::restartFromSeed:
      restartFromSeed();
      break;
    case CommandId::stepBack:
      stepBack();
      break;
    case fasterAnimation:
    case slowerAnimation:
      changeAnimationSpeed(id == fasterAnimation ? 1 : -1);
      break;
    case CommandId::fullScreen:
      fullScreen = !fullScreen;
      if (hwnd) hwnd->setFullScreen(fullScreen);
      break;
    case keys:
      showKeys();
      break;
    case about:
      showAbout();
      break;
    case CommandId::otherDensity:
    case CommandId::openLesson:
    case CommandId::saveLesson:
      stopAnimation();
      lessonCommand(id);
      break;
    case CommandId::histogram:
      histogramShown = !histogramShown;
      break;
    case CommandId::comparePlainRejection:
      stopAnimation();
      stopStepping();
      notLogConcaveShown = false;
      compareWithPlainRejection();
      break;
    default:
      return;  // not a command
  }
  repaint();
}

void MainWindow::updateMenu(Menu& menu, int position) {
  if (position == 1) {
    menu.checkItem(CommandId::logScale, logScale);
    menu.checkItem(CommandId::normalScale, !logScale);
  } else if (position == 2) {
    for (int id = CommandId::firstDensity; id <= CommandId::lastDensity; ++id) {
      menu.checkItem(id, id == CommandId::firstDensity - 1 + densityKind);
    }
    menu.checkItem(CommandId::otherDensity, densityKind == otherDensityKind);
  } else if (position == 4) {
    menu.checkItem(CommandId::statusBar, statusBarShown);
    menu.checkItem(CommandId::animateSteps, animating);
    menu.checkItem(CommandId::largerPoints, largerPoints);
    menu.checkItem(CommandId::histogram, histogramShown);
  }
}

void MainWindow::clearDarts() {
  dartX.clear();
  dartY.clear();
  comparing = false;
  plain.clear();
}

void MainWindow::stopStepping() {
  if (stepping) {
    stepping = false;
    lastStepAccepted = false;
  }
}
