// Renders the program's window without a display into a PNG, after the given
// command ids (default: one throw of darts, the README's picture):
//   render-screenshot [output.png [id ...]]
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

  // The same messages the menu items and keys send.
  std::vector<int> commands;
  for (int i = 2; i < argc; ++i) commands.push_back(std::atoi(argv[i]));
  if (commands.empty()) commands.push_back(CommandId::throwDarts);
  for (int id : commands) {
    MessageParams params;
    params.value = id;
    mainWindowProc(*window, WindowMessage::Command, params);
    QCoreApplication::processEvents();
  }

  if (!window->grab().save(output)) {
    std::fprintf(stderr, "render-screenshot: cannot write %s\n", output.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
