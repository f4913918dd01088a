#pragma once
// The program's real window on the offscreen platform, opened as the entry
// point opens it, with its message loop run under a watchdog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "frontends/qt/main_window.h"
#include "frontends/qt/platform/qt_main_window.h"
#include "frontends/qt/platform/qt_window_system.h"

class ProgramWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    window_ = dynamic_cast<QtMainWindow*>(app_.open(system_, mainWindowTitle));
    ASSERT_NE(window_, nullptr);
    app_.show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
  }

  // Runs the program's message loop; `steps` runs inside it and ends with a
  // way out of the loop. A test that went wrong must not leave a modal box
  // waiting for ever.
  int run(const std::function<void()>& steps) {
    QTimer::singleShot(0, window_, steps);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
      ADD_FAILURE() << "the program did not finish in time";
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      QCoreApplication::exit(99);
    });
    watchdog.start(10000);
    return app_.run(system_);
  }

  QtWindowSystem system_;
  MainWindow app_;
  QtMainWindow* window_ = nullptr;
};
