// The Qt window and window system against a recording window procedure: what
// reaches the procedure, from the menu bar, the keyboard, painting and closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "display/plot_legend.h"
#include "platform/menu.h"
#include "frontends/qt/platform/qt_legend.h"
#include "frontends/qt/platform/qt_main_window.h"
#include "frontends/qt/platform/qt_window_system.h"
#include "recording_procedure.h"
#include "studio/menus.h"
#include "resources/command_ids.h"

namespace {

class QtWindowTest : public testing::Test {
 protected:
  QtMainWindow& open() {
    WindowOptions options;
    options.title = "Test Window";
    options.x = 50;
    options.y = 50;
    options.width = 400;
    options.height = 300;
    options.menu = &mainMenu();
    options.procedure = recordingProcedure;
    options.createParam = &recorder_;
    window_ = dynamic_cast<QtMainWindow*>(system_.createWindow(options));
    return *window_;
  }

  QtMainWindow& openShown() {
    open().show();
    window_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_));
    return *window_;
  }

  QMenu* popup(int position) { return window_->menuBar()->actions().at(position)->menu(); }

  QAction* action(int id) {
    for (QAction* bar : window_->menuBar()->actions())
      for (QAction* item : bar->menu()->actions())
        if (!item->isSeparator() && item->data().toInt() == id) return item;
    return nullptr;
  }

  // Runs the message loop with the application's accelerators; `during` runs
  // once the loop is going and must end with a quit request.
  int runLoop(const std::function<void()>& during) {
    QTimer::singleShot(0, window_, during);
    return system_.runMessageLoop(*window_, acceleratorTable());
  }

  MessageRecorder recorder_;
  QtWindowSystem system_;
  QtMainWindow* window_ = nullptr;
};

TEST_F(QtWindowTest, CreateReachesTheProcedureBeforeCreateWindowReturns) {
  QtMainWindow& window = open();
  ASSERT_EQ(recorder_.received.size(), 1u);
  EXPECT_EQ(recorder_.received[0].message, WindowMessage::Create);
  EXPECT_EQ(window.userData(), &recorder_);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), QString("Test Window"));
}

TEST_F(QtWindowTest, ShownWindowHasTheOuterSizeAndPositionOfItsSpec) {
  QtMainWindow& window = openShown();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.frameGeometry(), QRect(50, 50, 400, 300));
  const Rect client = window.clientRect();
  EXPECT_EQ(client.left, 0);
  EXPECT_EQ(client.top, 0);
  EXPECT_EQ(client.right, window.centralWidget()->width());
  EXPECT_EQ(client.bottom, window.centralWidget()->height());
  // The frame, where the platform reports one, comes off the 400 x 300.
  EXPECT_EQ(client.right, window.width());
  EXPECT_EQ(client.bottom, window.height() - window.menuBar()->height());
}

// The menu bar.

TEST_F(QtWindowTest, MenuBarHoldsThePopupsAndItemsOfTheTable) {
  QtMainWindow& window = open();
  const auto& table = mainMenu();
  const QList<QAction*> bar = window.menuBar()->actions();
  ASSERT_EQ(bar.size(), static_cast<qsizetype>(table.size()));
  for (std::size_t p = 0; p < table.size(); ++p) {
    EXPECT_EQ(bar[p]->text(), QString(table[p].title));
    const QList<QAction*> items = bar[p]->menu()->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(table[p].items.size()));
    for (std::size_t i = 0; i < table[p].items.size(); ++i) {
      const MenuItem& item = table[p].items[i];
      if (item.text == nullptr) {
        EXPECT_TRUE(items[i]->isSeparator());
        continue;
      }
      EXPECT_EQ(items[i]->text(), QString(item.text));  // label, '&' and the hint after '\t'
      EXPECT_EQ(items[i]->data().toInt(), item.id);
    }
  }
}

TEST_F(QtWindowTest, KeyHintsAreShownButNotBoundByTheMenu) {
  QtMainWindow& window = open();
  EXPECT_TRUE(action(CommandId::throwDarts)->text().contains('\t'));
  for (QAction* bar : window.menuBar()->actions())
    for (QAction* item : bar->menu()->actions()) EXPECT_TRUE(item->shortcut().isEmpty()) << item->text().toStdString();
}

