#include "platform/qt/qt_assertion_report.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

void showAssertionReport(const char* report) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    std::fputs(report, stderr);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Assertion Failure"), QString::fromUtf8(report),
                  QMessageBox::Ok);
  box.exec();
}
