#include "frontends/qt/platform/qt_main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <limits>

#include "frontends/qt/platform/qt_client_area.h"
#include "frontends/qt/platform/qt_file_dialog.h"
#include "frontends/qt/platform/qt_legend.h"
#include "frontends/qt/platform/qt_menu.h"
#include "frontends/qt/platform/qt_message_box.h"
#include "frontends/qt/platform/qt_picture_footer.h"
#include "frontends/qt/platform/qt_picture_options_dialog.h"

namespace {
// The status text may take this many lines beside the legend.
constexpr int statusLines = 3;
}  // namespace

QtMainWindow::QtMainWindow(const WindowOptions& options)
    : procedure_(options.procedure),
      clientArea_(new QtClientArea(*this, options.procedure)),
      outerSize_(options.width, options.height),
      nativeWindowWatch_(*this, [this] { send(WindowMessage::Destroy); }) {
  setWindowTitle(QString::fromStdString(options.title));
  setCentralWidget(clientArea_);
  if (options.menu != nullptr) buildMenuBar(*options.menu);
  if (options.legend != nullptr) buildStatusBar(*options.legend);
  clientArea_->setMinimumSize(options.minClientWidth, options.minClientHeight);
  connect(&timer_, &QTimer::timeout, this, [this] { send(WindowMessage::Timer); });
  move(options.x, options.y);
  // The frame is unknown until the window manager has framed the window;
  // until then the window itself gets the outer size.
  resize(outerSize_);
}

long QtMainWindow::send(WindowMessage message, const MessageParams& params) {
  return procedure_(*this, message, params);
}

namespace {
// Qt sizes a menu from its font when the font changes, but elides the texts
// of a menu scaled up for a projector ("Save …ture…"): room for each whole
// text, its key hint and a check mark keeps them whole.
void keepMenuTextWhole(QMenu& menu) {
  const QFontMetrics metrics(menu.font());
  int widest = 0;
  for (const QAction* action : menu.actions()) {
    if (action->isSeparator()) continue;
    QString text = action->text();
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    const QStringList parts = text.split(QLatin1Char('\t'));
    int width = metrics.horizontalAdvance(parts.front());
    if (parts.size() > 1) width += metrics.horizontalAdvance(QStringLiteral("    ") + parts.back());
    widest = std::max(widest, width);
  }
  // The check mark's column and the margins on either side.
  const int room = 3 * metrics.height();
  menu.setMinimumWidth(widest + room);
}
}  // namespace

void QtMainWindow::buildMenuBar(const std::vector<MenuPopup>& popups) {
  menuFont_ = menuBar()->font();
  tipFont_ = QToolTip::font();
  int position = 0;
  for (const MenuPopup& popup : popups) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(popup.title));
    for (const MenuItem& item : popup.items) {
      if (item.text == nullptr) {
        menu->addSeparator();
        continue;
      }
      // The text after '\t' is only shown as a key hint: the key itself is
      // bound once, by the message loop's accelerators.
      QAction* action = menu->addAction(QString::fromUtf8(item.text));
      action->setData(item.id);
      const int id = item.id;
      connect(action, &QAction::triggered, this, [this, id] {
        MessageParams params;
        params.value = id;
        send(WindowMessage::Command, params);
      });
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu, position] {
      QtMenu adapter(*menu);
      MessageParams params;
      params.value = position;
      params.menu = &adapter;
      send(WindowMessage::InitMenuPopup, params);
      keepMenuTextWhole(*menu);
    });
    ++position;
  }
}

void QtMainWindow::buildStatusBar(const std::vector<LegendEntry>& legend) {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(false);
  statusLabel_ = new QLabel(bar);
  statusLabel_->setWordWrap(true);
  statusLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusLabel_->installEventFilter(this);
  legend_ = new QtLegend(legend, bar);
  legend_->setTips([this](int entry) {
    std::string tip;
    MessageParams params;
    params.value = entry;
    params.text = &tip;
    send(WindowMessage::LegendToolTip, params);
    return tip;
  });
  legend_->setClicked([this](int entry) {
    MessageParams params;
    params.value = entry;
    send(WindowMessage::LegendClick, params);
  });
  legend_->setCursor(Qt::PointingHandCursor);
  // The text gives way to the legend, never the other way round.
  legend_->setMinimumSize(legend_->sizeHint());
  bar->addWidget(statusLabel_, 1);
  bar->addPermanentWidget(legend_);
  // A fixed height: a longer text must not shrink the plot.
  const int height = std::max(statusLines * bar->fontMetrics().lineSpacing(), legend_->sizeHint().height()) + 6;
  bar->setFixedHeight(height);
  statusFont_ = statusLabel_->font();
  statusHeight_ = height;
  // The plot keeps the size it has without the status line.
  outerSize_.rheight() += height;
}

