#include "frontends/qt/dialogs/qt_density_dialog.h"

#include <QColor>
#include <QComboBox>
#include <QPalette>
#include <QFontMetrics>
#include <QScreen>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QToolButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "density/catalogue.h"
#include "density/formula_density.h"
#include "density/transform_choice.h"
#include "studio/density_check.h"
#include "frontends/qt/dialogs/qt_how_it_works.h"
#include "studio/how_it_works.h"
#include "studio/terms.h"

namespace {
constexpr int formulaSource = 0;  // then the catalogue's entries in order
constexpr int formulaCharacters = 80;

// A label with a "?" beside it: its tip defines the term, a click opens How
// it works at the term's section.
QWidget* explainedLabel(const QString& text, const Term& term, double scale) {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(new QLabel(text));
  auto* help = new QToolButton;
  help->setText(QStringLiteral("?"));
  help->setObjectName(QStringLiteral("help-") + QString::fromUtf8(term.anchor));
  help->setProperty("anchor", QString::fromUtf8(term.anchor));
  help->setToolTip(QString::fromStdString(withLink(term.definition)));
  help->setAutoRaise(true);
  QObject::connect(help, &QToolButton::clicked, box, [box, anchor = std::string(term.anchor), scale] {
    QtHowItWorksDialog page(scale, box->window(), anchor);
    page.exec();
  });
  row->addWidget(help);
  row->addStretch();
  return box;
}
}

QtDensityDialog::QtDensityDialog(const DensityChoice& start, double scale, QWidget* parent)
    : QDialog(parent), source_(new QComboBox), formulaPage_(new QWidget), cataloguePage_(new QWidget),
      formula_(new QLineEdit), form_(new QComboBox), lower_(new QLineEdit), upper_(new QLineEdit),
      transform_(new QComboBox), splits_(new QLineEdit), catalogueNote_(new QLabel), problem_(new QLabel), buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
  setWindowTitle(QStringLiteral("Other density"));
  // On a projector the dialog grows with the picture behind it.
  if (scale > 1.0 && font().pointSizeF() > 0) {
    QFont larger = font();
    larger.setPointSizeF(larger.pointSizeF() * scale);
    setFont(larger);
  }
  source_->setObjectName("source");
  source_->addItem(QStringLiteral("Formula in x"));
  for (const CatalogueEntry& entry : catalogue()) source_->addItem(QString::fromUtf8(entry.name));

  formula_->setObjectName("formula");
  formula_->setMaxLength(static_cast<int>(FormulaDensity::maxLength) + 1);
  formula_->setPlaceholderText(QStringLiteral("exp(-x^2/2)/(1+x^2)"));
  // Room for 80 characters of a formula, as far as the screen allows.
  int formulaWidth = QFontMetrics(font()).averageCharWidth() * formulaCharacters;
  if (const QScreen* screen = this->screen()) {
    formulaWidth = qMin(formulaWidth, screen->availableGeometry().width() * 3 / 4);
  }
  formula_->setMinimumWidth(formulaWidth);
  formula_->setText(start.formula.empty() ? QStringLiteral("exp(-x^2/2)") : QString::fromStdString(start.formula));
  form_->setObjectName("form");
  form_->addItems({QStringLiteral("density"), QStringLiteral("log-density")});
  form_->setCurrentIndex(start.logDensity ? 1 : 0);
  lower_->setObjectName("lower");
  upper_->setObjectName("upper");
  const bool fresh = start.formula.empty();
  lower_->setText(QString::fromStdString(fresh ? "-inf" : supportEndText(start.lower)));
  upper_->setText(QString::fromStdString(fresh ? "inf" : supportEndText(start.upper)));
  // In the order of ars::Transform.
  transform_->setObjectName("transform");
  transform_->addItems({QStringLiteral("log f (log-concave)"),
                        QStringLiteral("\u22121/\u221af (heavy tails: Cauchy, Student t)")});
  transform_->setCurrentIndex(start.transform == ars::Transform::InverseSqrt ? 1 : 0);
  splits_->setObjectName("splits");
  splits_->setPlaceholderText(QStringLiteral("none, or where T(f) turns: -0.66, 0.66"));
  splits_->setText(QString::fromStdString(splitsText(start.splits)));
  transform_->setToolTip(QString::fromUtf8(transformHint()));
  splits_->setToolTip(QString::fromUtf8(splitsHint()));
  auto* formulaForm = new QFormLayout(formulaPage_);
  formulaForm->addRow(QStringLiteral("f(x) ="), formula_);
  formulaForm->addRow(QStringLiteral("The formula is the"), form_);
  formulaForm->addRow(QStringLiteral("Lower end"), lower_);
  formulaForm->addRow(QStringLiteral("Upper end"), upper_);
  formulaForm->addRow(explainedLabel(QStringLiteral("Concave under T ="), tScaleTerm(), scale), transform_);
  formulaForm->addRow(explainedLabel(QStringLiteral("Split points"), splitTerm(), scale), splits_);

  auto* catalogueForm = new QFormLayout(cataloguePage_);
  for (int i = 0; i < maxParameters; ++i) {
    parameterNames_.push_back(new QLabel);
    parameters_.push_back(new QLineEdit);
    parameters_.back()->setObjectName(QStringLiteral("parameter%1").arg(i));
    catalogueForm->addRow(parameterNames_.back(), parameters_.back());
    connect(parameters_.back(), &QLineEdit::textChanged, this, [this] { check(); });
  }
  catalogueNote_->setObjectName("catalogueNote");
  catalogueNote_->setWordWrap(true);
  catalogueForm->addRow(catalogueNote_);

  problem_->setObjectName("problem");
  problem_->setWordWrap(true);
  // A palette, not a style sheet: a style sheet would keep the label at the
  // default font when the dialog grows on a projector.
  QPalette warning = problem_->palette();
  warning.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
  problem_->setPalette(warning);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(source_);
  layout->addWidget(formulaPage_);
  layout->addWidget(cataloguePage_);
  layout->addWidget(problem_);
  layout->addWidget(buttons_);

  connect(source_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { showEntry(); });
  connect(formula_, &QLineEdit::textChanged, this, [this] { check(); });
  connect(form_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { check(); });
  connect(lower_, &QLineEdit::textChanged, this, [this] { check(); });
  connect(upper_, &QLineEdit::textChanged, this, [this] { check(); });
  connect(transform_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { check(); });
  connect(splits_, &QLineEdit::textChanged, this, [this] { check(); });
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  showEntry();
}

