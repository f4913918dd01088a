// Normal, log and T scale are one choice of three: one tick, and the scale
// chosen is the one on screen.
#include <gtest/gtest.h>

#include <string>

#include "density/catalogue.h"
#include "resources/command_ids.h"
#include "studio/menus.h"
#include "studio/session.h"
#include "support/fake_window.h"
#include "support/recording_canvas.h"

namespace {
constexpr int plotMenu = 1;
constexpr int betaTwoThree = CommandId::firstDensity;

std::string picture(const Session& session) {
  RecordingCanvas canvas;
  paint(canvas, session.client(), session);
  std::string text;
  for (const Primitive& p : canvas.log) {
    text += std::to_string(p.kind) + " " + std::to_string(p.a) + " " + std::to_string(p.b) + " " +
            std::to_string(p.c) + " " + std::to_string(p.d) + " " + std::to_string(p.pen) + " " + p.text + "\n";
  }
  return text;
}

// Compared whole; a difference would print hundreds of lines.
bool samePicture(const Session& a, const Session& b) { return picture(a) == picture(b); }

// The one ticked scale of the Plot menu, or 0 when not exactly one is.
int tickedScale(const Session& session) {
  FakeMenu menu;
  updateMenu(menu, plotMenu, session.model());
  int ticked = 0;
  for (const int id : {CommandId::normalScale, CommandId::logScale, CommandId::tScale}) {
    if (!menu.checks.at(id)) continue;
    if (ticked != 0) return 0;
    ticked = id;
  }
  return ticked;
}

// A Student t, sampled under -1/sqrt(f), on the scale `scale` chosen directly.
void showStudentT(Session& session, int scale) {
  session.chooseDensity(catalogueChoice(CatalogueKind::studentT, {3}));
  session.apply(scale);
}

TEST(ScaleChoice, NormalAndLogLeaveTheTScaleAndShowTheirOwn) {
  Session session;
  showStudentT(session, CommandId::normalScale);
  EXPECT_EQ(tickedScale(session), CommandId::normalScale);
  const Effects t = session.apply(CommandId::tScale);
  EXPECT_TRUE(t.viewChanged);
  EXPECT_TRUE(session.model().curve.tScale);
  EXPECT_EQ(tickedScale(session), CommandId::tScale);
  // Chosen again, T stays.
  session.apply(CommandId::tScale);
  EXPECT_EQ(tickedScale(session), CommandId::tScale);

  // Ctrl+L: the log scale, as if it had been chosen directly, and T no longer ticked.
  const Effects log = session.apply(CommandId::logScale);
  EXPECT_TRUE(log.viewChanged);  // T off is remembered between runs
  EXPECT_FALSE(session.model().curve.tScale);
  EXPECT_EQ(tickedScale(session), CommandId::logScale);
  Session direct;
  showStudentT(direct, CommandId::logScale);
  EXPECT_TRUE(samePicture(session, direct));

  // Ctrl+E from the T scale likewise.
  session.apply(CommandId::tScale);
  session.apply(CommandId::normalScale);
  EXPECT_EQ(tickedScale(session), CommandId::normalScale);
  Session normal;
  showStudentT(normal, CommandId::normalScale);
  EXPECT_TRUE(samePicture(session, normal));
  EXPECT_FALSE(session.apply(CommandId::logScale).viewChanged);  // T was already off
}

TEST(ScaleChoice, WithoutATScaleNormalAndLogAreAsBefore) {
  // T chosen on the Student t, then Beta(2,3): its picture and tick as in a fresh window.
  Session session;
  showStudentT(session, CommandId::logScale);
  session.apply(CommandId::tScale);
  session.apply(betaTwoThree);
  EXPECT_EQ(tickedScale(session), CommandId::logScale);
  Session fresh;
  fresh.apply(CommandId::logScale);
  EXPECT_TRUE(samePicture(session, fresh));

  // Greyed out, T changes nothing.
  const std::string before = picture(fresh);
  const Effects greyed = fresh.apply(CommandId::tScale);
  EXPECT_FALSE(greyed.viewChanged);
  EXPECT_FALSE(fresh.model().view.tScale);
  EXPECT_TRUE(picture(fresh) == before);
  EXPECT_EQ(tickedScale(fresh), CommandId::logScale);

  // Back to a density with a T scale: T again, since normal or log was not chosen since.
  session.chooseDensity(catalogueChoice(CatalogueKind::studentT, {3}));
  EXPECT_EQ(tickedScale(session), CommandId::tScale);
  // A choice made where T is greyed out holds for the next density.
  session.apply(betaTwoThree);
  session.apply(CommandId::normalScale);
  session.chooseDensity(catalogueChoice(CatalogueKind::studentT, {3}));
  EXPECT_EQ(tickedScale(session), CommandId::normalScale);
  EXPECT_FALSE(session.model().curve.tScale);
}

TEST(ScaleChoice, ALessonSavedOnTheTScaleReopensOnIt) {
  Session lecturer;
  showStudentT(lecturer, CommandId::logScale);
  lecturer.apply(CommandId::tScale);
  const std::string text = lecturer.lessonText();
  EXPECT_NE(text.find("\"tScale\": true"), std::string::npos) << text;

  Session student;
  student.openLessonText(text);
  EXPECT_EQ(tickedScale(student), CommandId::tScale);
  EXPECT_TRUE(samePicture(student, lecturer));
  // Leaving T, the lesson keeps the scale now shown.
  student.apply(CommandId::normalScale);
  const std::string normal = student.lessonText();
  EXPECT_NE(normal.find("\"tScale\": false"), std::string::npos) << normal;
  EXPECT_NE(normal.find("\"scale\": \"normal\""), std::string::npos) << normal;

  // A hand-written lesson that names its scale and says nothing of T means that scale.
  Lesson logOnly = lecturer.lesson();
  logOnly.tScale.reset();
  logOnly.scale = LessonScale::log;
  Session reader;
  showStudentT(reader, CommandId::normalScale);
  reader.apply(CommandId::tScale);
  ASSERT_FALSE(reader.openLesson(logOnly).question);
  EXPECT_EQ(tickedScale(reader), CommandId::logScale);
}
}  // namespace
