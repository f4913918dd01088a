#pragma once
// Help > How it works on the desktop: the core's page (studio/how_it_works.h)
// in a scrollable dialog at the window's text scale, no larger than the screen,
// opened at the section a term on screen leads to.
#include <QDialog>
#include <string>

class QScrollArea;

class QtHowItWorksDialog : public QDialog {
 public:
  QtHowItWorksDialog(double scale, QWidget* parent, const std::string& anchor = "");

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QScrollArea* scroll_ = nullptr;
  QWidget* section_ = nullptr;  // the heading to open at; none for the top
};
