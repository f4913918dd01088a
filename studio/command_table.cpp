#include "studio/command_table.h"

#include "model/density_curve.h"
#include "model/window_model.h"
#include "resources/command_ids.h"

namespace {
using namespace CommandId;
using A = Accelerator;

bool kindIs(const WindowModel& m, int id) { return m.density.kind == id - (firstDensity - 1); }
template <int id>
bool isKind(const WindowModel& m) { return kindIs(m, id); }

// Normal, log and T are one choice: exactly one of them is ticked, the one shown.
bool logScaleOn(const WindowModel& m) { return m.view.logScale && !tScaleShown(m); }
bool normalScaleOn(const WindowModel& m) { return !m.view.logScale && !tScaleShown(m); }
bool tScaleOn(const WindowModel& m) { return tScaleShown(m); }
bool otherShown(const WindowModel& m) { return m.density.isOther(); }
bool statusBarOn(const WindowModel& m) { return m.view.statusBarShown; }
bool animating(const WindowModel& m) { return m.stepping.animating; }
bool largerPointsOn(const WindowModel& m) { return m.view.largerPoints; }
bool fullScreenOn(const WindowModel& m) { return m.view.fullScreen; }
bool histogramOn(const WindowModel& m) { return m.view.histogramShown; }
bool wholeEnvelopeOn(const WindowModel& m) { return m.view.wholeEnvelope; }
bool twoBeatsOn(const WindowModel& m) { return m.view.twoBeats; }
bool acceptedValuesOn(const WindowModel& m) { return m.view.acceptedValues; }
bool plainBesideOn(const WindowModel& m) { return m.view.plainBeside; }
bool whyPanelOn(const WindowModel& m) { return m.view.whyPanel; }
bool progressChartOn(const WindowModel& m) { return m.view.progressChart; }
bool envelopeAfterDartsOn(const WindowModel& m) { return m.view.envelopeAfterDarts; }
bool projectorOn(const WindowModel& m) { return m.view.theme == PlotTheme::projector; }
bool fixedAxisOn(const WindowModel& m) { return m.view.fixedAxis; }

const CommandRow separator(int popup) { return {0, popup, nullptr, {}, nullptr, nullptr, nullptr}; }

std::vector<CommandRow> makeTable() {
  return {
      {savePicture, 0, "Save &picture\u2026", {}, nullptr, nullptr, nullptr},
      separator(0),
      {CommandId::exit, 0, "E&xit", {}, nullptr, nullptr, nullptr},
      separator(0),
      {openLesson, 0, "Open &lesson\u2026", {}, nullptr, nullptr, nullptr},
      {saveLesson, 0, "Sa&ve lesson\u2026", {}, nullptr, nullptr, nullptr},

      {normalScale, 1, "&Normal scale", {A{'E', normalScale}}, "normal scale", nullptr, normalScaleOn},
      {logScale, 1, "&Log scale", {A{'L', logScale}}, "log scale", nullptr, logScaleOn},
      separator(1),
      {tScale, 1, "&T scale (\u22121/\u221af)", {}, nullptr, tScaleAvailable, tScaleOn},

      {firstDensity, 2, "Beta(2,3)", {}, nullptr, nullptr, isKind<firstDensity>},
      {firstDensity + 1, 2, "Beta(0.5,2)", {}, nullptr, nullptr, isKind<firstDensity + 1>, true},
      {firstDensity + 2, 2, "Gamma(1,1)", {}, nullptr, nullptr, isKind<firstDensity + 2>, true},
      {firstDensity + 3, 2, "Gamma(10,0.1)", {}, nullptr, nullptr, isKind<firstDensity + 3>},
      {firstDensity + 4, 2, "Gamma(0.5,2)", {}, nullptr, nullptr, isKind<firstDensity + 4>, true},
      {lastDensity, 2, "Test density", {}, nullptr, nullptr, isKind<lastDensity>},
      separator(2),
      {otherDensity, 2, "&Other density\u2026", {}, nullptr, nullptr, otherShown},

      {throwDarts, 3, "&Throw darts", {A{'T', throwDarts}}, "throw 5000 darts", nullptr, nullptr, false, true},
      separator(3),
      {startStepping, 3, "&Start stepping", {A{'S', startStepping}},
       "start stepping: starting points and the first envelope", nullptr, nullptr, false, true},
      {nextStep, 3, "&Next step", {A{'N', nextStep}},
       "next step: draw one candidate and refine the envelope\n"
       "    (with View > Two beats per step: the candidate, then the refined envelope)",
       nullptr, nullptr, false, true},
      {stepUntilAccepted, 3, "Step until accepted", {A{'G', stepUntilAccepted}},
       "start stepping and step until a candidate is accepted", nullptr, nullptr, true},
      {stopStepping, 3, "Sto&p stepping", {A{'X', stopStepping}}, "stop stepping", nullptr, nullptr},
      separator(3),
      {refresh, 3, "&Refresh", {A{'R', refresh}}, "refresh the picture", nullptr, nullptr},
      separator(3),
      {restartFromSeed, 3, "Restart from s&eed", {A{SpecialKey::home, restartFromSeed}}, "restart from the seed",
       nullptr, nullptr},
      {stepBack, 3, "Step &back", {A{SpecialKey::backspace, stepBack, false}},
       "step back: the picture one step (or beat) earlier", nullptr, nullptr, false, true},
      separator(3),
      {comparePlainRejection, 3, "&Compare with plain rejection", {A{'P', comparePlainRejection}},
       "compare with plain rejection", nullptr, nullptr},

      {statusBar, 4, "&Status bar", {}, nullptr, nullptr, statusBarOn},
      {animateSteps, 4, "&Animate steps", {A{' ', animateSteps, false}}, "animate the steps; Space again stops",
       nullptr, animating, false, true},
      {largerPoints, 4, "&Larger points", {}, nullptr, nullptr, largerPointsOn},
      separator(4),
      {fullScreen, 4, "&Full screen", {A{SpecialKey::f11, fullScreen, false}}, "full screen on and off", nullptr,
       fullScreenOn},
      // '=' is '+' without Shift on many keyboards.
      {fasterAnimation, 4, "Animate fas&ter", {A{'+', fasterAnimation, false}, A{'=', fasterAnimation, false}},
       "animate faster", nullptr, nullptr},
      {slowerAnimation, 4, "Animate sl&ower", {A{'-', slowerAnimation, false}}, "animate slower", nullptr, nullptr},
      separator(4),
      {histogram, 4, "&Histogram of the darts", {A{'H', histogram}}, "histogram of the darts on and off", nullptr,
       histogramOn},
      {acceptedValues, 4, "Accepted &values", {}, nullptr, nullptr, acceptedValuesOn},
      {plainBeside, 4, "&Plain rejection beside", {}, nullptr, nullptr, plainBesideOn},
      {wholeEnvelope, 4, "&Whole envelope in view", {}, nullptr, nullptr, wholeEnvelopeOn},
      {twoBeats, 4, "Two &beats per step", {}, nullptr, nullptr, twoBeatsOn},
      {whyPanel, 4, "&Why this step", {}, nullptr, nullptr, whyPanelOn},
      {progressChart, 4, "Envelope &progress", {}, nullptr, nullptr, progressChartOn},
      {envelopeAfterDarts, 4, "Envelope after &darts", {}, nullptr, nullptr, envelopeAfterDartsOn},
      {projectorTheme, 4, "&Projector theme", {}, nullptr, nullptr, projectorOn},
      {fixedVerticalAxis, 4, "Fi&xed vertical axis", {}, nullptr, nullptr, fixedAxisOn},

      {howItWorks, 5, "&How it works\u2026", {}, nullptr, nullptr, nullptr},
      {keys, 5, "&Keys\u2026", {}, nullptr, nullptr, nullptr},
      {about, 5, "&About", {}, nullptr, nullptr, nullptr},
  };
}
}  // namespace

const std::vector<CommandRow>& commandTable() {
  static const std::vector<CommandRow> table = makeTable();
  return table;
}

const CommandRow* findCommand(int id) {
  if (id == 0) return nullptr;
  for (const CommandRow& row : commandTable()) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

bool commandEnabled(const CommandRow& row, const WindowModel& model) {
  return row.enabled == nullptr || row.enabled(model);
}

bool commandChecked(const CommandRow& row, const WindowModel& model) {
  return row.checked != nullptr && row.checked(model);
}

const std::vector<const char*>& menuTitles() {
  static const std::vector<const char*> titles = {"&File", "&Plot", "&Distribution", "&Go", "&View", "&Help"};
  return titles;
}

std::string keyName(const Accelerator& key) {
  std::string name;
  switch (key.key) {
    case ' ': name = "Space"; break;
    case '-': name = "\u2212"; break;
    case SpecialKey::backspace: name = "Backspace"; break;
    case SpecialKey::f11: name = "F11"; break;
    case SpecialKey::home: name = "Home"; break;
    default: name = std::string(1, static_cast<char>(key.key));
  }
  return key.control ? "Ctrl+" + name : name;
}
