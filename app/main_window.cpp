#include "app/main_window.h"

#include "platform/window_system.h"
#include "resources/accelerators.h"
#include "resources/legend.h"
#include "resources/menu_resource.h"

namespace {
constexpr int windowX = 50;
constexpr int windowY = 50;
constexpr int windowWidth = 400;
constexpr int windowHeight = 300;
constexpr int fixedSeed = 1001;
// The smallest client area at which caption, tick labels and plot stay apart.
constexpr int minClientWidth = 320;
constexpr int minClientHeight = 240;
}  // namespace

MainWindow::MainWindow() {
  rebuildDensityCurve();
  // Every run starts the same sequence, so the same commands give the same pictures.
  rnd.seed = fixedSeed;
  rnd.state = fixedSeed;
  sampler.prnd = &rnd;
}

void MainWindow::restartFromSeed() {
  stopStepping();
  clearDarts();
  notLogConcaveShown = false;
  // The random source and the sampler as the program starts them, so that
  // the same commands give the same pictures again.
  sampler.restart();
  rnd.seed = fixedSeed;
  rnd.state = fixedSeed;
}

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
  hwnd = system.createWindow(options);
  return hwnd;
}

void MainWindow::show() {
  if (!hwnd) return;
  preparePlot();
  hwnd->setStatusText(statusLine());
  hwnd->setClientToolTip(plotToolTip());
  hwnd->show();
}

int MainWindow::run(WindowSystem& system) {
  accel = &acceleratorTable();
  return system.runMessageLoop(*hwnd, *accel);
}

long MainWindow::onDestroy() {
  hwnd->postQuit(0);
  return 0;
}

void MainWindow::repaint() {
  if (!hwnd) return;
  hwnd->invalidate();
  // The status line reads the plot's ranges, as the paint will use them.
  preparePlot();
  hwnd->setStatusText(statusLine());
  hwnd->setClientToolTip(plotToolTip());
}

void MainWindow::preparePlot() {
  if (logScale) {
    plotter.autoScaleX = true;
    plotter.autoScaleY = true;
    plotter.drawYTicks = true;
  } else {
    plotter.drawYTicks = false;
  }
  // The plotter itself rescales only with data to plot.
  if (plotter.numPoints >= 2) plotter.rescale();
}

std::string MainWindow::plotToolTip() const {
  if (logScale) {
    return "Log scale: each height is the log density plus a constant that puts the curve's peak at "
           "50; one unit up multiplies the density by e = 2.72.";
  }
  return "Normal scale: heights are the density times a constant; only the shape matters.";
}
