#include "app/qt/qt_view_settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <memory>

#include "model/view_options.h"

namespace {
const QString wholeEnvelopeKey = QStringLiteral("view/wholeEnvelope");

std::unique_ptr<QSettings> open(const QString& file) {
  if (file.isEmpty()) {
    return std::make_unique<QSettings>(QCoreApplication::applicationName(), QStringLiteral("adaptive-rejection-sampler"));
  }
  return std::make_unique<QSettings>(file, QSettings::IniFormat);
}
}  // namespace

void QtViewSettings::load(ViewOptions& view) {
  view.wholeEnvelope = open(file_)->value(wholeEnvelopeKey, view.wholeEnvelope).toBool();
}

void QtViewSettings::save(const ViewOptions& view) {
  open(file_)->setValue(wholeEnvelopeKey, view.wholeEnvelope);
}
