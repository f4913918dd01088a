// The program end to end: the real application object in the real Qt window
// on the offscreen platform, driven by keys, menus and the window procedure,
// and judged by the pixels it shows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QHelpEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>
#include <QTest>
#include <QTimer>
#include <functional>

#include "frontends/qt/content_dialogs.h"
#include "frontends/qt/dialogs/qt_how_it_works.h"
#include "frontends/qt/main_window.h"
#include "frontends/qt/platform/qt_legend.h"
#include "frontends/qt/platform/qt_main_window.h"
#include "frontends/qt/platform/qt_window_system.h"
#include "program_window_test.h"
#include "display/plot_legend.h"
#include "display/plot_mapping.h"
#include "resources/command_ids.h"
#include "studio/how_it_works.h"
#include "studio/menus.h"

namespace {

struct PixelCount {
  int red = 0;
  int green = 0;
  int blue = 0;
  int dark = 0;
};

// Counts the pure pen colours and dark (text or axis) pixels in a region.
PixelCount countPixels(const QImage& image, const QRect& region) {
  PixelCount count;
  const QRect area = region.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y) & 0xFFFFFF;
      if (p == 0xFF0000) ++count.red;
      if (p == 0x00FF00) ++count.green;
      if (p == 0x0000FF) ++count.blue;
      if (qGray(p) < 128) ++count.dark;
    }
  }
  return count;
}

class AppWindowTest : public ProgramWindowTest {
 protected:
  void SetUp() override {
    ProgramWindowTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
  }

  // Hands the next message box to `handle` as soon as it is up; the modal
  // loop that shows it runs this, since the caller is blocked inside it.
  void whenMessageBoxShown(const std::function<void(QMessageBox&)>& handle) {
    auto* poll = new QTimer(window_);
    QObject::connect(poll, &QTimer::timeout, [poll, handle] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      poll->stop();
      poll->deleteLater();
      handle(*box);
    });
    poll->start(5);
  }

  void press(Qt::Key key) {
    QTest::keyClick(window_->windowHandle(), key, Qt::ControlModifier);
  }

  // The client area as the screen shows it, not as a fresh paint would draw it.
  QImage shown() const {
    const QImage screen = window_->screen()->grabWindow(window_->winId()).toImage();
    const QPoint origin = window_->centralWidget()->mapTo(window_, QPoint(0, 0));
    return screen.copy(QRect(origin, window_->centralWidget()->size()));
  }

  // The plot frame and its inside; the caption lies below it.
  QRect plotArea() const {
    const Rect c = window_->clientRect();
    return QRect(QPoint(c.right / 5, c.bottom / 5), QPoint(c.right - c.right / 5, c.bottom - c.bottom / 5));
  }

  // Where the y labels go in log scale: left of the y axis, above the x labels.
  QRect yLabelArea() const {
    const Rect c = window_->clientRect();
    return QRect(QPoint(0, 0), QPoint(c.right / 5 - 3, c.bottom - c.bottom / 5 - 8));
  }

  bool waitUntilShown(const std::function<bool(const PixelCount&)>& condition, const QRect& region) {
    return QTest::qWaitFor([&] { return condition(countPixels(shown(), region)); }, 2000);
  }

  static void save(const QImage& image, const char* name) {
    QDir().mkpath(ARS_TEST_ARTIFACTS);
    EXPECT_TRUE(image.save(QString(ARS_TEST_ARTIFACTS "/") + name));
  }

  void exitThroughTheFileMenu() {
    QMenuBar* bar = window_->menuBar();
    QAction* file = bar->actions().at(0);
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                      bar->mapTo(window_, bar->actionGeometry(file).center()));
    QMenu* menu = file->menu();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QAction* exit = nullptr;
    for (QAction* action : menu->actions())
      if (action->data().toInt() == CommandId::exit) exit = action;
    ASSERT_NE(exit, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(exit).center());
  }
};

TEST_F(AppWindowTest, StartsWithTheBlueDensityCurveAndNoDarts) {
  const int code = run([&] {
    EXPECT_TRUE(waitUntilShown([](const PixelCount& c) { return c.blue > 150; }, plotArea()));
    const QImage picture = shown();
    save(picture, "startup.png");
    EXPECT_EQ(countPixels(picture, plotArea()).red, 0);
    EXPECT_EQ(countPixels(picture, yLabelArea()).dark, 0);  // normal scale: no y labels
    window_->postQuit(0);
  });
  EXPECT_EQ(code, 0);
}