Rect QtMainWindow::clientRect() const {
  if (pictureSize_) return Rect{0, 0, pictureSize_->width(), pictureSize_->height()};
  return Rect{0, 0, clientArea_->width(), clientArea_->height()};
}

void QtMainWindow::setFullScreen(bool on) {
  if (on == isFullScreen()) return;
  if (on) {
    showFullScreen();
  } else {
    showNormal();
  }
}

void QtMainWindow::setClientToolTip(const std::string& text) {
  clientArea_->setToolTip(QString::fromStdString(text));
}

void QtMainWindow::setStatusToolTip(const std::string& text) {
  if (statusLabel_ != nullptr) statusLabel_->setToolTip(QString::fromStdString(text));
}

void QtMainWindow::invalidate() { clientArea_->update(); }

void QtMainWindow::messageBox(const std::string& text, const std::string& caption) {
  offerAction(text, caption, std::string());
}

bool QtMainWindow::offerAction(const std::string& text, const std::string& caption, const std::string& action) {
  const bool chosen = showMessageBox(this, QString::fromStdString(caption), QString::fromStdString(text),
                                     statusScale_, QString::fromStdString(action), [this] { return statusScale_; });
  // The owner takes the keyboard back, as it would from a window manager;
  // without one nothing else would give it back to the accelerators.
  activateWindow();
  return chosen;
}

void QtMainWindow::postQuit(int exitCode) {
  // Posted, so that a quit requested before the loop runs still ends it.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); },
      Qt::QueuedConnection);
}

void QtMainWindow::show() {
  QMainWindow::show();
  nativeWindowWatch_.watch();
  fitOuterSize();
}

void QtMainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  // A window manager reports the frame after mapping, when it reparents the
  // window into it, which moves the window.
  fitOuterSize();
}

void QtMainWindow::fitOuterSize() {
  if (outerSizeFitted_) return;
  const QSize frame = frameGeometry().size() - geometry().size();
  if (frame.width() <= 0 && frame.height() <= 0) return;
  outerSizeFitted_ = true;
  resize(outerSize_ - frame);
}

void QtMainWindow::setLegend(const std::vector<LegendEntry>& entries) {
  if (legend_ != nullptr) legend_->setEntries(entries);
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
  // A legend of another width, or a window of another size, gives the status
  // text another width: fitted again at the width it now has.
  if (watched == statusLabel_ && event->type() == QEvent::Resize) fitStatusText();
  return QMainWindow::eventFilter(watched, event);
}

void QtMainWindow::setStatusText(const std::string& text) {
  if (statusLabel_ == nullptr) return;
  statusLabel_->setText(QString::fromStdString(text));
  // The whole text, for a window too narrow for its three lines.
  statusLabel_->setToolTip(statusLabel_->text());
  fitStatusText();
}

void QtMainWindow::fitStatusText() {
  if (statusLabel_ == nullptr || statusFont_.pointSizeF() <= 0 || statusLabel_->width() <= 0) return;
  // A text longer than the bar's lines is set smaller rather than cut, down
  // to three fifths of the bar's size; the tool tip still holds all of it.
  const double full = statusFont_.pointSizeF() * statusScale_;
  const QRect room(0, 0, statusLabel_->contentsRect().width(), std::numeric_limits<int>::max() / 2);
  const int height = statusBar()->height() - 6;
  QFont font = statusFont_;
  for (double points = full; points >= 0.6 * full; points *= 0.92) {
    font.setPointSizeF(points);
    if (QFontMetrics(font).boundingRect(room, Qt::TextWordWrap, statusLabel_->text()).height() <= height) break;
  }
  if (font != statusLabel_->font()) statusLabel_->setFont(font);
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  scaleStatusBar();
  // Once the bar's label has its new width.
  QTimer::singleShot(0, this, [this] { fitStatusText(); });
}

