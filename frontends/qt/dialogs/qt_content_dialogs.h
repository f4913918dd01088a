#pragma once
// The content dialogs as Qt dialogs over the main window.
#include "frontends/qt/content_dialogs.h"

class QWidget;

class QtContentDialogs : public ContentDialogs {
 public:
  explicit QtContentDialogs(QWidget* parent) : parent_(parent) {}

  bool chooseDensity(DensityChoice& choice) override;
  bool openLessonFile(Lesson& lesson, std::string& problem) override;
  void saveLessonFile(const Lesson& lesson, std::string& problem) override;
  void showHowItWorks(const std::string& anchor) override;

 private:
  double scale() const;
  QWidget* parent_;
};