TEST_F(AppWindowTest, ControlTThrowsRedDartsAndKeepsTheCurve) {
  run([&] {
    press(Qt::Key_T);
    EXPECT_TRUE(waitUntilShown([](const PixelCount& c) { return c.red > 500; }, plotArea()));
    const QImage picture = shown();
    save(picture, "darts.png");
    EXPECT_GT(countPixels(picture, plotArea()).blue, 100);
    window_->postQuit(0);
  });
  EXPECT_EQ(app_.model().darts.x.size(), 5000u);
}

TEST_F(AppWindowTest, ControlLSwitchesToLogScaleWithYLabels) {
  run([&] {
    press(Qt::Key_L);
    EXPECT_TRUE(waitUntilShown([](const PixelCount& c) { return c.dark > 20; }, yLabelArea()));
    save(shown(), "log_scale.png");
    press(Qt::Key_E);
    EXPECT_TRUE(waitUntilShown([](const PixelCount& c) { return c.dark == 0; }, yLabelArea()));
    window_->postQuit(0);
  });
  EXPECT_FALSE(app_.model().view.logScale);
}

TEST_F(AppWindowTest, DartsOnTheLogScaleStayUnderTheLogCurve) {
  run([&] {
    press(Qt::Key_L);
    press(Qt::Key_T);
    EXPECT_TRUE(waitUntilShown([](const PixelCount& c) { return c.red > 500; }, plotArea()));
    const QImage picture = shown();
    save(picture, "log_darts.png");
    // The log curve peaks at the top of the frame; no dart lies above it.
    const QRect above(plotArea().left(), 0, plotArea().width(), plotArea().top() - 2);
    EXPECT_EQ(countPixels(picture, above).red, 0);
    window_->postQuit(0);
  });
  EXPECT_TRUE(app_.model().view.logScale);
  EXPECT_EQ(app_.model().darts.y.size(), 5000u);
}

TEST_F(AppWindowTest, SteppingShowsTheRedHullAndGreenSqueeze) {
  run([&] {
    press(Qt::Key_S);
    press(Qt::Key_N);
    EXPECT_TRUE(waitUntilShown([](const PixelCount& c) { return c.red > 50 && c.green > 50; }, plotArea()));
    save(shown(), "stepping.png");
    press(Qt::Key_X);
    EXPECT_TRUE(waitUntilShown([](const PixelCount& c) { return c.red == 0 && c.green == 0; }, plotArea()));
    window_->postQuit(0);
  });
}

TEST_F(AppWindowTest, DistributionCheckMarkFollowsTheSelection) {
  QMenuBar* bar = window_->menuBar();
  QMenu* distribution = bar->actions().at(2)->menu();
  auto checkedItems = [&] {
    QStringList checked;
    for (QAction* action : distribution->actions())
      if (action->isChecked()) checked << action->text();
    return checked;
  };
  auto openMenu = [&] {
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                      bar->mapTo(window_, bar->actionGeometry(bar->actions().at(2)).center()));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(distribution));
  };
  run([&] {
    openMenu();
    EXPECT_EQ(checkedItems(), QStringList{"Beta(2,3)"});
    QTest::mouseClick(distribution, Qt::LeftButton, {},
                      distribution->actionGeometry(distribution->actions().at(1)).center());
    EXPECT_EQ(app_.model().density.kind, 4);
    openMenu();
    EXPECT_EQ(checkedItems(), QStringList{"Gamma(10,0.1)"});
    save(distribution->grab().toImage(), "distribution_menu.png");
    distribution->hide();
    window_->postQuit(0);
  });
}

TEST_F(AppWindowTest, NotLogConcaveKindShowsTheMessageBoxThatHoldsBackAccelerators) {
  QString caption;
  QString text;
  bool loggedWhileOpen = true;
  run([&] {
    MessageParams params;
    params.value = CommandId::firstDensity + 1;  // Beta(0.5, 2): not log-concave
    mainWindowProc(*window_, WindowMessage::Command, params);
    whenMessageBoxShown([&](QMessageBox& box) {
      caption = box.windowTitle();
      text = box.text();
      save(box.grab().toImage(), "not_log_concave_box.png");
      QTest::keyClick(box.windowHandle(), Qt::Key_L, Qt::ControlModifier);
      QTest::keyClick(window_->windowHandle(), Qt::Key_L, Qt::ControlModifier);
      loggedWhileOpen = app_.model().view.logScale;
      box.button(QMessageBox::Ok)->click();
    });
    press(Qt::Key_T);
    window_->postQuit(0);
  });
  EXPECT_EQ(caption, QString("Log-concavity assumption violated"));
  EXPECT_TRUE(text.contains("not log-concave"));
  EXPECT_FALSE(loggedWhileOpen);
  EXPECT_FALSE(app_.model().view.logScale);
}

