// A density beyond the six built-in kinds: chosen in the dialog, from the
// catalogue or from a lesson, and sampled with the library's sound settings.
#include <cmath>
#include <limits>
#include <stdexcept>

#include "app/main_window.h"
#include "app/typed_sampler.h"
#include "density/plot_range.h"
#include "sampler/starting_point_search.h"

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr int curveIntervals = 400;

std::string describe(const DensityChoice& c) {
  std::string formula = c.formula;
  if (formula.size() > 60) formula = formula.substr(0, 57) + "\xe2\x80\xa6";
  return std::string(c.logDensity ? "Log-density " : "Density ") + formula + " on [" +
         supportEndText(c.lower) + ", " + supportEndText(c.upper) + "]";
}

std::string numberText(double x) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3g", x);
  return buffer;
}

// Narrows [xMin, xMax] to where the density is within e^10 of its highest
// value, so that a heavy tail's range does not hide its shape and a proof
// lies in view, in readable numbers.
void visibleRange(const FormulaDensity& d, double& xMin, double& xMax) {
  constexpr int n = 400;
  for (int round = 0; round < 4; ++round) {
    const double step = (xMax - xMin) / n;
    double top = -infinity;
    for (int i = 0; i <= n; ++i) {
      const double h = d.logDensity(xMin + step * i);
      if (std::isfinite(h)) top = std::max(top, h);
    }
    double from = xMax;
    double to = xMin;
    for (int i = 0; i <= n; ++i) {
      const double x = xMin + step * i;
      const double h = d.logDensity(x);
      if (std::isfinite(h) && h >= top - 10) {
        from = std::min(from, x);
        to = std::max(to, x);
      }
    }
    if (!(from <= to)) break;
    const double newMin = std::max(xMin, from - step);
    const double newMax = std::min(xMax, to + step);
    if (newMax - newMin > 0.9 * (xMax - xMin)) break;
    xMin = newMin;
    xMax = newMax;
  }
}

// Why the search refused the density: three points that prove it not
// log-concave (the middle one below the chord of the outer two, on a grid
// over the plotted range), or else its mass does not stay finite towards an
// unbounded end.
std::string refusalSentence(const FormulaDensity& d, double xMin, double xMax, ProofHighlight* proof) {
  constexpr int n = 400;
  visibleRange(d, xMin, xMax);
  std::vector<HullPoint> grid;
  for (int i = 0; i <= n; ++i) {
    const double x = xMin + (xMax - xMin) * i / n;
    const double h = d.logDensity(x);
    if (std::isfinite(h)) grid.push_back({x, h});
  }
  for (std::size_t k : {std::size_t{40}, std::size_t{10}, std::size_t{1}}) {
    double widest = 0.0;
    std::size_t best = 0;
    for (std::size_t j = k; j + k < grid.size(); ++j) {
      const HullPoint& a = grid[j - k];
      const HullPoint& b = grid[j];
      const HullPoint& c = grid[j + k];
      if (!ARSSampler::belowChord(a, b, c)) continue;
      const double gap = a.h + (c.h - a.h) * (b.x - a.x) / (c.x - a.x) - b.h;
      if (gap > widest) {
        widest = gap;
        best = j;
      }
    }
    if (widest > 0) {
      if (proof != nullptr) {
        *proof = ProofHighlight{grid[best - k].x, grid[best - k].h, grid[best].x,
                                grid[best].h,     grid[best + k].x, grid[best + k].h, "", true};
      }
      return "the density at x = " + numberText(grid[best].x) + " lies below the chord from " +
             numberText(grid[best - k].x) + " to " + numberText(grid[best + k].x) +
             " on the log scale, so it is not log-concave.";
    }
  }
  if (d.upper() == infinity || d.lower() == -infinity) {
    return "its tail does not fall off fast enough towards infinity: the density is not integrable "
           "there (or not log-concave far out).";
  }
  return "the points the sampler evaluated prove it not log-concave.";
}

}  // namespace

