#include "frontends/qt/platform/qt_diagnostics.h"

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {
// Qt may report from its own threads.
std::atomic<bool> debugOutput{false};
std::atomic<bool> starting{true};

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

void writeQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
}

void handleQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (debugOutput) writeQtMessage(type, context, message);
  if (type != QtFatalMsg) return;
  if (starting) {
    const std::string line = startupFailureLine(environment("QT_QPA_PLATFORM"), environment("DISPLAY"),
                                                environment("WAYLAND_DISPLAY"));
    std::fprintf(stderr, "%s\n", line.c_str());
    std::_Exit(1);
  }
  // A fatal message ends the program: it always says why.
  if (!debugOutput) writeQtMessage(type, context, message);
}

// xcb and Wayland need a display server; offscreen, vnc, eglfs and the like do not.
bool needsDisplayServer(const std::string& platforms) {
  if (platforms.empty()) return true;
  std::istringstream list(platforms);
  std::string entry;
  while (std::getline(list, entry, ';')) {
    const std::string name = entry.substr(0, entry.find(':'));
    if (name.rfind("xcb", 0) != 0 && name.rfind("wayland", 0) != 0) return false;
  }
  return true;
}
}  // namespace

void routeQtDiagnostics() {
  debugOutput = environment("ARS_DEBUG") == "1";
  starting = true;
  qInstallMessageHandler(handleQtMessage);
}

void windowSystemStarted() { starting = false; }

std::string startupFailureLine(const std::string& platform, const std::string& display,
                               const std::string& waylandDisplay) {
  if (!needsDisplayServer(platform))
    return "cannot open a window: the Qt platform \"" + platform + "\" could not be started; ARS_DEBUG=1 shows why";
  // The display the chosen platform connects to; without a choice Qt tries X11 first.
  std::string name = platform.rfind("wayland", 0) == 0 ? waylandDisplay : display;
  if (name.empty() && platform.empty()) name = waylandDisplay;
  if (name.empty())
    return "cannot open a window: no display; set DISPLAY, or QT_QPA_PLATFORM=offscreen to run headless";
  return "cannot open a window: cannot connect to the display " + name + "; ARS_DEBUG=1 shows why";
}