QString QtDensityDialog::problem() const { return problem_->text(); }

void QtDensityDialog::showEntry() {
  const int source = source_->currentIndex();
  formulaPage_->setVisible(source == formulaSource);
  cataloguePage_->setVisible(source != formulaSource);
  if (source != formulaSource) {
    const CatalogueEntry& entry = catalogue()[source - 1];
    for (int i = 0; i < maxParameters; ++i) {
      const bool used = i < static_cast<int>(entry.parameterNames.size());
      parameterNames_[i]->setVisible(used);
      parameters_[i]->setVisible(used);
      if (used) {
        parameterNames_[i]->setText(QString::fromUtf8(entry.parameterNames[i]));
        parameters_[i]->blockSignals(true);
        parameters_[i]->setText(QString::fromStdString(supportEndText(entry.defaults[i])));
        parameters_[i]->blockSignals(false);
      }
    }
  }
  check();
}

void QtDensityDialog::check() {
  const int source = source_->currentIndex();
  const QString problem = source == formulaSource ? checkFormula() : checkCatalogue(source - 1);
  problem_->setText(problem);
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
}

// Keeps the choice when it makes a density (an empty text), else says why not.
QString QtDensityDialog::take(const DensityCheck& checked) {
  if (!checked.problem.empty()) return QString::fromStdString(checked.problem);
  choice_ = checked.choice;
  return QString();
}

QString QtDensityDialog::checkFormula() {
  FormulaFields fields;
  fields.formula = formula_->text().toStdString();
  fields.logDensity = form_->currentIndex() == 1;
  fields.lower = lower_->text().toStdString();
  fields.upper = upper_->text().toStdString();
  fields.transform = transform_->currentIndex() == 1 ? ars::Transform::InverseSqrt : ars::Transform::Log;
  fields.splits = splits_->text().toStdString();
  return take(checkFormulaFields(fields));
}

QString QtDensityDialog::checkCatalogue(int index) {
  const CatalogueEntry& entry = catalogue()[index];
  std::vector<std::string> parameters;
  for (std::size_t i = 0; i < entry.parameterNames.size(); ++i) {
    parameters.push_back(parameters_[i]->text().toStdString());
  }
  const DensityCheck checked = checkCatalogueFields(entry.kind, parameters);
  const DensityChoice& c = checked.choice;
  // What the lecturer sees of how the entry is sampled, once the parameters read.
  if (!c.formula.empty()) {
    QString note;
    if (c.transform == ars::Transform::InverseSqrt) note = QStringLiteral("Sampled under T(f) = \u22121/\u221af.");
    if (!c.splits.empty()) {
      note = QStringLiteral("Inflection points of log f (split points): %1.")
                 .arg(QString::fromStdString(splitsText(c.splits)));
    }
    catalogueNote_->setText(note);
  }
  return take(checked);
}