std::string MainWindow::selectOtherDensity(const DensityChoice& choice) {
  std::unique_ptr<FormulaDensity> density;
  try {
    density = std::make_unique<FormulaDensity>(choice);
  } catch (const FormulaDensity::XInvalid& e) {
    return e.what();
  }
  stopAnimation();
  stopStepping();
  clearDarts();
  notLogConcaveShown = false;
  otherChoice = choice;
  if (otherChoice.caption.empty()) otherChoice.caption = describe(choice);
  otherDensity = std::move(density);
  otherScale = LessonScale::unspecified;

  // Where the search succeeds its points show where the density lives; the
  // refusal, if any, is known from here on.
  const auto f = [this](double x) { return otherDensity->logDensity(x); };
  std::vector<HullPoint> known;
  refusal.clear();
  refusalProof.reset();
  try {
    known = StartingPointSearch(f, choice.lower, choice.upper, {}).points();
  } catch (const ARSSampler::XNotLogConcave&) {
  } catch (const std::invalid_argument& e) {
    refusal = std::string(e.what()) + ".";
  }
  const PlotRange range = plotRange(f, choice.lower, choice.upper, known);
  otherXMin = range.xMin;
  otherXMax = range.xMax;
  if (known.empty()) {
    // Refused: the plot shows where the density is visible, not its tails.
    visibleRange(*otherDensity, otherXMin, otherXMax);
    ProofHighlight triple;
    triple.belowX = infinity;
    const std::string sentence = refusalSentence(*otherDensity, otherXMin, otherXMax, &triple);
    if (refusal.empty()) refusal = sentence;
    if (std::isfinite(triple.belowX)) {
      triple.sentence = sentence;
      refusalProof = triple;
    }
  }

  densityKind = otherDensityKind;
  rebuildDensityCurve();
  repaint();
  return "";
}

std::string MainWindow::openLesson(const Lesson& lesson) {
  DensityChoice choice = lesson.density;
  choice.caption = lesson.title;
  const std::string problem = selectOtherDensity(choice);
  if (!problem.empty()) return problem;
  otherScale = lesson.scale;
  if (lesson.scale != LessonScale::unspecified) {
    logScale = lesson.scale == LessonScale::log;
    rebuildDensityCurve();
    repaint();
  }
  return "";
}

Lesson MainWindow::currentLesson() const {
  Lesson lesson;
  lesson.density = otherChoice;
  lesson.title = otherChoice.caption;
  lesson.density.caption.clear();
  lesson.scale = logScale ? LessonScale::log : LessonScale::normal;
  return lesson;
}

void MainWindow::rebuildOtherDensityCurve() {
  plotXMin = otherXMin;
  plotXMax = otherXMax;
  clearPlotterForCurve();
  if (!otherDensity) return;

  // From end to end of the plotted range: the ends where the density has a
  // value there (a zero too, on the axis of the normal scale), midpoints of
  // equal intervals between them.
  const double step = (plotXMax - plotXMin) / curveIntervals;
  std::vector<double> xs;
  std::vector<double> values;
  double largest = -infinity;
  const auto add = [&](double x, bool end) {
    const double v = otherDensity->logDensity(x);
    const bool onAxis = end && v == -infinity && !logScale;
    if (!(v > -infinity && v < infinity) && !onAxis) return;  // no value to plot
    if (!onAxis) largest = std::max(largest, v);
    xs.push_back(x);
    values.push_back(v);
  };
  add(plotXMin, true);
  for (int i = 0; i < curveIntervals; ++i) add(plotXMin + (i + 0.5) * step, false);
  add(plotXMax, true);
  curveLogOffset = std::isfinite(largest) ? 50 - largest : 0.0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    plotter.addPoint(xs[i], logScale ? values[i] + curveLogOffset : shiftedExp(values[i], curveLogOffset));
  }
}

void MainWindow::prepareOtherSampler() {
  if (!samplerHoldsOther) {
    builtInScaleOffset = sampler.scaleOffset;
    samplerHoldsOther = true;
  }
  prepareTypedSampler(sampler, *otherDensity, otherChoice.lower, otherChoice.upper);
}

std::string MainWindow::otherDensityReport() const {
  return refusal.empty() ? "the sampler refuses it." : refusal;
}

void MainWindow::showRefusal() {
  notLogConcaveShown = true;
  if (densityKind != otherDensityKind) {
    showNotLogConcave();
    return;
  }
  if (refusal.empty()) refusal = refusalSentence(*otherDensity, otherXMin, otherXMax, nullptr);
  // Refused before any envelope: the grid's three points are the proof on screen.
  if (!proof && refusalProof) proof = refusalProof;
  const bool notIntegrable = refusal.rfind("its tail", 0) == 0;
  const std::string text =
      std::string(notIntegrable ? "Adaptive rejection sampler doesn't work for\ndensities that are not integrable"
                                : "Adaptive rejection sampler doesn't work for\ndensities that are not log-concave") +
      "\n\n" + otherChoice.caption + ": " + otherDensityReport();
  showMessage(text.c_str(), notIntegrable ? "Density not integrable" : "Log-concavity assumption violated");
}

void MainWindow::showUnusable(const char* what) {
  const std::string text = std::string("The sampler cannot use this density:\n") + what;
  showMessage(text.c_str(), "Density not usable");
}
