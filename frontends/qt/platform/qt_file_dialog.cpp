#include "frontends/qt/platform/qt_file_dialog.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QScreen>

QString askFilePath(QWidget* owner, FileAsk ask, const QString& caption, const QString& startName,
                    const QString& filter, double scale, QString* chosenFilter) {
  QFileDialog dialog(owner, caption, QString(), filter);
  dialog.setAcceptMode(ask == FileAsk::open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(ask == FileAsk::open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!startName.isEmpty()) dialog.selectFile(startName);
  if (scale > 1.0 && dialog.font().pointSizeF() > 0) {
    // Qt's own dialog, since a native one would not take the font.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QFont larger = dialog.font();
    larger.setPointSizeF(larger.pointSizeF() * scale);
    dialog.setFont(larger);
    QSize size = dialog.sizeHint() * scale;
    if (const QScreen* screen = dialog.screen()) size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog.resize(size);
    // The columns sized for the larger text, the names taking the rest.
    for (QHeaderView* header : dialog.findChildren<QHeaderView*>()) {
      header->setSectionResizeMode(QHeaderView::ResizeToContents);
      header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  if (chosenFilter != nullptr) *chosenFilter = dialog.selectedNameFilter();
  return dialog.selectedFiles().front();
}