void QtMainWindow::scaleStatusBar() {
  if (statusLabel_ == nullptr || statusHeight_ == 0) return;
  // The status text and legend grow with the window as the picture does,
  // measured on the whole window so that the bar's own height cannot feed back.
  const double byWidth = width() / 400.0;
  const double byHeight = height() / static_cast<double>(300 + statusHeight_);
  const double scale = std::max(1.0, std::min(byWidth, byHeight));
  if (scale == statusScale_) return;
  statusScale_ = scale;
  QFont font = statusFont_;
  if (statusFont_.pointSizeF() > 0) font.setPointSizeF(statusFont_.pointSizeF() * scale);
  statusLabel_->setFont(font);
  legend_->setFont(font);
  // Tool tips too: the plot's explain the envelope to the whole hall.
  if (tipFont_.pointSizeF() > 0) {
    QFont tip = tipFont_;
    tip.setPointSizeF(tipFont_.pointSizeF() * scale);
    QToolTip::setFont(tip);
  }
  // The menus too, read from the back of a hall.
  QFont menuFont = menuFont_;
  if (menuFont_.pointSizeF() > 0) menuFont.setPointSizeF(menuFont_.pointSizeF() * scale);
  menuBar()->setFont(menuFont);
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) menu->setFont(menuFont);
  legend_->setMinimumSize(legend_->sizeHint());
  const int height = std::max(statusLines * QFontMetrics(font).lineSpacing(), legend_->sizeHint().height()) + 6;
  statusBar()->setFixedHeight(scale == 1.0 ? statusHeight_ : height);
}

void QtMainWindow::showStatusBar(bool shown) {
  if (statusLabel_ == nullptr || statusBar()->isVisible() == shown) return;
  const int height = statusBar()->height();
  statusBar()->setVisible(shown);
  // The window's minimum size must know the bar is gone before it shrinks.
  if (layout() != nullptr) layout()->activate();
  // The window, not the plot, gives up or takes the room.
  resize(width(), this->height() + (shown ? height : -height));
}

void QtMainWindow::setTimer(int milliseconds) { timer_.start(milliseconds); }

void QtMainWindow::killTimer() { timer_.stop(); }

void QtMainWindow::savePicture() {
  const QString png = QStringLiteral("PNG image (*.png)");
  const QString png2x = QStringLiteral("PNG image, twice the size (*.png)");
  const QString svg = QStringLiteral("SVG drawing (*.svg)");
  QString filter = png;
  QString path = askFilePath(this, FileAsk::save, QStringLiteral("Save picture"), QStringLiteral("picture.png"),
                             png + QStringLiteral(";;") + png2x + QStringLiteral(";;") + svg, statusScale_, &filter);
  activateWindow();
  if (path.isEmpty()) return;
  const bool wantsSvg = filter == svg;
  if (!path.contains(QLatin1Char('.'))) path += wantsSvg ? QStringLiteral(".svg") : QStringLiteral(".png");
  PictureOptions options;
  options.format = pictureFormatOf(path, filter == png2x);
  options.size = clientArea_->size();
  const bool chosen = askPictureOptions(this, options);
  activateWindow();
  if (chosen) savePictureTo(path, options);
}

bool QtMainWindow::savePictureTo(const QString& path, PictureFormat format) {
  PictureOptions options;
  options.format = format;
  options.size = clientArea_->size();
  return savePictureTo(path, options);
}

bool QtMainWindow::savePictureTo(const QString& path, const PictureOptions& options) {
  const QSize picture = options.size.isEmpty() ? clientArea_->size() : options.size;
  const QString status = statusLabel_ != nullptr ? statusLabel_->text() : QString();
  const bool footer = options.withStatus && statusLabel_ != nullptr;
  const int footerHeight = footer ? pictureFooterHeight(picture, status, *legend_) : 0;
  const QSize whole(picture.width(), picture.height() + footerHeight);
  const QString error = savePictureFile(path, options.format, whole, [&](QPainter& painter, QtCanvas::Form form) {
    // The application draws for the picture's size, not the window's.
    pictureSize_ = picture;
    clientArea_->render(painter, form, whole);
    pictureSize_.reset();
    if (footer) paintPictureFooter(painter, QRect(0, picture.height(), picture.width(), footerHeight), status, *legend_);
  });
  if (error.isEmpty()) return true;
  messageBox(QStringLiteral("The picture could not be saved to %1:\n%2").arg(path, error).toStdString(),
             "Save picture");
  return false;
}

void QtMainWindow::setUserData(void* data) { userData_ = data; }

void* QtMainWindow::userData() const { return userData_; }

void QtMainWindow::closeEvent(QCloseEvent* event) {
  send(WindowMessage::Destroy);
  event->accept();
}