TEST_F(QtWindowTest, TriggeredItemsSendTheirCommandId) {
  open();
  action(CommandId::throwDarts)->trigger();
  action(CommandId::exit)->trigger();
  action(124)->trigger();
  ASSERT_EQ(recorder_.count(WindowMessage::Command), 3);
  EXPECT_EQ(recorder_.count(WindowMessage::Command, CommandId::throwDarts), 1);
  EXPECT_EQ(recorder_.count(WindowMessage::Command, CommandId::exit), 1);
  EXPECT_EQ(recorder_.count(WindowMessage::Command, 124), 1);
  EXPECT_FALSE(action(CommandId::throwDarts)->isChecked());  // no mark the application did not set
}

TEST_F(QtWindowTest, OpeningAPopupLetsTheProcedureSetItsCheckMarks) {
  int selected = 121;
  recorder_.react = [&](Window&, WindowMessage message, const MessageParams& params) {
    if (message != WindowMessage::InitMenuPopup || params.value != 2) return;
    for (int id : {121, 124, 126}) params.menu->checkItem(id, id == selected);
    params.menu->checkItem(999, true);  // no such item: ignored
  };
  openShown();
  QMenu* distribution = popup(2);
  distribution->popup(QPoint(60, 60));
  EXPECT_EQ(recorder_.count(WindowMessage::InitMenuPopup, 2), 1);
  EXPECT_TRUE(action(121)->isChecked());
  EXPECT_FALSE(action(124)->isChecked());
  distribution->hide();

  selected = 126;
  distribution->popup(QPoint(60, 60));
  EXPECT_FALSE(action(121)->isChecked());
  EXPECT_TRUE(action(126)->isChecked());
  distribution->hide();

  popup(3)->popup(QPoint(60, 60));
  EXPECT_EQ(recorder_.count(WindowMessage::InitMenuPopup, 3), 1);
  popup(3)->hide();
}

TEST_F(QtWindowTest, MenusScaledForAProjectorKeepTheirTextsWhole) {
  QtMainWindow& window = openShown();
  window.resize(1920, 1080);
  QCoreApplication::processEvents();
  QMenu* file = popup(0);
  file->popup(QPoint(10, 10));
  QCoreApplication::processEvents();
  const QFontMetrics metrics(file->font());
  EXPECT_GT(file->font().pointSizeF(), window.menuBar()->font().pointSizeF() / 2);
  for (QAction* item : file->actions()) {
    if (item->isSeparator()) continue;
    const QString text = item->text().remove(QLatin1Char('&'));
    // The text, a check mark's column and the margins.
    EXPECT_GE(file->width(), metrics.horizontalAdvance(text) + 2 * metrics.height()) << text.toStdString();
  }
  file->hide();
}

// Painting and closing.

TEST_F(QtWindowTest, PaintFillsWhiteAndHandsTheProcedureACanvasOfTheClientArea) {
  std::vector<Rect> paintedSizes;
  recorder_.react = [&](Window& window, WindowMessage message, const MessageParams& params) {
    if (message != WindowMessage::Paint) return;
    ASSERT_NE(params.canvas, nullptr);
    const Rect client = window.clientRect();
    paintedSizes.push_back(client);
    params.canvas->selectPen(0x000000FF);
    params.canvas->moveTo(0, client.bottom / 2);
    params.canvas->lineTo(client.right, client.bottom / 2);
  };
  QtMainWindow& window = openShown();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !paintedSizes.empty(); }));
  QImage picture = window.centralWidget()->grab().toImage();
  EXPECT_EQ(picture.pixelColor(10, 10), QColor(Qt::white));
  EXPECT_EQ(picture.pixelColor(200, window.clientRect().bottom / 2), QColor(Qt::red));

  const std::size_t paints = paintedSizes.size();
  window.resize(500, 350);
  ASSERT_TRUE(QTest::qWaitFor([&] { return paintedSizes.size() > paints; }));
  EXPECT_EQ(paintedSizes.back().right, 500);

  const std::size_t beforeInvalidate = paintedSizes.size();
  window.invalidate();
  EXPECT_EQ(paintedSizes.size(), beforeInvalidate);  // later, not at once
  ASSERT_TRUE(QTest::qWaitFor([&] { return paintedSizes.size() > beforeInvalidate; }));
}

