// Renders the program's window without a display into a PNG, after the given
// command ids (default: one throw of darts, the README's picture):
//   render-screenshot OUTPUT.png [--size=WxH] [id ...]
// --size gives the window's outer size (default: the size it opens with);
// --tip-at=X adds the plot's tool tip over the envelope above abscissa X.
// A message box that a command opens is closed at once, and reported on
// standard error.
#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "frontends/qt/main_window.h"
#include "frontends/qt/dialogs/qt_how_it_works.h"
#include "frontends/qt/dialogs/qt_lesson_file.h"
#include "frontends/qt/platform/qt_diagnostics.h"
#include "frontends/qt/platform/qt_main_window.h"
#include "frontends/qt/platform/qt_window_system.h"
#include "display/plot_mapping.h"
#include "studio/menus.h"
#include "resources/command_ids.h"

namespace {

constexpr int usageError = 2;

void printUsage(std::FILE* stream) {
  std::fputs("Usage: render-screenshot OUTPUT.png [LESSON.json] [--size=WxH] [--how-it-works] [--tip-at=X] [id ...]\n"
             "Draws the window, after the given command ids (default: 133, a throw of darts), into OUTPUT.png;\n"
             "a lesson file is opened first. --how-it-works draws Help > How it works, the whole page, instead.\n"
             "--tip-at=X shows the plot's tool tip at the highest pixel above abscissa X that has one.\n",
             stream);
}

// Every id the menu, the keys or the density commands send.
std::set<int> knownCommandIds() {
  std::set<int> ids;
  for (const MenuPopup& popup : mainMenu())
    for (const MenuItem& item : popup.items)
      if (item.text != nullptr) ids.insert(item.id);
  for (const Accelerator& accelerator : acceleratorTable()) ids.insert(accelerator.id);
  for (int id = CommandId::firstDensity; id <= CommandId::lastDensity; ++id) ids.insert(id);
  return ids;
}

bool parseId(const char* text, int& id) {
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno != 0 || value < 0 || value > 0xFFFF) return false;
  id = static_cast<int>(value);
  return true;
}

// The plot's tool tip as Qt shows it, at the highest pixel above abscissa x
// whose tip is the envelope's own, painted over the window's picture.
bool showTip(const MainWindow& app, QtMainWindow& window, double x, QImage& shot) {
  const Session& session = app.session();
  const int px = wholePixelX(session.layout().mapping, x);
  int py = session.layout().frame.top;
  while (py < session.layout().frame.bottom && session.toolTipAt(px, py).empty()) ++py;
  if (py >= session.layout().frame.bottom) return false;
  QWidget* plot = window.centralWidget();
  QHelpEvent help(QEvent::ToolTip, QPoint(px, py), plot->mapToGlobal(QPoint(px, py)));
  QApplication::sendEvent(plot, &help);
  QCoreApplication::processEvents();
  bool shown = false;
  QPainter painter(&shot);
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (!widget->inherits("QTipLabel") || !widget->isVisible()) continue;
    // Where a desktop puts it, below and right of the pointer, inside the window
    // (the offscreen screen places it elsewhere).
    const QPixmap tip = widget->grab();
    const QPoint pointer = plot->mapTo(&window, QPoint(px, py));
    const int left = std::clamp(pointer.x() + 4, 0, std::max(0, shot.width() - tip.width()));
    const int top = pointer.y() + 20 + tip.height() <= shot.height() ? pointer.y() + 20 : pointer.y() - tip.height() - 4;
    painter.drawPixmap(QPoint(left, std::max(0, top)), tip);
    shown = true;
  }
  return shown;
}

