#pragma once
// "Other density": a catalogue entry with its parameters, or a formula in x
// (density or log-density) with the support's two ends, the transformation
// it is concave under and its split points. Every change is checked at once
// (studio/density_check.h); the problem shows under the fields and OK stays
// disabled until there is none.
#include <QDialog>
#include <vector>

#include "density/density_choice.h"

struct DensityCheck;

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QWidget;

class QtDensityDialog : public QDialog {
 public:
  // `scale` is the picture's: fonts grow by it on a projector.
  explicit QtDensityDialog(const DensityChoice& start, double scale = 1.0, QWidget* parent = nullptr);

  // Valid once the problem text is empty; it carries its parsed formula.
  const DensityChoice& choice() const { return choice_; }
  QString problem() const;

  static constexpr int maxParameters = 5;

 private:
  void showEntry();
  void check();
  QString take(const DensityCheck& checked);
  QString checkFormula();
  QString checkCatalogue(int entry);

  QComboBox* source_;
  QWidget* formulaPage_;
  QWidget* cataloguePage_;
  QLineEdit* formula_;
  QComboBox* form_;
  QLineEdit* lower_;
  QLineEdit* upper_;
  QComboBox* transform_;
  QLineEdit* splits_;
  QLabel* catalogueNote_;  // how the entry is sampled
  std::vector<QLabel*> parameterNames_;
  std::vector<QLineEdit*> parameters_;
  QLabel* problem_;
  QDialogButtonBox* buttons_;
  DensityChoice choice_;
};
