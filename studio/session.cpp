// Commands as operations on the model, and what the front end must do after them.
#include "studio/session.h"

#include "studio/status_line.h"
#include "studio/window_picture.h"
#include "display/plot_legend.h"
#include "model/density_curve.h"
#include "display/plot_layout.h"
#include "model/other_density.h"
#include "model/plain_beside.h"
#include "model/plain_comparison.h"
#include "model/sampler_commands.h"
#include "model/sampler_in_use.h"
#include "model/saved_view.h"
#include "model/step_beat.h"
#include "resources/command_ids.h"
#include "studio/command_table.h"
#include "studio/density_check.h"
#include "studio/lesson_json.h"
#include "studio/menus.h"
#include "studio/pointer_tips.h"
#include "studio/terms.h"
#include "studio/side_panels.h"
#include "studio/messages.h"

namespace {
// Commands that only change how the picture is shown: they keep the
// animation running and a proof on screen.
bool onlyChangesTheView(int id) {
  using namespace CommandId;
  return id == statusBar || id == CommandId::largerPoints || id == CommandId::wholeEnvelope ||
         id == CommandId::twoBeats || id == CommandId::whyPanel || id == CommandId::progressChart ||
         id == CommandId::fullScreen || id == fasterAnimation || id == slowerAnimation ||
         id == CommandId::acceptedValues || id == CommandId::plainBeside || id == CommandId::projectorTheme ||
         id == CommandId::fixedVerticalAxis || id == CommandId::envelopeAfterDarts;
}
}  // namespace

Effects Session::apply(int command) {
  effects_ = Effects{};
  // An unanswered question is dropped by the next command.
  pending_.reset();
  offered_.reset();
  offerThrowsAgain_ = command == CommandId::throwDarts || command == CommandId::comparePlainRejection;
  return run(command);
}

