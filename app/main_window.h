#pragma once
// The application object: the state behind the window, its commands and its
// paint. Commands change the state and ask for a repaint; the paint draws the
// whole picture from the state.
#include <cstdint>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "app/lesson.h"
#include "app/plain_rejection.h"
#include "density/beta_density.h"
#include "density/density_choice.h"
#include "density/formula_density.h"
#include "density/gamma_density.h"
#include "density/test_density.h"
#include "display/plotter.h"
#include "display/proof_highlight.h"
#include "platform/window.h"
#include "resources/accelerators.h"
#include "sampler/ars.h"
#include "sampler/uniform_random.h"

class Canvas;
class Menu;
struct PlotMapping;
class WindowSystem;

class MainWindow {
 public:
  MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  Window* open(WindowSystem& system, const char* title);
  void show();
  int run(WindowSystem& system);
  long onDestroy();

  void paint(Canvas& canvas);
  void command(int id);
  void updateMenu(Menu& menu, int position);
  void rebuildDensityCurve();
  // An empty plotter over [plotXMin, plotXMax], its ticks spread evenly.
  void clearPlotterForCurve();

  void clearDarts();
  void stopStepping();
  void prepareSampler();
  void throwDarts();
  void startStepping();
  void nextStep();
  void stepUntilAccepted();

  // Additions: the View pop-up, the animation and the status line.
  void toggleAnimation();
  void stopAnimation();
  void onTimer();
  std::string statusLine() const;

  // Additions for the lecture hall: rehearsal, speed, help, and the plot's
  // ranges made ready before the status line reads them.
  void restartFromSeed();
  void stepBack();
  void changeAnimationSpeed(int faster);
  int animationInterval() const;
  void preparePlot();
  std::string plotToolTip() const;
  std::string candidateOutsideNote() const;

  const std::vector<Accelerator>* accel = nullptr;
  Window* hwnd = nullptr;
  Plotter plotter;
  bool logScale = false;
  double alpha = 2.0;
  double beta = 3.0;
  double plotXMin = 0.0;
  double plotXMax = 1.0;
  std::int32_t densityKind = 1;
  bool stepping = false;
  bool lastStepAccepted = true;
  UniformRandom rnd;
  double curveLogOffset = 0.0;
  ARSSampler sampler;
  ARSBetaDensity betaDensity;
  ARSGammaDensity gammaDensity;
  ARSTestDensity testDensity;
  std::vector<double> dartX;
  std::vector<double> dartY;
  bool dartsThrown = false;
  std::int32_t dartCount = 5000;

  // What the last sampler step did, as the status line reports it.
  enum class StepResult { None, SqueezeAccept, DensityAccept, Rejection };
  // The last throw, as it ended.
  struct ThrowSummary {
    std::size_t darts = 0;
    std::uint64_t candidates = 0;
    std::uint64_t evaluations = 0;
    std::size_t points = 0;
  };
  int stepsTaken = 0;
  StepResult lastStepResult = StepResult::None;
  ThrowSummary lastThrow;
  bool notLogConcaveShown = false;  // since the last command that started the sampler
  bool statusBarShown = true;
  bool animating = false;
  bool largerPoints = false;

  static constexpr int animationMilliseconds = 500;
  // Intervals from slowest to fastest; Space starts at animationMilliseconds.
  static constexpr int animationIntervals[] = {2000, 1000, 500, 250, 125, 60};
  int animationSpeed = 2;
  bool fullScreen = false;
  // After a not-log-concave report while stepping: the points that prove it,
  // shown with the envelope until the next command.
  std::optional<ProofHighlight> proof;
  // The random state and the sampler's scale as stepping began: Step back
  // replays from there.
  UniformRandom steppingStartRandom;
  double steppingStartOffset = 0.0;

  // Additions: a density beyond the built-in kinds (typed, from the
  // catalogue or from a lesson), the histogram and plain rejection.
  static constexpr std::int32_t otherDensityKind = 7;
  // Returns why the choice cannot be used ("" when it is now the density shown).
  std::string selectOtherDensity(const DensityChoice& choice);
  std::string openLesson(const Lesson& lesson);
  Lesson currentLesson() const;
  void compareWithPlainRejection();
  void lessonCommand(int id);
  void drawHistogram(Canvas& canvas, const PlotMapping& mapping);
  void drawPlainRejection(Canvas& canvas, const PlotMapping& mapping);
  void rebuildOtherDensityCurve();
  void prepareOtherSampler();
  std::string otherDensityReport() const;
  std::string comparisonStatus() const;

  DensityChoice otherChoice;
  std::unique_ptr<FormulaDensity> otherDensity;
  double otherXMin = 0.0;  // the plotted range for it, found when it was chosen
  double otherXMax = 1.0;
  LessonScale otherScale = LessonScale::unspecified;
  // The sampler's settings belong to the built-in kinds again after a typed
  // density, and its scale is the one they left.
  bool samplerHoldsOther = false;
  double builtInScaleOffset = 0.0;
  // Why the other density was refused, in a sentence (empty: not refused).
  std::string refusal;
  // Three points of the curve that prove the refusal, when it has them.
  std::optional<ProofHighlight> refusalProof;
  bool histogramShown = false;
  bool comparing = false;
  PlainRejection plain;

 private:
  void repaint();
  void showRefusal();
  void showUnusable(const char* what);
  void showNotLogConcave();
  void showMessage(const char* text, const char* caption);
  bool takeStep();
  void rememberSteppingStart();
  void replaySteps(int count);
  void findProof();
  void showKeys();
  void showAbout();
};

// Routes the window system's messages to the MainWindow stored in the window's user data.
long mainWindowProc(Window& window, WindowMessage message, const MessageParams& params);

constexpr const char* mainWindowTitle = "Adaptive Rejection Sampler";
