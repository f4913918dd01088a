#include "frontends/qt/platform/qt_application_identity.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
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

  // The rendered sizes, built into the program; the window system picks one.
  QIcon icon;
  for (const QFileInfo& file : QDir(QStringLiteral(":/icons")).entryInfoList({QStringLiteral("*.png")}))
    icon.addFile(file.filePath());
  QApplication::setWindowIcon(icon);
}