TEST_F(AppWindowTest, StatusLineAndLegendSitUnderAPlotOfUnchangedSize) {
  // The same window without a status line, for the plot's size.
  WindowOptions bare;
  bare.title = "bare";
  bare.x = 50;
  bare.y = 50;
  bare.width = 400;
  bare.height = 300;
  bare.menu = &mainMenu();
  bare.procedure = [](Window&, WindowMessage, const MessageParams&) -> long { return 0; };
  QtWindowSystem other;
  auto* plain = dynamic_cast<QtMainWindow*>(other.createWindow(bare));
  plain->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(plain));
  EXPECT_EQ(window_->centralWidget()->size(), plain->centralWidget()->size());
  EXPECT_EQ(window_->height(), plain->height() + window_->statusBar()->height());
  plain->hide();
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_));

  QString text;
  run([&] {
    press(Qt::Key_S);
    press(Qt::Key_N);
    text = window_->statusLabel()->text();
    const QImage legend = window_->legend()->grab().toImage();
    save(legend, "legend.png");
    const PixelCount swatches = countPixels(legend, legend.rect());
    EXPECT_GT(swatches.blue, 10);
    EXPECT_GT(swatches.green, 10);
    EXPECT_GT(swatches.red, 10);
    save(window_->grab().toImage(), "stepping_with_status.png");
    // View, Status bar: the window gives up the room, the plot keeps its size.
    const QSize plot = window_->centralWidget()->size();
    const int height = window_->height();
    MessageParams params;
    params.value = CommandId::statusBar;
    mainWindowProc(*window_, WindowMessage::Command, params);
    EXPECT_FALSE(window_->statusBar()->isVisible());
    EXPECT_LT(window_->height(), height);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->centralWidget()->size() == plot; }, 1000))
        << window_->centralWidget()->width() << "x" << window_->centralWidget()->height() << " vs " << plot.width() << "x" << plot.height();
    window_->postQuit(0);
  });
  EXPECT_TRUE(text.startsWith("Step 1: ")) << text.toStdString();
}

TEST_F(AppWindowTest, SpaceAnimatesPastAcceptancesUntilSpaceAgain) {
  int acceptances = 0;
  run([&] {
    QTest::keyClick(window_->windowHandle(), Qt::Key_Space);
    EXPECT_TRUE(app_.model().stepping.active);
    EXPECT_TRUE(window_->timerActive());
    // The fastest speed, so that the test does not wait long.
    for (int i = 0; i < 5; ++i) QTest::keyClick(window_->windowHandle(), Qt::Key_Plus);
    int seen = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] {
      if (app_.model().stepping.stepsTaken != seen) {
        seen = app_.model().stepping.stepsTaken;
        if (app_.model().stepping.lastAccepted) ++acceptances;
      }
      return acceptances >= 2 && app_.model().stepping.stepsTaken >= 5;
    }, 8000));
    EXPECT_TRUE(app_.model().stepping.animating);
    EXPECT_TRUE(window_->statusLabel()->text().contains("steps a second"));
    QTest::keyClick(window_->windowHandle(), Qt::Key_Space);
    EXPECT_FALSE(app_.model().stepping.animating);
    EXPECT_FALSE(window_->timerActive());
    // Backspace steps back one step.
    const int steps = app_.model().stepping.stepsTaken;
    QTest::keyClick(window_->windowHandle(), Qt::Key_Backspace);
    EXPECT_EQ(app_.model().stepping.stepsTaken, steps - 1);
    window_->postQuit(0);
  });
  EXPECT_GE(acceptances, 2);
}

TEST_F(AppWindowTest, F11GoesFullScreenAndBackAndTheWindowKeepsAMinimumSize) {
  run([&] {
    const QSize plot = window_->centralWidget()->size();
    QTest::keyClick(window_->windowHandle(), Qt::Key_F11);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->isFullScreen(); }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->centralWidget()->width() > plot.width(); }, 2000));
    QTest::keyClick(window_->windowHandle(), Qt::Key_F11);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window_->isFullScreen(); }, 2000));
    // Made small, the plot keeps the room its caption and labels need.
    window_->resize(100, 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->centralWidget()->width() >= 320; }, 2000));
    EXPECT_GE(window_->centralWidget()->height(), 240);
    window_->postQuit(0);
  });
}

