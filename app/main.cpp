#include <QApplication>
#include <cstdio>

#include "app/command_line.h"
#include "app/main_window.h"
#include "platform/qt/qt_application_identity.h"
#include "platform/qt/qt_assertion_report.h"
#include "platform/qt/qt_diagnostics.h"
#include "platform/qt/qt_window_system.h"
#include "sampler/assertion.h"

int main(int argc, char* argv[]) {
  switch (readCommandLine(argc, argv)) {
    case CommandLineRequest::help:
      std::fputs(helpText().c_str(), stdout);
      return 0;
    case CommandLineRequest::version:
      std::fputs(versionText().c_str(), stdout);
      return 0;
    case CommandLineRequest::openWindow:
      break;
  }

  routeQtDiagnostics();
  // Qt gets the program name only, so that its own options (-reverse,
  // -stylesheet, -qwindowtitle, ...) do not act; the environment still does.
  static char programName[] = "adaptive-rejection-sampler";
  char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : programName, nullptr};
  int qtArgc = 1;
  QApplication application(qtArgc, qtArgv);
  windowSystemStarted();
  describeApplication();
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
