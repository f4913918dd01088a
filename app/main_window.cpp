#include "app/main_window.h"

#include "app/status_line.h"
#include "app/window_picture.h"
#include "display/plot_layout.h"
#include "display/plot_legend.h"
#include "model/plain_comparison.h"
#include "platform/window_system.h"
#include "resources/accelerators.h"
#include "resources/menu_resource.h"

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
  window_->setStatusText(statusLine());
  window_->setClientToolTip(plotToolTip());
  window_->show();
}

int MainWindow::run(WindowSystem& system) { return system.runMessageLoop(*window_, acceleratorTable()); }

long MainWindow::onDestroy() {
  window_->postQuit(0);
  return 0;
}

void MainWindow::paint(Canvas& canvas) { paintWindow(canvas, layoutPlot(model_, window_->clientRect()), model_); }

void MainWindow::repaint() {
  if (!window_) return;
  window_->invalidate();
  window_->setStatusText(statusLine());
  window_->setClientToolTip(plotToolTip());
  const bool splitsShown = model_.density.isOther() && !model_.density.otherChoice.splits.empty();
  window_->setLegend(comparisonShown(model_) ? comparisonLegend()
                                             : plotLegend(model_.stepping.proof.has_value(), model_.view.twoBeats,
                                                          splitsShown));
}

std::string MainWindow::statusLine() const {
  if (!window_) return ::statusLine(model_, nullptr);
  const PlotLayout layout = layoutPlot(model_, window_->clientRect());
  return ::statusLine(model_, &layout);
}

std::string MainWindow::plotToolTip() const { return ::plotToolTip(model_); }
