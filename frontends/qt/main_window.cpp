#include "frontends/qt/main_window.h"

#include "frontends/qt/content_dialogs.h"
#include "frontends/qt/view_settings.h"
#include "display/plot_legend.h"
#include "platform/window_system.h"
#include "studio/menus.h"
#include "studio/terms.h"

namespace {
constexpr int windowX = 50;
constexpr int windowY = 50;
constexpr int windowWidth = 400;
constexpr int windowHeight = 300;
// The smallest client area at which caption, tick labels and plot stay apart.
constexpr int minClientWidth = 320;
constexpr int minClientHeight = 240;
}  // namespace

Window* MainWindow::open(WindowSystem& system, const char* title) {
  WindowOptions options;
  options.title = title;
  options.x = windowX;
  options.y = windowY;
  options.width = windowWidth;
  options.height = windowHeight;
  options.menu = &mainMenu();
  options.legend = &plotLegend();
  options.procedure = mainWindowProc;
  options.createParam = this;
  options.minClientWidth = minClientWidth;
  options.minClientHeight = minClientHeight;
  window_ = system.createWindow(options);
  return window_;
}

void MainWindow::show() {
  if (!window_) return;
  const Effects effects = session_.resize(window_->clientRect());
  window_->setStatusText(effects.status);
  window_->setStatusToolTip(session_.statusToolTip());
  window_->setClientToolTip(effects.toolTip);
  // Names only what the opening picture shows: no darts yet.
  window_->setLegend(session_.legend());
  window_->show();
}

int MainWindow::run(WindowSystem& system) { return system.runMessageLoop(*window_, acceleratorTable()); }

long MainWindow::onDestroy() {
  window_->postQuit(0);
  return 0;
}

void MainWindow::paint(Canvas& canvas) {
  if (!window_) return;
  ::paint(canvas, window_->clientRect(), session_);
}

void MainWindow::follow() {
  if (window_) session_.setClient(window_->clientRect());
}

void MainWindow::command(int id) {
  follow();
  handle(session_.apply(id));
}

void MainWindow::onTimer() {
  follow();
  handle(session_.tick());
}

std::string MainWindow::toolTipAt(int x, int y) {
  follow();
  const std::string tip = session_.toolTipAt(x, y);
  return tip.empty() ? session_.toolTip() : withLink(tip);
}

void MainWindow::clickAt(int x, int y) {
  follow();
  const std::string anchor = session_.termAt(x, y);
  if (!anchor.empty()) handle(session_.explain(anchor));
}

std::string MainWindow::legendTip(int entry) const {
  if (entry < 0) return "";
  const std::string tip = session_.legendTip(static_cast<std::size_t>(entry));
  return tip.empty() ? tip : withLink(tip);
}

void MainWindow::explainLegend(int entry) {
  if (entry >= 0) handle(session_.explainLegend(static_cast<std::size_t>(entry)));
}

void MainWindow::updateMenu(Menu& menu, int position) { ::updateMenu(menu, position, session_.model()); }

std::string MainWindow::selectOtherDensity(const DensityChoice& choice) {
  follow();
  const Effects effects = session_.chooseDensity(choice);
  if (effects.question && effects.question->kind == QuestionKind::Message) {
    session_.answer(*effects.question, Choice::Ok);
    return effects.question->text;
  }
  handle(effects);
  return "";
}

std::string MainWindow::openLesson(const Lesson& lesson) {
  follow();
  // The caller says why a lesson was refused, in its own box.
  std::string refusal;
  const Effects effects = session_.openLesson(lesson, &refusal);
  if (!refusal.empty()) {
    if (effects.question) session_.answer(*effects.question, Choice::Ok);
    return refusal;
  }
  handle(effects);
  return "";
}

void MainWindow::setViewSettings(ViewSettings& settings) {
  settings_ = &settings;
  ViewOptions view = session_.model().view;
  settings.load(view);
  follow();
  handle(session_.restoreView(view));
}

void MainWindow::handle(const Effects& effects) {
  if (!window_) return;
  if (effects.quit) {
    window_->postQuit(0);
    return;
  }
  if (effects.timer == Effects::Timer::Stop) window_->killTimer();
  if (effects.timer == Effects::Timer::Start) window_->setTimer(effects.timerMilliseconds);
  if (effects.statusBarShown) window_->showStatusBar(*effects.statusBarShown);
  if (effects.fullScreen) window_->setFullScreen(*effects.fullScreen);
  if (effects.viewChanged && settings_) settings_->save(session_.model().view);
  if (effects.repaint) {
    window_->invalidate();
    window_->setStatusText(effects.status);
    window_->setStatusToolTip(session_.statusToolTip());
    window_->setClientToolTip(effects.toolTip);
    window_->setLegend(effects.legend);
  }
  if (effects.question) ask(*effects.question);
}

void MainWindow::ask(const Question& question) {
  switch (question.kind) {
    case QuestionKind::Message:
      window_->messageBox(question.text, question.caption);
      handle(session_.answer(question, Choice::Ok));
      return;
    case QuestionKind::Offer: {
      const bool took = window_->offerAction(question.text, question.caption, question.action);
      handle(session_.answer(question, took ? Choice::Action : Choice::Ok));
      return;
    }
    case QuestionKind::HowItWorks:
      if (dialogs_) dialogs_->showHowItWorks(question.text);
      handle(session_.answer(question, Choice::Ok));
      return;
    case QuestionKind::SavePicture:
      window_->savePicture();
      handle(session_.answer(question, Choice::Ok));
      return;
    case QuestionKind::ChooseDensity: {
      DensityChoice choice = question.density;
      if (dialogs_ && dialogs_->chooseDensity(choice)) {
        handle(session_.chooseDensity(choice));
      } else {
        handle(session_.answer(question, Choice::Cancel));
      }
      return;
    }
    case QuestionKind::OpenLesson: {
      Lesson lesson;
      std::string problem;
      if (!dialogs_ || !dialogs_->openLessonFile(lesson, problem)) {
        handle(session_.answer(question, Choice::Cancel));
      } else if (problem.empty()) {
        handle(session_.openLesson(lesson));
      } else {
        handle(session_.lessonUnreadable(problem));
      }
      return;
    }
    case QuestionKind::SaveLesson: {
      std::string problem;
      if (dialogs_) dialogs_->saveLessonFile(session_.lesson(), problem);
      handle(problem.empty() ? session_.answer(question, Choice::Ok) : session_.lessonNotSaved(problem));
      return;
    }
  }
}
