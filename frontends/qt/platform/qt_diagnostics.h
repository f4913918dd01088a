#pragma once
// Qt's own diagnostics are for developers: they reach standard error only when
// ARS_DEBUG=1 is set, so the program's only routine output stays the
// log-gamma error line. A window system that cannot be reached while the
// QApplication starts ends the program with one line and status 1 instead of
// Qt's abort.
#include <string>

// Before the QApplication is constructed.
void routeQtDiagnostics();
// Once it is: from then on a fatal message is Qt's own again.
void windowSystemStarted();

// The line that explains a failed start; the arguments are the values of
// QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY (empty when unset).
std::string startupFailureLine(const std::string& platform, const std::string& display,
                               const std::string& waylandDisplay);
