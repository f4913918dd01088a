#include "frontends/qt/dialogs/qt_how_it_works.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "frontends/qt/platform/qt_canvas.h"
#include "studio/how_it_works.h"

namespace {

// One diagram, drawn by the core through the platform canvas.
class DiagramWidget : public QWidget {
 public:
  DiagramWidget(HowDiagram diagram, double scale, QWidget* parent)
      : QWidget(parent), diagram_(diagram), scale_(scale) {
    setMinimumHeight(static_cast<int>(200 * scale));
    setMinimumWidth(static_cast<int>(320 * scale));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The canvas scales the default font itself, as in the picture.
    setFont(QApplication::font());
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    QtCanvas canvas(painter);
    paintHowDiagram(canvas, Rect{0, 0, width(), height()}, diagram_, scale_);
  }

 private:
  HowDiagram diagram_;
  double scale_;
};

}  // namespace

QtHowItWorksDialog::QtHowItWorksDialog(double scale, QWidget* parent, const std::string& anchor) : QDialog(parent) {
  setWindowTitle(QStringLiteral("How it works"));
  setObjectName(QStringLiteral("howItWorks"));
  if (scale > 1.0 && font().pointSizeF() > 0) {
    QFont larger = font();
    larger.setPointSizeF(larger.pointSizeF() * scale);
    setFont(larger);
  }
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  for (const HowSection& section : howItWorks()) {
    auto* heading = new QLabel(QString::fromStdString(section.heading));
    heading->setObjectName(QStringLiteral("heading"));
    heading->setProperty("anchor", QString::fromStdString(section.anchor));
    if (!anchor.empty() && section.anchor == anchor) section_ = heading;
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    column->addWidget(heading);
    for (const std::string& paragraph : section.paragraphs) {
      auto* text = new QLabel(QString::fromStdString(paragraph));
      text->setWordWrap(true);
      text->setTextInteractionFlags(Qt::TextSelectableByMouse);
      column->addWidget(text);
    }
    if (section.diagram != HowDiagram::None) column->addWidget(new DiagramWidget(section.diagram, scale, page));
    column->addSpacing(static_cast<int>(8 * scale));
  }
  auto* scroll = new QScrollArea;
  scroll_ = scroll;
  scroll->setWidget(page);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll);
  layout->addWidget(buttons);
  // A readable column, never larger than the screen.
  QSize size(static_cast<int>(620 * scale), static_cast<int>(700 * scale));
  if (const QScreen* screen = this->screen()) {
    const QRect room = screen->availableGeometry();
    size = size.boundedTo(QSize(room.width() * 9 / 10, room.height() * 9 / 10));
  }
  resize(size);
}

void QtHowItWorksDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (section_ == nullptr) return;
  // Laid out only now that the dialog has its size: the section's heading at the top.
  layout()->activate();
  scroll_->widget()->adjustSize();
  scroll_->verticalScrollBar()->setValue(section_->y());
}