TEST_F(AppWindowTest, PictureSavedAtAChosenSizeIsDrawnAtThatSizeWithItsStatusText) {
  QTemporaryDir dir;
  run([&] {
    press(Qt::Key_S);
    press(Qt::Key_N);
    PictureOptions options;
    options.format = PictureFormat::Png;
    options.size = QSize(1600, 1000);
    options.withStatus = true;
    const QString path = dir.filePath("slide.png");
    EXPECT_TRUE(window_->savePictureTo(path, options));
    const QImage slide(path);
    EXPECT_EQ(slide.width(), 1600);
    EXPECT_GT(slide.height(), 1000);  // the status text and legend under the picture
    save(slide, "slide.png");
    // Text in the band under the picture.
    EXPECT_GT(countPixels(slide, QRect(0, 1000, 1000, slide.height() - 1000)).dark, 200);
    window_->postQuit(0);
  });
}

TEST_F(AppWindowTest, AStatusTextLongerThanTheBarIsSetSmallerNotCut) {
  run([&] {
    QLabel* label = window_->statusLabel();
    const double full = label->font().pointSizeF();
    const auto lines = [&] {
      const QRect room(0, 0, label->contentsRect().width(), 100000);
      return QFontMetrics(label->font()).boundingRect(room, Qt::TextWordWrap, label->text()).height() /
             QFontMetrics(label->font()).lineSpacing();
    };
    // The first rejection with two beats per step, as long as it gets, and
    // then, as the window sets them, a legend of two columns beside it: the
    // text is fitted again once the wider legend has narrowed it.
    const int wide = label->width();
    window_->setStatusText("Step 11: x = 1.806 above the curve: rejected, becomes a point. Candidates 11: 6 "
                           "squeezed, 4 evaluated, 1 rejected; 9 evaluations.");
    window_->setLegend(plotLegend(false, false, false, PlotTheme::classic, false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->width() < wide; }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return label->font().pointSizeF() < full; }, 1000));
    EXPECT_LE(lines(), 3);
    window_->setStatusText("Beta density with alpha = 2 and beta = 3.");
    EXPECT_LE(lines(), 3);
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), full);
    window_->postQuit(0);
  });
}

TEST_F(AppWindowTest, SavedPictureIsWhatTheWindowShows) {
  QTemporaryDir dir;
  run([&] {
    press(Qt::Key_T);
    const QString path = dir.filePath("darts.png");
    EXPECT_TRUE(window_->savePictureTo(path, PictureFormat::Png));
    const QImage saved(path);
    const QImage shownNow = window_->centralWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shownNow);
    // Unwritable: a message box, and no file.
    QString caption;
    whenMessageBoxShown([&](QMessageBox& box) {
      caption = box.windowTitle();
      box.button(QMessageBox::Ok)->click();
    });
    const QString missing = dir.filePath("missing/picture.svg");
    EXPECT_FALSE(window_->savePictureTo(missing, PictureFormat::Svg));
    EXPECT_EQ(caption, QString("Save picture"));
    EXPECT_FALSE(QFile::exists(missing));
    window_->postQuit(0);
  });
}

TEST_F(AppWindowTest, FileExitEndsTheProgramWithCodeZero) {
  EXPECT_EQ(run([&] { exitThroughTheFileMenu(); }), 0);
}

TEST_F(AppWindowTest, ClosingTheWindowEndsTheProgramWithCodeZero) {
  EXPECT_EQ(run([&] { window_->close(); }), 0);
}

}  // namespace

