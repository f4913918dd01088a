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
}  // namespace

MainWindow::MainWindow() {
  rebuildDensityCurve();
  // Every run starts the same sequence, so the same commands give the same pictures.
  rnd.seed = fixedSeed;
  rnd.state = fixedSeed;
  sampler.prnd = &rnd;
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
  hwnd = system.createWindow(options);
  return hwnd;
}

void MainWindow::show() {
  if (!hwnd) return;
  hwnd->setStatusText(statusLine());
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
  hwnd->setStatusText(statusLine());
}
