#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <string>

#include "frontends/qt/command_line.h"
#include "frontends/qt/main_window.h"
#include "frontends/qt/dialogs/qt_content_dialogs.h"
#include "frontends/qt/dialogs/qt_lesson_file.h"
#include "frontends/qt/dialogs/qt_view_settings.h"
#include "frontends/qt/platform/qt_application_identity.h"
#include "frontends/qt/platform/qt_assertion_report.h"
#include "frontends/qt/platform/qt_diagnostics.h"
#include "frontends/qt/platform/qt_window_system.h"
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
  Window* window = app.open(system, mainWindowTitle);
  QtContentDialogs dialogs(dynamic_cast<QWidget*>(window));
  app.setContentDialogs(dialogs);
  QtViewSettings settings;
  app.setViewSettings(settings);
  app.show();
  const std::string lessonPath = lessonArgument(argc, argv);
  if (!lessonPath.empty()) {
    Lesson lesson;
    std::string problem = readLessonFile(QString::fromLocal8Bit(lessonPath.c_str()), lesson);
    if (problem.empty()) problem = app.openLesson(lesson);
    // A bad lesson is named once the window is up; the program goes on without it.
    if (!problem.empty()) {
      QTimer::singleShot(0, [&app, problem] {
        app.window()->messageBox("The lesson cannot be opened:\n" + problem, "Open lesson");
      });
    }
  }
  const int code = app.run(system);
  return code;
}