// Closes each message box as soon as its modal loop shows it; the command
// that opened it then carries on as after a click on OK.
void closeMessageBoxes(QObject& owner) {
  auto* poll = new QTimer(&owner);
  QObject::connect(poll, &QTimer::timeout, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    const QString text = box->text().replace('\n', ' ');
    std::fprintf(stderr, "render-screenshot: closed the message box \"%s\": %s\n",
                 box->windowTitle().toLocal8Bit().constData(), text.toLocal8Bit().constData());
    box->button(QMessageBox::Ok)->click();
  });
  poll->start(10);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
    printUsage(stdout);
    return 0;
  }
  int ignored = 0;
  if (argc < 2 || argv[1][0] == '-' || parseId(argv[1], ignored)) {
    std::fputs("render-screenshot: the first argument is the output file\n", stderr);
    printUsage(stderr);
    return usageError;
  }
  const std::set<int> known = knownCommandIds();
  std::vector<int> commands;
  int width = 0;
  int height = 0;
  int first = 2;
  QString lessonPath;
  bool howItWorksPage = false;
  std::optional<double> tipAt;
  if (argc > 2 && std::strstr(argv[2], ".json") != nullptr) {
    lessonPath = QString::fromLocal8Bit(argv[2]);
    first = 3;
  }
  for (int i = first; i < argc; ++i) {
    if (std::strncmp(argv[i], "--size=", 7) == 0) {
      if (std::sscanf(argv[i] + 7, "%dx%d", &width, &height) != 2 || width < 100 || height < 100 ||
          width > 10000 || height > 10000) {
        std::fprintf(stderr, "render-screenshot: '%s' is not a size such as --size=1600x1000\n", argv[i]);
        return usageError;
      }
      continue;
    }
    if (std::strcmp(argv[i], "--how-it-works") == 0) {
      howItWorksPage = true;
      continue;
    }
    if (std::strncmp(argv[i], "--tip-at=", 9) == 0) {
      char* end = nullptr;
      tipAt = std::strtod(argv[i] + 9, &end);
      if (end == argv[i] + 9 || *end != '\0' || !std::isfinite(*tipAt)) {
        std::fprintf(stderr, "render-screenshot: '%s' is not an abscissa such as --tip-at=0.75\n", argv[i]);
        return usageError;
      }
      continue;
    }
    int id = 0;
    if (!parseId(argv[i], id) || known.count(id) == 0) {
      std::fprintf(stderr, "render-screenshot: '%s' is not a command id\n", argv[i]);
      return usageError;
    }
    commands.push_back(id);
  }
  if (commands.empty()) commands.push_back(CommandId::throwDarts);

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Qt gets the program name only, as the program's own entry point does.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  routeQtDiagnostics();
  QApplication application(qtArgc, qtArgv);
  windowSystemStarted();
  const QString output = QString::fromLocal8Bit(argv[1]);

  QtWindowSystem system;
  MainWindow app;
  auto* window = dynamic_cast<QtMainWindow*>(app.open(system, mainWindowTitle));
  if (window == nullptr) return 1;
  app.show();
  if (width > 0) window->resize(width, height);
  QCoreApplication::processEvents();
  closeMessageBoxes(*window);
  if (!lessonPath.isEmpty()) {
    Lesson lesson;
    std::string problem = readLessonFile(lessonPath, lesson);
    if (problem.empty()) problem = app.openLesson(lesson);
    if (!problem.empty()) std::fprintf(stderr, "render-screenshot: %s\n", problem.c_str());
  }

  // The same messages the menu items and keys send.
  for (int id : commands) {
    MessageParams params;
    params.value = id;
    mainWindowProc(*window, WindowMessage::Command, params);
    QCoreApplication::processEvents();
  }

  if (howItWorksPage) {
    // The page at the dialog's width, every section at once.
    QtHowItWorksDialog dialog(window->pictureScale(), window);
    dialog.show();
    QCoreApplication::processEvents();
    auto* scroll = dialog.findChild<QScrollArea*>();
    QWidget* page = scroll != nullptr ? scroll->widget() : nullptr;
    if (page == nullptr) return 1;
    page->resize(scroll->viewport()->width(), page->heightForWidth(scroll->viewport()->width()) > 0
                                                  ? page->heightForWidth(scroll->viewport()->width())
                                                  : page->sizeHint().height());
    if (!page->grab().save(output)) {
      std::fprintf(stderr, "render-screenshot: cannot write %s\n", output.toLocal8Bit().constData());
      return 1;
    }
    return 0;
  }
  QImage shot = window->grab().toImage();
  if (tipAt && !showTip(app, *window, *tipAt, shot)) {
    std::fprintf(stderr, "render-screenshot: no tool tip above x = %g\n", *tipAt);
    return 1;
  }
  if (!shot.save(output)) {
    std::fprintf(stderr, "render-screenshot: cannot write %s\n", output.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
