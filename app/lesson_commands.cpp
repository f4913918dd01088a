// The commands behind the dialog, the lesson files and the comparison with
// plain rejection.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/main_window.h"
#include "density/density_kinds.h"
#include "resources/command_ids.h"

namespace {

// 2180 as "2,180": the figures side by side are read at a glance.
std::string grouped(unsigned long long n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return digits;
}

}  // namespace

void MainWindow::lessonCommand(int id) {
  if (!hwnd) return;
  if (id == CommandId::otherDensity) {
    DensityChoice choice = otherChoice;
    if (!hwnd->chooseDensity(choice)) return;
    const std::string problem = selectOtherDensity(choice);
    if (!problem.empty()) showMessage(problem.c_str(), "Density not usable");
  } else if (id == CommandId::openLesson) {
    Lesson lesson;
    std::string problem;
    if (!hwnd->openLessonFile(lesson, problem)) return;
    if (problem.empty()) problem = openLesson(lesson);
    if (!problem.empty()) showMessage(("The lesson cannot be opened:\n" + problem).c_str(), "Open lesson");
  } else if (id == CommandId::saveLesson) {
    if (densityKind != otherDensityKind) {
      showMessage("Only a density chosen with \"Distribution > Other density\xe2\x80\xa6\"\n"
                  "or opened from a lesson can be saved as a lesson.",
                  "Save lesson");
      return;
    }
    std::string problem;
    hwnd->saveLessonFile(currentLesson(), problem);
    if (!problem.empty()) showMessage(problem.c_str(), "Save lesson");
  }
}

void MainWindow::compareWithPlainRejection() {
  const bool bounded = densityKind == otherDensityKind
                           ? std::isfinite(otherChoice.lower) && std::isfinite(otherChoice.upper)
                           : densityKindRow(densityKind).upperBounded;
  if (!bounded) {
    showMessage("Plain rejection needs a bounded range under one constant envelope.\n"
                "This density's support is unbounded: no box of finite width holds it.",
                "Compare with plain rejection");
    return;
  }
  throwDarts();
  if (dartX.size() < static_cast<std::size_t>(dartCount) || plotter.yValues.empty()) return;

  // The envelope: the curve's maximum over the plotted range, raised by 1%
  // for a peak between its grid points.
  const double top = *std::max_element(plotter.yValues.begin(), plotter.yValues.end());
  const double logTop = (logScale ? top : std::log(top)) - curveLogOffset + std::log(1.01);
  const ARSDensity* density = sampler.density;
  const auto logDensity = [density](double x) { return density->logDensity(x); };
  const auto plotted = [this](double v) {
    return logScale ? v + curveLogOffset : shiftedExp(v, curveLogOffset);
  };
  throwPlainRejection(plain, logDensity, plotXMin, plotXMax, logTop,
                      static_cast<std::size_t>(dartCount), rnd, plotted);
  comparing = true;
}

std::string MainWindow::comparisonStatus() const {
  return "plain: " + grouped(plain.evaluations) + " evaluations for " +
         grouped(plain.acceptedX.size()) + " darts; adaptive: " + grouped(lastThrow.evaluations) +
         " evaluations for " + grouped(lastThrow.darts) + " darts";
}