Effects Session::run(int id) {
  using namespace CommandId;
  WindowModel& m = model_;
  if (findCommand(id) == nullptr) return finish();  // not a command
  // Any command but Space itself, Refresh and the view's own ends the animation.
  if (id != animateSteps && id != refresh && !onlyChangesTheView(id)) stopAnimation();
  // A new density, scale, throw or start ends any earlier report.
  const bool restartsThePicture = (id >= firstDensity && id <= lastDensity) || id == normalScale ||
                                  id == CommandId::logScale || id == CommandId::tScale ||
                                  id == CommandId::throwDarts || id == CommandId::stopStepping;
  if (restartsThePicture || id == CommandId::startStepping || id == CommandId::stepUntilAccepted) {
    m.stepping.notLogConcaveShown = false;
  }
  // The proof stays on screen until the next command that changes the state.
  // A change of scale keeps it too: the proof is best seen on the log scale.
  // Next step and Space cannot go past the failed step, so they keep it as well.
  const bool keepsTheProof = onlyChangesTheView(id) || id == refresh || id == savePicture || id == keys ||
                             id == about || id == CommandId::howItWorks || id == CommandId::stepBack || id == normalScale ||
                             id == CommandId::logScale || id == CommandId::tScale || id == CommandId::nextStep ||
                             id == animateSteps;
  if (!keepsTheProof) m.stepping.proof.reset();
  if (id >= firstDensity && id <= lastDensity) {
    ::stopStepping(m);
    clearDarts(m);
    m.density.kind = id - (firstDensity - 1);
    rebuildDensityCurve(m);
    repaint();
    return finish();
  }
  switch (id) {
    case CommandId::exit:
      effects_.quit = true;
      return finish();
    // Normal, log and T are one choice. Darts keep their heights on one
    // scale: a new scale throws again.
    case normalScale:
    case CommandId::logScale:
      clearDarts(m);
      m.view.logScale = id == CommandId::logScale;
      if (m.view.tScale) {
        m.view.tScale = false;
        effects_.viewChanged = true;
      }
      rebuildDensityCurve(m);
      break;
    case CommandId::tScale:
      // Greyed out where there is no T scale. Chosen, it keeps the normal or
      // log scale for the densities without one.
      if (!tScaleAvailable(m)) break;
      clearDarts(m);
      effects_.viewChanged = !m.view.tScale;
      m.view.tScale = true;
      rebuildDensityCurve(m);
      break;
    case CommandId::throwDarts:
      ::stopStepping(m);
      throwDarts();
      break;
    case CommandId::startStepping:
      // A new start holds its own first envelope.
      held_.reset();
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
      ask({QuestionKind::SavePicture, "", "Save picture", "", {}, ""});
      break;
    case statusBar:
      m.view.statusBarShown = !m.view.statusBarShown;
      effects_.statusBarShown = m.view.statusBarShown;
      break;
    case animateSteps:
      if (m.stepping.animating) {
        stopAnimation();
      } else {
        startAnimation();
      }
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
      ::changeAnimationSpeed(m.view, id == fasterAnimation ? 1 : -1);
      if (m.stepping.animating) {
        effects_.timer = Effects::Timer::Start;
        effects_.timerMilliseconds = animationInterval(m.view);
      }
      break;
    case CommandId::fullScreen:
      m.view.fullScreen = !m.view.fullScreen;
      effects_.fullScreen = m.view.fullScreen;
      break;
    case keys:
      tell(keysText(), "Keys");
      break;
    case about:
      tell(aboutText(), "About Adaptive Rejection Sampler");
      break;
    case CommandId::howItWorks:
      ask({QuestionKind::HowItWorks, "", "How it works", "", {}, ""});
      break;
    case CommandId::otherDensity:
      stopAnimation();
      ask({QuestionKind::ChooseDensity, "", "Other density", "", m.density.otherChoice, ""});
      break;
    case CommandId::openLesson:
      stopAnimation();
      ask({QuestionKind::OpenLesson, "", "Open lesson", "", {}, ""});
      break;
    case CommandId::saveLesson:
      stopAnimation();
      ask({QuestionKind::SaveLesson, "", "Save lesson", "", {}, lessonText()});
      break;
    case CommandId::histogram:
      m.view.histogramShown = !m.view.histogramShown;
      break;
    case CommandId::wholeEnvelope:
      m.view.wholeEnvelope = !m.view.wholeEnvelope;
      effects_.viewChanged = true;
      break;
    case CommandId::twoBeats:
      m.view.twoBeats = !m.view.twoBeats;
      // An accepted step's candidate comes into view; a rejected one is shown refined.
      showLastBeat(m);
      effects_.viewChanged = true;
      break;
    case CommandId::acceptedValues:
      m.view.acceptedValues = !m.view.acceptedValues;
      break;
    case CommandId::plainBeside:
      m.view.plainBeside = !m.view.plainBeside;
      break;
    case CommandId::whyPanel:
      m.view.whyPanel = !m.view.whyPanel;
      break;
    case CommandId::progressChart:
      m.view.progressChart = !m.view.progressChart;
      break;
    case CommandId::envelopeAfterDarts:
      m.view.envelopeAfterDarts = !m.view.envelopeAfterDarts;
      break;
    case CommandId::projectorTheme:
      m.view.theme = m.view.theme == PlotTheme::projector ? PlotTheme::classic : PlotTheme::projector;
      effects_.viewChanged = true;
      break;
    case CommandId::fixedVerticalAxis:
      m.view.fixedAxis = !m.view.fixedAxis;
      // Turned on, it holds the range now shown.
      held_.reset();
      effects_.viewChanged = true;
      break;
    case CommandId::comparePlainRejection:
      stopAnimation();
      ::stopStepping(m);
      m.stepping.notLogConcaveShown = false;
      compareWithPlainRejection();
      break;
    default:
      return finish();
  }
  repaint();
  return finish();
}

Effects Session::tick() {
  effects_ = Effects{};
  if (!model_.stepping.animating) return finish();
  pending_.reset();
  offered_.reset();
  offerThrowsAgain_ = false;
  if (model_.stepping.active) {
    // A report stops it through its question; acceptances do not.
    ::nextStep(model_, *this);
  }
  if (!model_.stepping.active) stopAnimation();
  repaint();
  return finish();
}

Effects Session::resize(const Rect& client) {
  effects_ = Effects{};
  client_ = client;
  repaint();
  return finish();
}

Effects Session::answer(const Question& question, Choice choice) {
  effects_ = Effects{};
  if (!pending_ || pending_->kind != question.kind || pending_->text != question.text) return finish();
  pending_.reset();
  if (question.kind == QuestionKind::Offer && choice == Choice::Action) takeOfferedDensity();
  offered_.reset();
  return finish();
}

Effects Session::chooseDensity(const DensityChoice& choice) {
  effects_ = Effects{};
  pending_.reset();
  const std::string problem = ::selectOtherDensity(model_, choice);
  if (!problem.empty()) {
    tell(problem, "Density not usable");
    return finish();
  }
  stopAnimation();
  repaint();
  return finish();
}

