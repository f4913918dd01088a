#include "frontends/qt/platform/qt_message_box.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

int titleBarWidth(const QString& caption) {
  // The platform theme's title font; Qt's generic one is larger than most
  // window managers' bold title fonts.
  const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
  // Window menu, minimise, maximise and close, each about as wide as the bar
  // is high, and a frame at either end.
  const int button = metrics.height() + 12;
  const int frame = 8;
  return metrics.horizontalAdvance(caption) + 4 * button + 2 * frame;
}

bool showMessageBox(QWidget* owner, const QString& caption, const QString& text, double scale, const QString& action) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
  if (scale > 1.0 && box.font().pointSizeF() > 0) {
    QFont larger = box.font();
    larger.setPointSizeF(larger.pointSizeF() * scale);
    box.setFont(larger);
  }
  // Some styles put an icon on dialog buttons.
  box.button(QMessageBox::Ok)->setIcon(QIcon());
  QPushButton* actionButton = action.isEmpty() ? nullptr : box.addButton(action, QMessageBox::AcceptRole);

  // QMessageBox fixes its size to its layout's minimum when it is shown, and
  // allows only a little for the caption: a strut across the layout raises
  // that minimum. Never wider than the screen.
  int width = titleBarWidth(caption);
  if (const QScreen* screen = box.screen()) width = qMin(width, screen->availableGeometry().width());
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
  box.exec();
  return actionButton != nullptr && box.clickedButton() == actionButton;
}
