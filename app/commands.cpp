// The command table behind the menu and the accelerators, and the check marks.
#include "app/main_window.h"
#include "app/view_settings.h"
#include "model/density_curve.h"
#include "model/sampler_commands.h"
#include "model/step_beat.h"
#include "platform/menu.h"
#include "resources/command_ids.h"

namespace {
// Commands that only change how the picture is shown: they keep the
// animation running and a proof on screen.
bool onlyChangesTheView(int id) {
  using namespace CommandId;
  return id == statusBar || id == CommandId::largerPoints || id == CommandId::wholeEnvelope ||
         id == CommandId::twoBeats || id == CommandId::fullScreen ||
         id == fasterAnimation || id == slowerAnimation;
}
}  // namespace

void MainWindow::command(int id) {
  using namespace CommandId;
  WindowModel& m = model_;
  // Any command but Space itself, Refresh and the view's own ends the animation.
  if (id != animateSteps && id != refresh && !onlyChangesTheView(id)) stopAnimation();
  // A new density, scale, throw or start ends any earlier report.
  const bool restartsThePicture = (id >= firstDensity && id <= lastDensity) || id == normalScale ||
                                  id == CommandId::logScale || id == CommandId::tScale || id == CommandId::throwDarts ||
                                  id == CommandId::stopStepping;
  if (restartsThePicture || id == CommandId::startStepping || id == CommandId::stepUntilAccepted) {
    m.stepping.notLogConcaveShown = false;
  }
  // The proof stays on screen until the next command that changes the state.
  // A change of scale keeps it too: the proof is best seen on the log scale.
  // Next step and Space cannot go past the failed step, so they keep it as well.
  const bool keepsTheProof = onlyChangesTheView(id) || id == refresh || id == savePicture ||
                             id == keys || id == about || id == CommandId::stepBack ||
                             id == normalScale || id == CommandId::logScale || id == CommandId::tScale ||
                             id == CommandId::nextStep || id == animateSteps;
  if (!keepsTheProof) m.stepping.proof.reset();
  if (id >= firstDensity && id <= lastDensity) {
    ::stopStepping(m);
    clearDarts(m);
    m.density.kind = id - (firstDensity - 1);
    rebuildDensityCurve(m);
    repaint();
    return;
  }
  switch (id) {
    case CommandId::exit:
      window_->postQuit(0);
      return;
    case normalScale:
    case CommandId::logScale:
      clearDarts(m);
      m.view.logScale = id == CommandId::logScale;
      rebuildDensityCurve(m);
      break;
    case CommandId::tScale:
      // Darts keep their heights on one scale: a new scale throws again.
      clearDarts(m);
      m.view.tScale = !m.view.tScale;
      rebuildDensityCurve(m);
      if (settings_) settings_->save(m.view);
      break;
    case CommandId::throwDarts:
      ::stopStepping(m);
      throwDarts();
      break;
    case CommandId::startStepping:
      ::startStepping(m, *this);
      break;
    case CommandId::nextStep:
      ::nextStep(m, *this);
      break;
    case CommandId::stopStepping:
      ::stopStepping(m);
      clearDarts(m);
      break;
    case CommandId::stepUntilAccepted:
      ::stepUntilAccepted(m, *this);
      break;
    case refresh:
      break;
    case savePicture:
      stopAnimation();
      if (window_) window_->savePicture();
      break;
    case statusBar:
      m.view.statusBarShown = !m.view.statusBarShown;
      if (window_) window_->showStatusBar(m.view.statusBarShown);
      break;
    case animateSteps:
      toggleAnimation();
      break;
    case CommandId::largerPoints:
      m.view.largerPoints = !m.view.largerPoints;
      break;
    case CommandId::restartFromSeed:
      ::restartFromSeed(m);
      break;
    case CommandId::stepBack:
      ::stepBack(m, *this);
      break;
    case fasterAnimation:
    case slowerAnimation:
      changeAnimationSpeed(id == fasterAnimation ? 1 : -1);
      break;
    case CommandId::fullScreen:
      m.view.fullScreen = !m.view.fullScreen;
      if (window_) window_->setFullScreen(m.view.fullScreen);
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
      m.view.histogramShown = !m.view.histogramShown;
      break;
    case CommandId::wholeEnvelope:
      m.view.wholeEnvelope = !m.view.wholeEnvelope;
      if (settings_) settings_->save(m.view);
      break;
    case CommandId::twoBeats:
      m.view.twoBeats = !m.view.twoBeats;
      // An accepted step's candidate comes into view; a rejected one is shown refined.
      showLastBeat(m);
      if (settings_) settings_->save(m.view);
      break;
    case CommandId::comparePlainRejection:
      stopAnimation();
      ::stopStepping(m);
      m.stepping.notLogConcaveShown = false;
      compareWithPlainRejection();
      break;
    default:
      return;  // not a command
  }
  takeOfferedDensity(id == CommandId::throwDarts || id == CommandId::comparePlainRejection);
  repaint();
}

void MainWindow::updateMenu(Menu& menu, int position) {
  const WindowModel& m = model_;
  if (position == 1) {
    menu.checkItem(CommandId::logScale, m.view.logScale);
    menu.checkItem(CommandId::normalScale, !m.view.logScale);
    // Only a density sampled under -1/sqrt(f) has a T scale to show.
    menu.checkItem(CommandId::tScale, m.view.tScale);
    menu.enableItem(CommandId::tScale, m.density.isOther() &&
                                           m.density.otherChoice.transform == ars::Transform::InverseSqrt);
  } else if (position == 2) {
    for (int id = CommandId::firstDensity; id <= CommandId::lastDensity; ++id) {
      menu.checkItem(id, id == CommandId::firstDensity - 1 + m.density.kind);
    }
    menu.checkItem(CommandId::otherDensity, m.density.isOther());
  } else if (position == 4) {
    menu.checkItem(CommandId::statusBar, m.view.statusBarShown);
    menu.checkItem(CommandId::animateSteps, m.stepping.animating);
    menu.checkItem(CommandId::largerPoints, m.view.largerPoints);
    menu.checkItem(CommandId::histogram, m.view.histogramShown);
    menu.checkItem(CommandId::wholeEnvelope, m.view.wholeEnvelope);
    menu.checkItem(CommandId::twoBeats, m.view.twoBeats);
  }
}

void MainWindow::throwDarts() {
  ::throwDarts(model_, *this);
  repaint();
}
