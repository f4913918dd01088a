#pragma once
// The program's state and what it asks. A front end applies commands and
// answers questions, then does what the returned Effects say; nothing here
// calls a front end, so a command never waits for one.
#include <optional>
#include <string>
#include <vector>

#include "density/density_choice.h"
#include "display/plot_layout.h"
#include "model/lesson.h"
#include "model/reports.h"
#include "model/window_model.h"
#include "platform/canvas.h"
#include "platform/legend_entry.h"
#include "studio/question.h"

// What the front end must do after a command.
struct Effects {
  // The picture changed: repaint it, and show these.
  bool repaint = false;
  std::string status;
  std::vector<LegendEntry> legend;
  std::string toolTip;
  // The animation's tick: started (every timerMilliseconds), stopped, or as it was.
  enum class Timer { Unchanged, Start, Stop };
  Timer timer = Timer::Unchanged;
  int timerMilliseconds = 0;
  // A question to show; its answer comes back through Session::answer and friends.
  std::optional<Question> question;
  bool quit = false;
  std::optional<bool> statusBarShown;
  std::optional<bool> fullScreen;
  // The view options worth remembering between runs changed.
  bool viewChanged = false;
};

class Session : private Reports {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // A command of the table (commandTable()); unknown ids change nothing.
  Effects apply(int command);
  // The animation's tick.
  Effects tick();
  // The client area the picture is drawn in; the status line depends on it.
  Effects resize(const Rect& client);
  // Answers the pending question (Message and Offer; the others also take
  // Cancel). A question that is no longer pending is ignored.
  Effects answer(const Question& question, Choice choice);
  // The answer to ChooseDensity: the density the user chose.
  Effects chooseDensity(const DensityChoice& choice);
  // The answer to OpenLesson: a lesson already read, or the text of one.
  // Where `refusal` is given, it receives why the lesson was refused ("" when opened).
  Effects openLesson(const Lesson& lesson, std::string* refusal = nullptr);
  Effects openLessonText(const std::string& json);
  // A lesson file that could not be read, or not written: says why, and keeps the state.
  Effects lessonUnreadable(const std::string& problem);
  Effects lessonNotSaved(const std::string& problem);
  // Remembered view options, given once at start.
  Effects restoreView(const ViewOptions& view);
  // Sets the client area without effects (the desktop reads it before each command).
  void setClient(const Rect& client);
  // Help > How it works opened at the section with this anchor (see
  // howItWorks()); the question's text holds the anchor.
  Effects explain(const std::string& anchor);
  // The same for what legend entry `entry` names (nothing for no entry).
  Effects explainLegend(std::size_t entry);

  // The state on screen as a lesson, and as its JSON text.
  Lesson lesson() const;
  std::string lessonText() const;
  std::string statusLine() const;
  // The status line's tip: the whole text, and what the terms it names mean.
  std::string statusToolTip() const;
  std::string toolTip() const;
  // What lies under the pointer at client pixel (px, py) and why: a point, a
  // hull piece, a vertical step of the hull, the squeeze, the why panel; ""
  // over anything else, where toolTip() serves. termAt gives the anchor of
  // the section of How it works that explains it ("" likewise).
  std::string toolTipAt(int px, int py) const;
  std::string termAt(int px, int py) const;
  // A legend entry's one-line definition ("" for none).
  std::string legendTip(std::size_t entry) const;
  std::vector<LegendEntry> legend() const;
  const std::optional<Question>& pending() const { return pending_; }
  const WindowModel& model() const { return model_; }
  const Rect& client() const { return client_; }
  // The plot laid out for the state and the client area after the last change.
  const PlotLayout& layout() const { return layout_; }
  // The vertical range View > Fixed vertical axis holds; nullptr when none is held.
  const VerticalHold* hold() const { return held_ ? &held_->range : nullptr; }

 private:
  // What the model's operations meet, as questions.
  void refused() override;
  void unusable(const char* what) override;
  void notStepping() override;

  Effects run(int command);
  void ask(Question question);
  void tell(const std::string& text, const char* caption);
  void repaint();
  void startAnimation();
  void stopAnimation();
  void takeOfferedDensity();
  void throwDarts();
  void compareWithPlainRejection();
  Effects finish();

  WindowModel model_;
  Rect client_{0, 0, 400, 300};
  PlotLayout layout_ = layoutPlot(model_, client_);
  std::optional<Question> pending_;
  // The effects of the call being served.
  Effects effects_;
  // The density a refusal offers, and whether taking it throws again (the
  // refusal met a throw).
  std::optional<DensityChoice> offered_;
  bool offerThrowsAgain_ = false;
  // The title a lesson gave a built-in kind, kept for saving while that kind is shown.
  std::string builtinTitle_;
  int titledKind_ = 0;
  int builtinTitleKind() const;

  // The fixed vertical axis: the range held, with the curve and the client
  // area it was held for. Another curve (a density or a scale) or another
  // size releases it, as does a new start of the stepping.
  struct HeldAxis {
    VerticalHold range;
    std::vector<double> curveY;
    double xMin = 0.0;
    double xMax = 0.0;
    Rect client;
  };
  std::optional<HeldAxis> held_;
  bool wasStepping_ = false;
  void layOut();
};

// The whole picture, from the session alone.
void paint(Canvas& canvas, const Rect& client, const Session& session);
