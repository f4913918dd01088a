// The Other density dialog checks every change and keeps OK disabled until
// the input is valid.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "frontends/qt/dialogs/qt_density_dialog.h"
#include "frontends/qt/dialogs/qt_how_it_works.h"
#include "density/formula_density.h"

namespace {

struct DialogRig {
  DialogRig() : dialog(DensityChoice{}) {}
  QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(name); }
  bool okEnabled() {
    return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
  }
  QtDensityDialog dialog;
};

TEST(DensityDialog, ValidatesTheFormulaWhileTyping) {
  DialogRig rig;
  EXPECT_EQ(rig.dialog.problem().toStdString(), "");  // starts from a valid normal
  EXPECT_TRUE(rig.okEnabled());
  rig.edit("formula")->setText("exp(-x^2/2");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "Position 11: Missing parenthesis.");
  EXPECT_FALSE(rig.okEnabled());
  rig.edit("formula")->setText("sqrt(x)");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "The density is not a number at x = -1e-06.");
  rig.dialog.findChild<QComboBox*>("form")->setCurrentIndex(1);
  rig.edit("lower")->setText("0");
  // e^sqrt(x) grows without end: refused before OK, not after it.
  EXPECT_EQ(rig.dialog.problem().toStdString(), "The density does not fall off towards inf: it is not integrable there.");
  EXPECT_FALSE(rig.okEnabled());
  rig.edit("upper")->setText("4");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "");
  EXPECT_TRUE(rig.dialog.choice().logDensity);
  EXPECT_EQ(rig.dialog.choice().lower, 0);
  rig.edit("upper")->setText("-1");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "The lower end must lie below the upper end.");
  rig.edit("upper")->setText("one");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "The upper end must be a number or inf.");
  rig.edit("upper")->setText("inf");
  rig.edit("formula")->setText(QString(401, 'x'));
  EXPECT_EQ(rig.dialog.problem().toStdString(), "The formula is longer than 400 characters.");
  EXPECT_FALSE(rig.okEnabled());
}

TEST(DensityDialog, CatalogueEntriesCheckTheirParameters) {
  DialogRig rig;
  auto* source = rig.dialog.findChild<QComboBox*>("source");
  source->setCurrentIndex(source->findText("Weibull"));
  EXPECT_EQ(rig.dialog.problem().toStdString(), "");
  EXPECT_EQ(rig.dialog.choice().caption, std::string("Weibull(k = 1.5, lambda = 1)"));
  rig.edit("parameter0")->setText("0.5");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "k must be at least 1.");
  EXPECT_FALSE(rig.okEnabled());
  rig.edit("parameter0")->setText("two");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "k must be a number.");
  source->setCurrentIndex(source->findText("Truncated normal"));
  EXPECT_EQ(rig.dialog.problem().toStdString(), "");
  EXPECT_EQ(rig.dialog.choice().lower, 2);
  EXPECT_EQ(rig.dialog.choice().upper, 4);
  EXPECT_TRUE(rig.okEnabled());
}

}  // namespace

namespace {

TEST(DensityDialog, TakesATransformationAndRefusesBadSplitPoints) {
  DialogRig rig;
  rig.edit("formula")->setText("exp(-(x+2)^2/2) + exp(-(x-2)^2/2)");
  rig.edit("splits")->setText("0.66, -0.66");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "The split point -0.66 does not lie above the one before it.");
  EXPECT_FALSE(rig.okEnabled());
  rig.edit("splits")->setText("-0.66 x");
  EXPECT_EQ(rig.dialog.problem().toStdString(), "\"x\" is not a split point (a number).");
  rig.edit("splits")->setText("-0.66, 0.66");
  EXPECT_TRUE(rig.okEnabled());
  EXPECT_EQ(rig.dialog.choice().splits, (std::vector<double>{-0.66, 0.66}));
  // The formula the check parsed goes with the choice, for the window to keep.
  ASSERT_NE(rig.dialog.choice().parsed, nullptr);
  EXPECT_EQ(rig.dialog.choice().parsed->text(), "exp(-(x+2)^2/2) + exp(-(x-2)^2/2)");
  // Split points belong to their T: log f's inflections split nothing under -1/sqrt(f).
  rig.dialog.findChild<QComboBox*>("transform")->setCurrentIndex(1);
  EXPECT_EQ(rig.dialog.problem().toStdString(),
            "No change of curvature at -0.66: \xe2\x88\x92" "1/\xe2\x88\x9a" "f is concave on both sides of it.");
  rig.edit("splits")->setText("");
  EXPECT_EQ(rig.dialog.choice().transform, ars::Transform::InverseSqrt);
  // The catalogue's Student t says how it is sampled.
  rig.dialog.findChild<QComboBox*>("source")->setCurrentText("Student t");
  EXPECT_EQ(rig.dialog.choice().transform, ars::Transform::InverseSqrt);
  EXPECT_NE(rig.dialog.findChild<QLabel*>("catalogueNote")->text().toStdString().find("T(f)"), std::string::npos);
}

// "Concave under T =" and "Split points" each have a "?": its tip defines the
// term, and a click opens How it works at the section on T and split points.
TEST(DensityDialog, TheTransformAndSplitLabelsLeadToHowItWorks) {
  DialogRig rig;
  {
    const QList<QToolButton*> buttons = rig.dialog.findChildren<QToolButton*>("help-t-scale");
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons[0]->toolTip().startsWith(QStringLiteral("T scale")));
    EXPECT_TRUE(buttons[1]->toolTip().startsWith(QStringLiteral("Split point")));
    int opened = 0;
    QTimer::singleShot(0, [&] {
      auto* page = dynamic_cast<QtHowItWorksDialog*>(QApplication::activeModalWidget());
      if (page == nullptr) return;
      ++opened;
      page->accept();
    });
    buttons[1]->click();
    EXPECT_EQ(opened, 1);
  }
}

}  // namespace
