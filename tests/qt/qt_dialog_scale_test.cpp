// Boxes and dialogs on a projector: at the window's scale, and within the
// screen however long their text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "density/density_choice.h"
#include "frontends/qt/dialogs/qt_density_dialog.h"
#include "frontends/qt/platform/qt_message_box.h"

namespace {

void whenBoxShown(const std::function<void(QMessageBox&)>& inspect) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    // After the box has laid itself out for showing.
    QTimer::singleShot(50, [box, inspect] {
      inspect(*box);
      box->button(QMessageBox::Ok)->click();
    });
  });
  poll->start(5);
}

TEST(DialogScale, ATextTallerThanTheScreenScrollsAndKeepsOkOnTheScreen) {
  QString keys;
  for (int i = 0; i < 120; ++i) keys += QStringLiteral("Ctrl+%1 \u2014 a key and what it does\n").arg(i);
  const QRect screen = QApplication::primaryScreen()->availableGeometry();
  bool seen = false;
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [&, poll] {
    auto* page = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (page == nullptr || !page->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    seen = true;
    EXPECT_LE(page->frameGeometry().bottom(), screen.bottom());
    EXPECT_GE(page->frameGeometry().top(), screen.top());
    auto* ok = page->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_LE(ok->mapTo(page, QPoint(0, ok->height())).y(), page->height());
    EXPECT_NE(page->findChild<QWidget*>(QStringLiteral("messageScroll")), nullptr);
    EXPECT_GT(page->font().pointSizeF(), QApplication::font().pointSizeF());
    ok->click();
  });
  poll->start(5);
  showMessageBox(nullptr, QStringLiteral("Keys"), keys, 2.0);
  EXPECT_TRUE(seen);
}

TEST(DialogScale, AShortTextNeedsNoScrollingAndGrowsWithTheScale) {
  double points = 0;
  double basePoints = QApplication::font().pointSizeF();
  whenBoxShown([&](QMessageBox& box) {
    points = box.font().pointSizeF();
    EXPECT_EQ(box.findChild<QWidget*>(QStringLiteral("messageScroll")), nullptr);
  });
  showMessageBox(nullptr, QStringLiteral("About"), QStringLiteral("Short."), 2.0);
  EXPECT_DOUBLE_EQ(points, 2 * basePoints);
}

TEST(DialogScale, TheDensityDialogsErrorLineHasTheDialogsFont) {
  QtDensityDialog dialog(DensityChoice{}, 2.0, nullptr);
  auto* problem = dialog.findChild<QLabel*>(QStringLiteral("problem"));
  ASSERT_NE(problem, nullptr);
  EXPECT_DOUBLE_EQ(problem->font().pointSizeF(), dialog.font().pointSizeF());
  EXPECT_GT(dialog.font().pointSizeF(), QApplication::font().pointSizeF());
}

}  // namespace
