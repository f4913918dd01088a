#include "frontends/qt/platform/qt_picture_options_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

bool askPictureOptions(QWidget* parent, PictureOptions& options) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Picture size"));
  auto* form = new QFormLayout(&dialog);
  auto* width = new QSpinBox(&dialog);
  auto* height = new QSpinBox(&dialog);
  for (QSpinBox* box : {width, height}) {
    box->setRange(100, 10000);
    box->setSuffix(QStringLiteral(" pixels"));
  }
  width->setValue(options.size.width());
  height->setValue(options.size.height());
  auto* withStatus = new QCheckBox(QStringLiteral("Include the status text and the legend"), &dialog);
  withStatus->setChecked(options.withStatus);
  form->addRow(QStringLiteral("Width:"), width);
  form->addRow(QStringLiteral("Height:"), height);
  form->addRow(withStatus);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  options.size = QSize(width->value(), height->value());
  options.withStatus = withStatus->isChecked();
  return true;
}