Effects Session::openLesson(const Lesson& lesson, std::string* refusal) {
  // A typed density is held to the dialog's checks before anything shown
  // changes: a refused lesson leaves the picture, the animation and any
  // offer as they were.
  Lesson checked = lesson;
  if (checked.builtin == 0) {
    const std::string refused = densityProblem(checked.density);
    if (refusal) *refusal = refused;
    if (!refused.empty()) return lessonUnreadable(refused);
  }
  effects_ = Effects{};
  pending_.reset();
  offered_.reset();
  offerThrowsAgain_ = false;
  stopAnimation();
  const std::string problem = ::restoreView(model_, lessonView(checked, savedView(model_)), *this);
  if (refusal) *refusal = problem;
  if (!problem.empty()) {
    tell("The lesson cannot be opened:\n" + problem, "Open lesson");
    return finish();
  }
  builtinTitle_ = checked.builtin != 0 ? checked.title : "";
  titledKind_ = checked.builtin;
  repaint();
  return finish();
}

Effects Session::openLessonText(const std::string& json) {
  Lesson lesson;
  const std::string problem = parseLesson(json, lesson);
  if (!problem.empty()) return lessonUnreadable(problem);
  return openLesson(lesson);
}

Effects Session::lessonUnreadable(const std::string& problem) {
  effects_ = Effects{};
  pending_.reset();
  tell("The lesson cannot be opened:\n" + problem, "Open lesson");
  return finish();
}

Effects Session::lessonNotSaved(const std::string& problem) {
  effects_ = Effects{};
  pending_.reset();
  tell(problem, "Save lesson");
  return finish();
}

Effects Session::restoreView(const ViewOptions& view) {
  effects_ = Effects{};
  model_.view = view;
  repaint();
  return finish();
}

Lesson Session::lesson() const {
  Lesson shown = currentLesson(model_);
  // A built-in kind's lesson title goes with that kind, while it is shown.
  if (shown.builtin != 0 && shown.builtin == builtinTitleKind()) shown.title = builtinTitle_;
  return shown;
}

int Session::builtinTitleKind() const { return builtinTitle_.empty() ? 0 : titledKind_; }

std::string Session::lessonText() const { return lessonJson(lesson()); }

std::string Session::statusLine() const { return ::statusLine(model_, &layout_); }

std::string Session::toolTip() const { return plotToolTip(model_); }

std::string Session::statusToolTip() const {
  const std::string status = statusLine();
  const std::string terms = termsNamedIn(status);
  return terms.empty() ? status : status + "\n\n" + terms;
}

std::string Session::toolTipAt(int px, int py) const { return pointerTip(model_, layout_, client_, px, py).text; }

std::string Session::termAt(int px, int py) const { return pointerTip(model_, layout_, client_, px, py).anchor; }

std::string Session::legendTip(std::size_t entry) const {
  const std::vector<LegendEntry> entries = legend();
  if (entry >= entries.size()) return "";
  const Term* term = legendTerm(entries[entry].name, comparisonShown(model_));
  return term ? term->definition : "";
}

Effects Session::explain(const std::string& anchor) {
  effects_ = Effects{};
  pending_.reset();
  ask({QuestionKind::HowItWorks, anchor, "How it works", "", {}, ""});
  return finish();
}

Effects Session::explainLegend(std::size_t entry) {
  const std::vector<LegendEntry> entries = legend();
  const Term* term = entry < entries.size() ? legendTerm(entries[entry].name, comparisonShown(model_)) : nullptr;
  if (!term) {
    effects_ = Effects{};
    return finish();
  }
  return explain(term->anchor);
}

std::vector<LegendEntry> Session::legend() const {
  const bool splitsShown = model_.density.isOther() && !model_.density.otherChoice.splits.empty();
  // The marks where the hull lies below the density prove as much as a proof does.
  const bool proofShown = model_.stepping.proof.has_value() || !layout_.hullGaps.empty();
  const PlotTheme theme = model_.view.theme;
  // The envelope, while shown, takes the darts' place (window_picture.cpp).
  const bool envelopeShown = model_.stepping.active || model_.stepping.proof.has_value();
  // A new scale empties the darts but keeps the throw (and the envelope it ended with).
  const bool thrown = model_.darts.thrown && !envelopeShown;
  const bool dartsShown = thrown && !model_.darts.x.empty();
  if (comparisonShown(model_)) return comparisonLegend(theme);
  // Only what is drawn: the envelope while stepping or over the darts, the
  // fates while stepping in two beats, the classic candidate once there is one.
  const bool twoBeats = model_.view.twoBeats && envelopeShown;
  const bool envelopeDrawn = envelopeShown || (thrown && model_.view.envelopeAfterDarts);
  const bool candidateDrawn = envelopeShown && !twoBeats && lastCandidate(model_).has_value();
  std::vector<LegendEntry> entries;
  for (const LegendEntry& e : plotLegend(proofShown, twoBeats, splitsShown, theme, dartsShown)) {
    const std::string name = e.name;
    if (!envelopeDrawn && (name == "upper hull" || name == "squeeze" || name == "points")) continue;
    if (!candidateDrawn && name == "candidate") continue;
    entries.push_back(e);
  }
  return entries;
}

