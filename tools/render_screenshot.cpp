// Renders the program's window after one throw of darts, without a display,
// into a PNG for the README: render-screenshot [output.png]
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

#include "app/main_window.h"
#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_window_system.h"
#include "resources/command_ids.h"

int main(int argc, char* argv[]) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshot.png");

  QtWindowSystem system;
  MainWindow app;
  auto* window = dynamic_cast<QtMainWindow*>(app.open(system, mainWindowTitle));
  if (window == nullptr) return 1;
  app.show();
  QCoreApplication::processEvents();

  // The same message the Go menu's item sends.
  MessageParams params;
  params.value = CommandId::throwDarts;
  mainWindowProc(*window, WindowMessage::Command, params);
  QCoreApplication::processEvents();

  if (!window->grab().save(output)) {
    std::fprintf(stderr, "render-screenshot: cannot write %s\n", output.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
