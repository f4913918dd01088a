#pragma once
// The remembered view options in QSettings: the application's own settings,
// or a file of them.
#include <QString>

#include "frontends/qt/view_settings.h"

class QtViewSettings : public ViewSettings {
 public:
  QtViewSettings() = default;
  // An INI file in place of the application's settings.
  explicit QtViewSettings(const QString& file) : file_(file) {}

  void load(ViewOptions& view) override;
  void save(const ViewOptions& view) override;

 private:
  QString file_;
};
