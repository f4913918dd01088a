#include "platform/qt/qt_application_identity.h"

#include <QApplication>
#include <QIcon>

#ifndef ARS_APP_ID
#error "ARS_APP_ID and ARS_VERSION must be defined by the build"
#endif

void describeApplication() {
  QCoreApplication::setApplicationName(QString::fromLatin1(windowClassName));
  QCoreApplication::setApplicationVersion(QStringLiteral(ARS_VERSION));
  // The desktop entry carries the name "Adaptive Rejection Sampler". An
  // application display name is deliberately not set: Qt would append it to
  // every window title, the message boxes' captions included.
  QGuiApplication::setDesktopFileName(QStringLiteral(ARS_APP_ID));

  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  QApplication::setWindowIcon(icon);
}
