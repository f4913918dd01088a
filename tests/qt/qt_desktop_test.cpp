// The program as a desktop citizen: message boxes a window manager can title
// in full, the end of the program when its native window is destroyed from
// outside, the names and icon it gives itself, and the line it writes when no
// window system can be reached.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <tuple>

#include "frontends/qt/main_window.h"
#include "frontends/qt/platform/qt_application_identity.h"
#include "frontends/qt/platform/qt_diagnostics.h"
#include "frontends/qt/platform/qt_main_window.h"
#include "frontends/qt/platform/qt_window_system.h"
#include "program_window_test.h"
#include "recording_procedure.h"
#include "resources/command_ids.h"
#include "studio/menus.h"

namespace {

const char* const notSteppingCaption = "Attempted to take next step without first choosing starting points";
const char* const notSteppingText = "Choose \"Go | Step through\" to choose starting points";
const char* const notLogConcaveCaption = "Log-concavity assumption violated";
const char* const notLogConcaveText =
    "Adaptive rejection sampler doesn't work for\ndensities that are not log-concave";

struct SeenBox {
  QString caption;
  QString text;
  int width = 0;
  bool buttonHasIcon = true;
  int buttons = 0;
};

// Records the next message box once its modal loop shows it, then clicks OK.
void acceptNextMessageBox(SeenBox& seen) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    seen.caption = box->windowTitle();
    seen.text = box->text();
    seen.width = box->width();
    seen.buttons = static_cast<int>(box->buttons().size());
    seen.buttonHasIcon = !box->button(QMessageBox::Ok)->icon().isNull();
    box->button(QMessageBox::Ok)->click();
  });
  poll->start(5);
}

// A title bar holds the caption in the title font and three buttons besides.
int captionRoom(const QString& caption) {
  return QFontMetrics(QFontDatabase::systemFont(QFontDatabase::TitleFont)).horizontalAdvance(caption) + 3 * 24;
}

class DesktopAppTest : public ProgramWindowTest {
 protected:

  void command(int id) {
    MessageParams params;
    params.value = id;
    mainWindowProc(*window_, WindowMessage::Command, params);
  }

};

TEST_F(DesktopAppTest, MessageBoxesAreWideEnoughForTheirCaptionsAndTheirButtonHasNoIcon) {
  SeenBox notStepping;
  SeenBox notLogConcave;
  const int code = run([&] {
    acceptNextMessageBox(notStepping);
    command(CommandId::nextStep);
    acceptNextMessageBox(notLogConcave);
    command(CommandId::firstDensity + 1);  // Beta(0.5, 2): not log-concave
    command(CommandId::startStepping);
    window_->postQuit(0);
  });
  EXPECT_EQ(code, 0);
  const int screenWidth = window_->screen()->availableGeometry().width();
  for (const auto& [seen, caption, text] : {std::make_tuple(&notStepping, notSteppingCaption, notSteppingText),
                                            std::make_tuple(&notLogConcave, notLogConcaveCaption, notLogConcaveText)}) {
    EXPECT_EQ(seen->caption, QString(caption));
    EXPECT_EQ(seen->text, QString(text));
    EXPECT_EQ(seen->buttons, 1);
    EXPECT_FALSE(seen->buttonHasIcon) << caption;
    EXPECT_GE(seen->width, qMin(captionRoom(caption), screenWidth)) << caption;
    EXPECT_LE(seen->width, screenWidth) << caption;
  }
}

TEST_F(DesktopAppTest, DestroyingTheNativeWindowFromOutsideEndsTheLoopWithCodeZero) {
  EXPECT_EQ(run([&] { window_->windowHandle()->destroy(); }), 0);
}

// The window layer on its own, against a recording procedure.
class NativeWindowTest : public testing::Test {
 protected:
  QtMainWindow& openShown(QtWindowSystem& system) {
    WindowOptions options;
    options.title = "Test Window";
    options.width = 400;
    options.height = 300;
    options.menu = &mainMenu();
    options.procedure = recordingProcedure;
    options.createParam = &recorder_;
    auto* window = dynamic_cast<QtMainWindow*>(system.createWindow(options));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    return *window;
  }

  MessageRecorder recorder_;
};

TEST_F(NativeWindowTest, ALostNativeWindowSendsDestroyOnce) {
  QtWindowSystem system;
  QtMainWindow& window = openShown(system);
  window.windowHandle()->destroy();
  EXPECT_TRUE(QTest::qWaitFor([&] { return recorder_.count(WindowMessage::Destroy) > 0; }, 2000));
  QTest::qWait(20);
  EXPECT_EQ(recorder_.count(WindowMessage::Destroy), 1);
}

TEST_F(NativeWindowTest, ARecreatedNativeWindowOrTheWindowsOwnEndSendsNothing) {
  {
    QtWindowSystem system;
    QtMainWindow& window = openShown(system);
    // Qt itself destroys and recreates a native window on some changes.
    window.windowHandle()->destroy();
    window.windowHandle()->create();
    QTest::qWait(20);
    EXPECT_EQ(recorder_.count(WindowMessage::Destroy), 0);
  }
  QTest::qWait(20);
  EXPECT_EQ(recorder_.count(WindowMessage::Destroy), 0);
}

TEST(ApplicationIdentity, NamesTheWindowClassTheDesktopEntryAndTheIcon) {
  describeApplication();
  EXPECT_EQ(QCoreApplication::applicationName(), QString("Velora"));  // X11 WM_CLASS
  EXPECT_EQ(QGuiApplication::desktopFileName(), QString(ARS_APP_ID));
  EXPECT_EQ(QCoreApplication::applicationVersion(), QString(ARS_VERSION));
  // No display name of its own: on X11 Qt would append it to every caption.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());

  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  QList<int> sizes;
  for (const QSize& size : icon.availableSizes()) {
    EXPECT_EQ(size.width(), size.height());
    EXPECT_FALSE(icon.pixmap(size).toImage().isNull());
    sizes << size.width();
  }
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (QList<int>{16, 24, 32, 48, 64, 128, 256}));
}

TEST(StartupFailure, SaysWhatIsMissingInOneLine) {
  const std::string noDisplay =
      "cannot open a window: no display; set DISPLAY, or QT_QPA_PLATFORM=offscreen to run headless";
  EXPECT_EQ(startupFailureLine("", "", ""), noDisplay);
  EXPECT_EQ(startupFailureLine("xcb", "", ""), noDisplay);
  EXPECT_EQ(startupFailureLine("xcb", "", "wayland-0"), noDisplay);  // X11 does not use the Wayland socket
  EXPECT_EQ(startupFailureLine("wayland;xcb", "", ""), noDisplay);
  EXPECT_EQ(startupFailureLine("", "", "wayland-0"),
            "cannot open a window: cannot connect to the display wayland-0; ARS_DEBUG=1 shows why");
  EXPECT_EQ(startupFailureLine("xcb:nograb", ":5", ""),
            "cannot open a window: cannot connect to the display :5; ARS_DEBUG=1 shows why");
  EXPECT_EQ(startupFailureLine("nonesuch", "", ""),
            "cannot open a window: the Qt platform \"nonesuch\" could not be started; ARS_DEBUG=1 shows why");
  EXPECT_EQ(startupFailureLine("xcb;offscreen", "", "").rfind("cannot open a window: the Qt platform", 0), 0u);
}

}  // namespace