TEST_F(QtWindowTest, ClosingTheWindowSendsDestroy) {
  QtMainWindow& window = openShown();
  EXPECT_EQ(recorder_.count(WindowMessage::Destroy), 0);
  window.close();
  EXPECT_EQ(recorder_.count(WindowMessage::Destroy), 1);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(QtWindowTest, MessageBoxIsModalOwnedByTheWindowWithOneOkButton) {
  QtMainWindow& window = openShown();
  QMessageBox* seen = nullptr;
  QTimer::singleShot(0, &window, [&] {
    seen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->windowTitle(), QString("Caption"));
    EXPECT_EQ(seen->text(), QString("Some text"));
    EXPECT_EQ(seen->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(seen->parentWidget(), &window);
    EXPECT_EQ(seen->buttons().size(), 1);
    EXPECT_NE(seen->button(QMessageBox::Ok), nullptr);
    seen->button(QMessageBox::Ok)->click();
  });
  window.messageBox("Some text", "Caption");
  EXPECT_NE(seen, nullptr);
}

// The message loop and its accelerators.

TEST_F(QtWindowTest, QuitRequestEndsTheLoopWithItsExitCode) {
  QtMainWindow& window = openShown();
  window.postQuit(7);  // before the loop runs, as a posted request would
  EXPECT_EQ(system_.runMessageLoop(window, acceleratorTable()), 7);
  EXPECT_EQ(runLoop([&] { window.postQuit(0); }), 0);
}

TEST_F(QtWindowTest, EveryAcceleratorSendsItsCommandOnce) {
  QtMainWindow& window = openShown();
  const int code = runLoop([&] {
    for (const Accelerator& accelerator : acceleratorTable())
      QTest::keyClick(&window, qtKeyOf(accelerator.key),
                      accelerator.control ? Qt::ControlModifier : Qt::NoModifier);
    window.postQuit(0);
  });
  EXPECT_EQ(code, 0);
  // '+' and '=' share their command.
  for (const Accelerator& accelerator : acceleratorTable()) {
    int bound = 0;
    for (const Accelerator& other : acceleratorTable()) bound += other.id == accelerator.id;
    EXPECT_EQ(recorder_.count(WindowMessage::Command, accelerator.id), bound) << accelerator.key;
  }
  EXPECT_EQ(recorder_.count(WindowMessage::Command), static_cast<int>(acceleratorTable().size()));
}

TEST_F(QtWindowTest, AcceleratorsNeedTheControlKeyAndEndWithTheLoop) {
  QtMainWindow& window = openShown();
  runLoop([&] {
    QTest::keyClick(&window, Qt::Key_T);
    window.postQuit(0);
  });
  QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(recorder_.count(WindowMessage::Command), 0);
}

TEST_F(QtWindowTest, AcceleratorsAreHeldBackWhileAMessageBoxIsOpen) {
  int commandsWhileOpen = -1;
  int popupsWhileOpen = -1;
  recorder_.react = [&](Window& window, WindowMessage message, const MessageParams& params) {
    if (message != WindowMessage::Command || params.value != CommandId::throwDarts) return;
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      // As the window system delivers them, so modality applies.
      QTest::keyClick(box->windowHandle(), Qt::Key_S, Qt::ControlModifier);
      QTest::keyClick(window_->windowHandle(), Qt::Key_N, Qt::ControlModifier);
      QMenuBar* bar = window_->menuBar();
      const QPoint go = bar->mapTo(window_, bar->actionGeometry(bar->actions().at(3)).center());
      QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, go);
      commandsWhileOpen = recorder_.count(WindowMessage::Command);
      popupsWhileOpen = recorder_.count(WindowMessage::InitMenuPopup);
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    window.messageBox("Busy", "Caption");
  };
  QtMainWindow& window = openShown();
  runLoop([&] {
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
    // The box is closed again: once the window is active, keys work as before.
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    window.postQuit(0);
  });
  EXPECT_EQ(commandsWhileOpen, 1);
  EXPECT_EQ(popupsWhileOpen, 0);
  EXPECT_EQ(recorder_.count(WindowMessage::Command, CommandId::refresh), 1);
  EXPECT_EQ(recorder_.count(WindowMessage::Command), 2);
}

// The proof's entry opens a third column: the legend keeps its three rows,
// so the status line keeps its height, and the magenta line is drawn.
TEST(Legend, TheProofOpensAThirdColumnOfTheSameHeight) {
  QtLegend legend(plotLegend(false));
  const QSize before = legend.sizeHint();
  EXPECT_EQ(legend.swatchRect(3).top(), legend.swatchRect(0).top());  // darts beside the curve
  legend.setEntries(plotLegend(true));
  EXPECT_EQ(legend.sizeHint().height(), before.height());
  EXPECT_GT(legend.sizeHint().width(), before.width());
  EXPECT_GT(legend.swatchRect(6).left(), legend.swatchRect(3).left());
  EXPECT_EQ(legend.swatchRect(6).top(), legend.swatchRect(0).top());
  legend.resize(legend.sizeHint());
  const QImage image = legend.grab().toImage();
  int magenta = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == QColor(255, 0, 255)) ++magenta;
  EXPECT_GT(magenta, 10);
}

}  // namespace
