#include "frontends/qt/platform/qt_message_box.h"

#include <algorithm>
#include <utility>

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <QSpacerItem>
#include <QGridLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace {

void scaleFont(QWidget& widget, double basePoints, double scale) {
  if (basePoints <= 0) return;
  QFont font = widget.font();
  font.setPointSizeF(basePoints * std::max(1.0, scale));
  widget.setFont(font);
}

// A text of many lines (Help > Keys) would stand taller than the screen
// at a projector's scale in a message box, which wraps its text narrowly
// and sizes itself: it is shown unwrapped in a page of its own that
// scrolls, with its OK button always on the screen.
constexpr int longestBoxText = 12;  // lines

bool showTextPage(QWidget* owner, const QString& caption, const QString& text, double scale) {
  QDialog page(owner);
  page.setObjectName(QStringLiteral("textPage"));
  page.setWindowTitle(caption);
  scaleFont(page, page.font().pointSizeF(), scale);
  auto* label = new QLabel(text);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("messageScroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(label);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  buttons->button(QDialogButtonBox::Ok)->setIcon(QIcon());
  QObject::connect(buttons, &QDialogButtonBox::accepted, &page, &QDialog::accept);
  auto* layout = new QVBoxLayout(&page);
  layout->addWidget(scroll);
  layout->addWidget(buttons);
  label->adjustSize();
  const QRect room = page.screen() != nullptr ? page.screen()->availableGeometry() : QRect(0, 0, 1024, 768);
  const QMargins margins = layout->contentsMargins();
  const int bar = scroll->verticalScrollBar()->sizeHint().width();
  const int around = margins.top() + margins.bottom() + layout->spacing() + buttons->sizeHint().height();
  const QSize size(std::min(label->width() + bar + margins.left() + margins.right(), room.width() * 9 / 10),
                   std::min(label->height() + around + 2, room.height() * 9 / 10));
  page.resize(std::max(size.width(), titleBarWidth(caption)), size.height());
  QRect placed(QPoint(), page.size());
  placed.moveCenter(room.center());
  page.move(placed.topLeft());
  page.exec();
  return false;
}

// Follows the owner's scale while the box is open.
class ScaleFollower : public QObject {
 public:
  ScaleFollower(QMessageBox& box, double basePoints, std::function<double()> scaleNow)
      : box_(box), basePoints_(basePoints), scaleNow_(std::move(scaleNow)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    // After the owner has taken its new size and scale.
    if (event->type() == QEvent::Resize) QTimer::singleShot(0, this, [this] { follow(); });
    return QObject::eventFilter(watched, event);
  }

 private:
  void follow() {
    const double scale = scaleNow_();
    if (scale == scale_) return;
    scale_ = scale;
    scaleFont(box_, basePoints_, scale);
    box_.adjustSize();
  }

  QMessageBox& box_;
  double basePoints_;
  std::function<double()> scaleNow_;
  double scale_ = 0.0;
};

}  // namespace

int titleBarWidth(const QString& caption) {
  // The platform theme's title font; Qt's generic one is larger than most
  // window managers' bold title fonts.
  const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
  // Window menu, minimise, maximise and close, each about as wide as the bar
  // is high, and a frame at either end.
  const int button = metrics.height() + 12;
  const int frame = 8;
  return metrics.horizontalAdvance(caption) + 4 * button + 2 * frame;
}

bool showMessageBox(QWidget* owner, const QString& caption, const QString& text, double scale, const QString& action,
                    const std::function<double()>& scaleNow) {
  if (action.isEmpty() && text.count(QLatin1Char('\n')) >= longestBoxText) return showTextPage(owner, caption, text, scale);
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
  const double basePoints = box.font().pointSizeF();
  if (scale > 1.0) scaleFont(box, basePoints, scale);
  // Some styles put an icon on dialog buttons.
  box.button(QMessageBox::Ok)->setIcon(QIcon());
  QPushButton* actionButton = action.isEmpty() ? nullptr : box.addButton(action, QMessageBox::AcceptRole);

  // QMessageBox fixes its size to its layout's minimum when it is shown, and
  // allows only a little for the caption: a strut across the layout raises
  // that minimum. Never wider than the screen.
  int width = titleBarWidth(caption);
  if (const QScreen* screen = box.screen()) width = qMin(width, screen->availableGeometry().width());
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
  ScaleFollower follower(box, basePoints, scaleNow);
  if (owner != nullptr && scaleNow) owner->installEventFilter(&follower);
  box.exec();
  if (owner != nullptr) owner->removeEventFilter(&follower);
  return actionButton != nullptr && box.clickedButton() == actionButton;
}