namespace {

// Records what the window asks of its content dialogs.
struct HowItWorksOnly : ContentDialogs {
  bool chooseDensity(DensityChoice&) override { return false; }
  bool openLessonFile(Lesson&, std::string&) override { return false; }
  void saveLessonFile(const Lesson&, std::string&) override {}
  void showHowItWorks(const std::string& at) override {
    ++shown;
    anchor = at;
  }
  int shown = 0;
  std::string anchor;
};

TEST_F(AppWindowTest, HelpHowItWorksIsAMenuItemThatOpensThePageAndKeepsTheState) {
  HowItWorksOnly dialogs;
  app_.setContentDialogs(dialogs);
  QMenu* help = window_->menuBar()->actions().at(5)->menu();
  bool listed = false;
  for (QAction* action : help->actions()) listed |= action->text().contains(QStringLiteral("How it works"));
  EXPECT_TRUE(listed);
  run([&] {
    app_.command(CommandId::startStepping);
    app_.command(CommandId::howItWorks);
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_FALSE(app_.session().pending());
    EXPECT_TRUE(app_.model().stepping.active);
    window_->postQuit(0);
  });
}

TEST(HowItWorksDialog, ShowsEverySectionWithDiagramsAndFitsTheScreen) {
  QtHowItWorksDialog dialog(3.0, nullptr);
  EXPECT_EQ(dialog.findChildren<QLabel*>(QStringLiteral("heading")).size(), static_cast<qsizetype>(howItWorks().size()));
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(dialog.width(), room.width());
  EXPECT_LE(dialog.height(), room.height());
  EXPECT_GT(dialog.font().pointSizeF(), QApplication::font().pointSizeF() * 2);
  // The diagrams are drawn: the page holds the hull's red and the squeeze's green.
  auto* scroll = dialog.findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  dialog.show();
  QWidget* page = scroll->widget();
  page->resize(scroll->viewport()->width(), page->sizeHint().height());
  const PixelCount ink = countPixels(page->grab().toImage(), page->rect());
  EXPECT_GT(ink.red, 500);
  EXPECT_GT(ink.green, 200);
}

// Terms on screen lead to How it works: a legend entry's tip defines it and a
// click opens the page at its section; over the plot the tip follows the
// envelope, and a click on a vertical drop of the hull opens "hull-piece".
TEST_F(AppWindowTest, LegendAndPlotLeadToTheirSectionsOfHowItWorks) {
  HowItWorksOnly dialogs;
  app_.setContentDialogs(dialogs);
  run([&] {
    app_.command(CommandId::startStepping);
    QtLegend* legend = window_->legend();
    QCoreApplication::processEvents();
    const QPoint hull = legend->swatchRect(1).center();
    EXPECT_EQ(legend->entryAt(hull), 1);
    QHelpEvent help(QEvent::ToolTip, hull, legend->mapToGlobal(hull));
    QApplication::sendEvent(legend, &help);
    EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("Upper hull"))) << QToolTip::text().toStdString();
    QTest::mouseClick(legend, Qt::LeftButton, Qt::NoModifier, hull);
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_EQ(dialogs.anchor, "hull");

    // Beta(2,3) at Start drops vertically at its outer point 0.95.
    QWidget* plot = window_->centralWidget();
    const Session& session = app_.session();
    const int px = wholePixelX(session.layout().mapping, 0.95);
    int py = session.layout().frame.top;
    while (py < session.layout().frame.bottom && session.toolTipAt(px, py).empty()) ++py;
    ASSERT_LT(py, session.layout().frame.bottom);
    QHelpEvent over(QEvent::ToolTip, QPoint(px, py), plot->mapToGlobal(QPoint(px, py)));
    QApplication::sendEvent(plot, &over);
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("two extended secants meet"))) << QToolTip::text().toStdString();
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, QPoint(px, py));
    EXPECT_EQ(dialogs.shown, 2);
    EXPECT_EQ(dialogs.anchor, "hull-piece");
    // Far from the envelope the plot keeps its own tip, and a click opens nothing.
    const QPoint corner(session.layout().frame.right - 3, session.layout().frame.top + 3);
    QHelpEvent away(QEvent::ToolTip, corner, plot->mapToGlobal(corner));
    QApplication::sendEvent(plot, &away);
    EXPECT_TRUE(QToolTip::text().contains(QString::fromStdString(session.toolTip()))) << QToolTip::text().toStdString();
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, corner);
    EXPECT_EQ(dialogs.shown, 2);
    window_->postQuit(0);
  });
}

TEST(HowItWorksDialog, OpensAtTheSectionOfItsAnchor) {
  QtHowItWorksDialog top(1.0, nullptr);
  QtHowItWorksDialog last(1.0, nullptr, "t-scale");
  top.show();
  last.show();
  auto* scroll = last.findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(top.findChild<QScrollArea*>()->verticalScrollBar()->value(), 0);
  EXPECT_GT(scroll->verticalScrollBar()->value(), 0);
  for (QLabel* heading : last.findChildren<QLabel*>(QStringLiteral("heading"))) {
    if (heading->property("anchor").toString() != QStringLiteral("t-scale")) continue;
    EXPECT_GE(heading->y(), scroll->verticalScrollBar()->value());
  }
}

}  // namespace
