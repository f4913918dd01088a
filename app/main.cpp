#include <QApplication>

#include "app/main_window.h"
#include "platform/qt/qt_assertion_report.h"
#include "platform/qt/qt_window_system.h"
#include "sampler/assertion.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  setAssertionHandler(showAssertionReport);

  // Destroyed in reverse order: the application object, then its window,
  // then the QApplication.
  QtWindowSystem system;
  MainWindow app;
  app.open(system, mainWindowTitle);
  app.show();
  const int code = app.run(system);
  return code;
}
