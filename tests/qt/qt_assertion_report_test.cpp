// The assertion report as the program shows it: a message box without owner,
// after which the process ends with status 1.
#include "frontends/qt/platform/qt_assertion_report.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "sampler/assertion.h"

namespace {

// Clicks OK on the next message box once the modal loop shows it, after
// handing it to `inspect`.
void acceptNextMessageBox(const std::function<void(QMessageBox&)>& inspect) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    poll->stop();
    poll->deleteLater();
    inspect(*box);
    box->button(QMessageBox::Ok)->click();
  });
  poll->start(5);
}

TEST(QtAssertionReport, ShowsTheReportInAnOwnerlessBoxWithOneOkButton) {
  bool shown = false;
  acceptNextMessageBox([&](QMessageBox& box) {
    shown = true;
    EXPECT_EQ(box.windowTitle(), QString("Assertion Failure"));
    EXPECT_EQ(box.text(), QString("Assertion (p) failed in \"a.cpp\" on line 7\n"));
    EXPECT_EQ(box.parentWidget(), nullptr);
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons().size(), 1);
  });
  showAssertionReport("Assertion (p) failed in \"a.cpp\" on line 7\n");
  EXPECT_TRUE(shown);
}

TEST(QtAssertionReportDeathTest, ProcessEndsWithStatusOneOnceTheBoxIsClosed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setAssertionHandler(showAssertionReport);
        acceptNextMessageBox([](QMessageBox&) { std::fputs("box shown\n", stderr); });
        assertionFailed("pointer", "file.cpp", 12);
      },
      testing::ExitedWithCode(1), "box shown");
}

}  // namespace
