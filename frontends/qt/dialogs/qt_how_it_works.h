#pragma once
// Help > How it works on the desktop: the core's page (studio/how_it_works.h)
// in a scrollable dialog at the window's text scale, no larger than the screen.
#include <QDialog>

class QtHowItWorksDialog : public QDialog {
 public:
  QtHowItWorksDialog(double scale, QWidget* parent);
};
