#include "model/saved_view.h"

#include "density/density_kinds.h"

#include "model/density_curve.h"
#include "model/other_density.h"
#include "model/sampler_commands.h"
#include "model/window_model.h"

SavedView savedView(const WindowModel& model) {
  SavedView saved;
  saved.densityKind = model.density.kind;
  saved.otherChoice = model.density.otherChoice;
  saved.view = model.view;
  saved.darts = model.darts.count;
  saved.seed = model.rnd.seed;
  if (model.stepping.active) {
    saved.steps = model.stepping.stepsTaken;
    // Stepping may have begun after a throw: its replay starts where it began.
    saved.seed = model.stepping.startRandom.state;
  }
  return saved;
}

std::string restoreView(WindowModel& model, const SavedView& saved, Reports& reports) {
  const bool typed = saved.densityKind == otherDensityKind;
  if (!typed && (saved.densityKind < firstDensityKind || saved.densityKind > lastDensityKind)) {
    return "no density kind " + std::to_string(saved.densityKind);
  }
  const ViewOptions before = model.view;
  model.view = saved.view;
  if (typed) {
    const std::string problem = selectOtherDensity(model, saved.otherChoice);
    if (!problem.empty()) {
      model.view = before;
      return problem;
    }
  } else {
    stopStepping(model);
    clearDarts(model);
    model.stepping.notLogConcaveShown = false;
    model.density.kind = saved.densityKind;
    rebuildDensityCurve(model);
  }
  // The animation is the window's to start again.
  model.stepping.animating = false;
  model.stepping.proof.reset();
  model.darts.count = saved.darts;
  model.darts.thrown = false;
  model.rnd.seed = saved.seed;
  restartFromSeed(model);
  if (saved.steps != SavedView::notStepping) {
    startStepping(model, reports);
    takeWholeSteps(model, reports, saved.steps);
  }
  return "";
}
