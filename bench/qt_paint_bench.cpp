// The Qt side's costs: one full paint of a busy picture into a QImage through
// QtCanvas, the time from process start to the first painted window and from
// Ctrl+T to the repaint that shows the darts, and the peak memory of a long
// stepping session. The whole-process figures come from child processes of
// this program, started with one of the --child-* arguments.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "frontends/qt/main_window.h"
#include "frontends/qt/platform/qt_canvas.h"
#include "frontends/qt/platform/qt_main_window.h"
#include "frontends/qt/platform/qt_window_system.h"
#include "resources/command_ids.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A window that is only a client size, for painting into an image.
class ImageWindow : public Window {
 public:
  ImageWindow(int width, int height) : width_(width), height_(height) {}
  Rect clientRect() const override { return Rect{0, 0, width_, height_}; }
  void invalidate() override {}
  void messageBox(const std::string&, const std::string&) override {}
  void postQuit(int) override {}
  void show() override {}
  void setUserData(void* data) override { data_ = data; }
  void* userData() const override { return data_; }

 private:
  int width_;
  int height_;
  void* data_ = nullptr;
};

// Paints exactly as the client area's paint event does.
void paintInto(QImage& image, MainWindow& app) {
  QPainter painter(&image);
  painter.fillRect(image.rect(), Qt::white);
  QtCanvas canvas(painter);
  app.paint(canvas);
}

void paintBenchmark(benchmark::State& state, MainWindow& app, ImageWindow& window) {
  QImage image(window.clientRect().right, window.clientRect().bottom, QImage::Format_RGB32);
  for (auto _ : state) {
    paintInto(image, app);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_PaintDarts(benchmark::State& state) {
  ImageWindow window(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  MainWindow app;
  app.attach(window);
  app.command(CommandId::throwDarts);
  paintBenchmark(state, app, window);
  state.counters["darts"] = static_cast<double>(app.model().darts.x.size());
}
BENCHMARK(BM_PaintDarts)->Args({400, 300})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_PaintSteppingEnvelope(benchmark::State& state) {
  ImageWindow window(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  MainWindow app;
  app.attach(window);
  app.command(CommandId::startStepping);
  for (int i = 0; i < 200; ++i) app.command(CommandId::nextStep);
  paintBenchmark(state, app, window);
}
BENCHMARK(BM_PaintSteppingEnvelope)->Args({400, 300})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// Counts the window procedure's completed paints, for the timed windows below.
int completedPaints = 0;
bool exitAfterFirstPaint = false;

long countingProcedure(Window& window, WindowMessage message, const MessageParams& params) {
  const long result = mainWindowProc(window, message, params);
  if (message == WindowMessage::Paint) {
    ++completedPaints;
    if (exitAfterFirstPaint) {
      std::puts("painted");
      std::fflush(stdout);
      std::_Exit(0);
    }
  }
  return result;
}

class CountingWindowSystem : public QtWindowSystem {
 public:
  Window* createWindow(const WindowOptions& options) override {
    WindowOptions counted = options;
    counted.procedure = countingProcedure;
    return QtWindowSystem::createWindow(counted);
  }
};

// Runs this program with one argument and returns its standard output.
std::string runChild(const char* argument) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char program[] = "/proc/self/exe";
  std::string copy = argument;
  char* argv[] = {program, copy.data(), nullptr};
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string output;
  char buffer[256];
  ssize_t n = 0;
  while (failed == 0 && (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) output.append(buffer, n);
  close(pipeEnds[0]);
  if (failed == 0) waitpid(pid, nullptr, 0);
  return output;
}

void BM_ProcessStartToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    const auto start = Clock::now();
    const std::string output = runChild("--child-first-paint");
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    if (output.find("painted") == std::string::npos) {
      state.SkipWithError("the child did not paint");
      break;
    }
    state.SetIterationTime(elapsed.count());
  }
}
BENCHMARK(BM_ProcessStartToFirstPaint)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_ControlTToDartsShown(benchmark::State& state) {
  CountingWindowSystem system;
  MainWindow app;
  auto* window = dynamic_cast<QtMainWindow*>(app.open(system, mainWindowTitle));
  app.show();
  window->activateWindow();
  QTimer::singleShot(0, window, [&] {
    for (auto _ : state) {
      const int before = completedPaints;
      const auto start = Clock::now();
      // Not spontaneous, so Qt offers it to the shortcuts first, as it does a real key.
      QKeyEvent press(QEvent::KeyPress, Qt::Key_T, Qt::ControlModifier);
      QApplication::sendEvent(window, &press);
      while (completedPaints == before) QCoreApplication::processEvents();
      const std::chrono::duration<double> elapsed = Clock::now() - start;
      state.SetIterationTime(elapsed.count());
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_T, Qt::ControlModifier);
      QApplication::sendEvent(window, &release);
    }
    state.counters["darts"] = static_cast<double>(app.model().darts.x.size());
    window->postQuit(0);
  });
  app.run(system);
}
BENCHMARK(BM_ControlTToDartsShown)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PeakRssAfter1000Steps(benchmark::State& state) {
  double mebibytes = 0;
  for (auto _ : state) {
    const std::string output = runChild("--child-rss");
    mebibytes = std::atof(output.c_str());
  }
  if (mebibytes <= 0) state.SkipWithError("the child reported no memory use");
  state.counters["peak_rss_MiB"] = mebibytes;
}
BENCHMARK(BM_PeakRssAfter1000Steps)->Iterations(1)->Unit(benchmark::kMillisecond);

// The program's start-up, ended by the first completed paint.
int childFirstPaint(int argc, char* argv[]) {
  QApplication application(argc, argv);
  CountingWindowSystem system;
  MainWindow app;
  exitAfterFirstPaint = true;
  app.open(system, mainWindowTitle);
  app.show();
  return app.run(system);
}

// The program shown, then 1000 steps, each one painted.
int childRss(int argc, char* argv[]) {
  QApplication application(argc, argv);
  CountingWindowSystem system;
  MainWindow app;
  Window* window = app.open(system, mainWindowTitle);
  app.show();
  QTimer::singleShot(0, [&] {
    MessageParams params;
    params.value = CommandId::startStepping;
    mainWindowProc(*window, WindowMessage::Command, params);
    params.value = CommandId::nextStep;
    for (int i = 0; i < 1000; ++i) {
      const int before = completedPaints;
      mainWindowProc(*window, WindowMessage::Command, params);
      while (completedPaints == before) QCoreApplication::processEvents();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.1f\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    window->postQuit(0);
  });
  return app.run(system);
}

}  // namespace

int main(int argc, char* argv[]) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc > 1 && std::strcmp(argv[1], "--child-first-paint") == 0) return childFirstPaint(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--child-rss") == 0) return childRss(argc, argv);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
