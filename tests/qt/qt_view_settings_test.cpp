// The whole envelope option is remembered between runs.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "frontends/qt/main_window.h"
#include "frontends/qt/dialogs/qt_view_settings.h"
#include "resources/command_ids.h"
#include "support/fake_window.h"

namespace {

TEST(ViewSettings, WholeEnvelopeIsRememberedForTheNextRun) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath("settings.ini");
  {
    FakeWindow window(400, 300);
    MainWindow first;
    first.attach(window);
    QtViewSettings settings(file);
    first.setViewSettings(settings);
    EXPECT_FALSE(first.model().view.wholeEnvelope);
    first.command(CommandId::wholeEnvelope);
    EXPECT_TRUE(first.model().view.wholeEnvelope);
  }
  FakeWindow window(400, 300);
  MainWindow next;
  next.attach(window);
  QtViewSettings settings(file);
  next.setViewSettings(settings);
  EXPECT_TRUE(next.model().view.wholeEnvelope);
}

}  // namespace