void Session::repaint() {
  updatePlainBeside(model_);
  layOut();
  effects_.repaint = true;
}

namespace {
bool sameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

void Session::layOut() {
  // Laid out once per change: the status line and the paint both read it.
  const CurveState& curve = model_.curve;
  const bool stepping = model_.stepping.active;
  const bool started = stepping && !wasStepping_;
  wasStepping_ = stepping;
  if (held_ && (!model_.view.fixedAxis || started ||
                held_->xMin != curve.xMin || held_->xMax != curve.xMax || held_->curveY != curve.yValues)) {
    held_.reset();
  }
  const Rect plot = plotArea(model_, client_);
  if (held_ && !sameRect(held_->client, plot)) held_.reset();
  layout_ = layoutPlot(model_, plot, hold());
  if (!model_.view.fixedAxis || !layout_.curveShown) return;
  // Held from the first layout on, growing only: later beats never make it jump.
  if (!held_) held_ = HeldAxis{{}, curve.yValues, curve.xMin, curve.xMax, plot};
  held_->range = {layout_.ranges.yMin, layout_.ranges.yMax};
}

Effects Session::finish() {
  if (effects_.repaint) {
    effects_.status = statusLine();
    effects_.toolTip = toolTip();
    effects_.legend = legend();
  }
  if (pending_ && !effects_.question) effects_.question = pending_;
  return effects_;
}

void Session::ask(Question question) {
  // One question at a time: the first a command meets is the one shown.
  if (pending_) return;
  // Nothing steps on behind a question.
  stopAnimation();
  pending_ = std::move(question);
}

void Session::tell(const std::string& text, const char* caption) {
  ask({QuestionKind::Message, text, caption, "", {}, ""});
}

void Session::startAnimation() {
  SteppingState& stepping = model_.stepping;
  // A report's proof stays: animating would only meet the failed step again.
  if (!stepping.active && stepping.proof) return;
  // Animating from nothing starts the stepping first.
  if (!stepping.active) {
    stepping.notLogConcaveShown = false;
    ::startStepping(model_, *this);
  }
  if (!stepping.active || pending_) return;
  stepping.animating = true;
  effects_.timer = Effects::Timer::Start;
  effects_.timerMilliseconds = animationInterval(model_.view);
}

void Session::stopAnimation() {
  if (!model_.stepping.animating) return;
  model_.stepping.animating = false;
  effects_.timer = Effects::Timer::Stop;
}

void Session::throwDarts() { ::throwDarts(model_, *this); }

void Session::compareWithPlainRejection() {
  // From the seed, as Restart from seed leaves it: the same lesson gives the
  // same counts whatever ran before.
  ::restartFromSeed(model_);
  throwDarts();
  if (model_.darts.x.size() < static_cast<std::size_t>(model_.darts.count) || model_.curve.yValues.empty()) {
    return;
  }
  throwPlainComparison(model_);
}

void Session::takeOfferedDensity() {
  if (!offered_) return;
  const DensityChoice choice = *offered_;
  offered_.reset();
  // The refusal's proof belongs to the density as it was.
  model_.stepping.proof.reset();
  if (::selectOtherDensity(model_, choice).empty() && offerThrowsAgain_) ::throwDarts(model_, *this);
  repaint();
}

void paint(Canvas& canvas, const Rect& client, const Session& session) {
  const Rect& laidOut = session.layout().client;
  const Rect plot = plotArea(session.model(), client);
  if (plot.left == laidOut.left && plot.top == laidOut.top && plot.right == laidOut.right &&
      plot.bottom == laidOut.bottom) {
    paintWindow(canvas, session.layout(), session.model());
  } else {
    paintWindow(canvas, layoutPlot(session.model(), plot, session.hold()), session.model());
  }
  paintSidePanels(canvas, client, session.model());
}

void Session::setClient(const Rect& client) {
  const bool same = client.left == client_.left && client.top == client_.top && client.right == client_.right &&
                    client.bottom == client_.bottom;
  client_ = client;
  if (!same) layOut();
}
