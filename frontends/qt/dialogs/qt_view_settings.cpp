#include "frontends/qt/dialogs/qt_view_settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <memory>

#include "model/view_options.h"

namespace {
const QString wholeEnvelopeKey = QStringLiteral("view/wholeEnvelope");
const QString twoBeatsKey = QStringLiteral("view/twoBeats");
const QString tScaleKey = QStringLiteral("view/tScale");
const QString projectorKey = QStringLiteral("view/projectorTheme");
const QString fixedAxisKey = QStringLiteral("view/fixedVerticalAxis");

std::unique_ptr<QSettings> open(const QString& file) {
  if (file.isEmpty()) {
    return std::make_unique<QSettings>(QCoreApplication::applicationName(), QStringLiteral("adaptive-rejection-sampler"));
  }
  return std::make_unique<QSettings>(file, QSettings::IniFormat);
}
}  // namespace

void QtViewSettings::load(ViewOptions& view) {
  const std::unique_ptr<QSettings> settings = open(file_);
  view.wholeEnvelope = settings->value(wholeEnvelopeKey, view.wholeEnvelope).toBool();
  view.twoBeats = settings->value(twoBeatsKey, view.twoBeats).toBool();
  view.tScale = settings->value(tScaleKey, view.tScale).toBool();
  const bool projector = settings->value(projectorKey, view.theme == PlotTheme::projector).toBool();
  view.theme = projector ? PlotTheme::projector : PlotTheme::classic;
  view.fixedAxis = settings->value(fixedAxisKey, view.fixedAxis).toBool();
}

void QtViewSettings::save(const ViewOptions& view) {
  const std::unique_ptr<QSettings> settings = open(file_);
  settings->setValue(wholeEnvelopeKey, view.wholeEnvelope);
  settings->setValue(twoBeatsKey, view.twoBeats);
  settings->setValue(tScaleKey, view.tScale);
  settings->setValue(projectorKey, view.theme == PlotTheme::projector);
  settings->setValue(fixedAxisKey, view.fixedAxis);
}
