#include "frontends/qt/platform/qt_assertion_report.h"

#include <QApplication>
#include <cstdio>

#include "frontends/qt/platform/qt_message_box.h"

void showAssertionReport(const char* report) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    std::fputs(report, stderr);
    return;
  }
  showMessageBox(nullptr, QStringLiteral("Assertion Failure"), QString::fromUtf8(report));
}
