#pragma once
// A top-level window built from a WindowOptions: the menu bar from the menu
// table, the client area as central widget, and every event that the
// application handles turned into a message for its window procedure.
#include <QFont>
#include <QMainWindow>
#include <QTimer>
#include <optional>

#include "frontends/qt/platform/qt_native_window_watch.h"
#include "frontends/qt/platform/qt_picture_file.h"
#include "platform/window_system.h"

class QLabel;
class QtClientArea;
class QtLegend;

class QtMainWindow : public QMainWindow, public Window {
 public:
  explicit QtMainWindow(const WindowOptions& options);

  long send(WindowMessage message, const MessageParams& params = MessageParams());

  Rect clientRect() const override;
  void invalidate() override;
  void messageBox(const std::string& text, const std::string& caption) override;
  bool offerAction(const std::string& text, const std::string& caption, const std::string& action) override;
  void postQuit(int exitCode) override;
  void show() override;
  void setUserData(void* data) override;
  void* userData() const override;
  void setStatusText(const std::string& text) override;
  void setLegend(const std::vector<LegendEntry>& entries) override;
  void showStatusBar(bool shown) override;
  void setTimer(int milliseconds) override;
  void killTimer() override;
  void savePicture() override;
  void setFullScreen(bool on) override;
  void setClientToolTip(const std::string& text) override;
  void setStatusToolTip(const std::string& text) override;

  // Saves the client area's picture without asking; a failure is shown in a
  // message box and leaves no file behind. True when saved.
  bool savePictureTo(const QString& path, PictureFormat format);
  // The same at a chosen size in logical pixels, drawn at that size, with
  // the status text and the legend under the picture when asked.
  bool savePictureTo(const QString& path, const PictureOptions& options);

  QLabel* statusLabel() const { return statusLabel_; }
  QtLegend* legend() const { return legend_; }
  bool timerActive() const { return timer_.isActive(); }
  // The factor the picture is drawn at, for dialogs over the window.
  double pictureScale() const { return statusScale_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildMenuBar(const std::vector<MenuPopup>& popups);
  void buildStatusBar(const std::vector<LegendEntry>& legend);
  void fitOuterSize();
  void scaleStatusBar();
  void fitStatusText();

  WindowProcedure procedure_;
  QtClientArea* clientArea_;
  QLabel* statusLabel_ = nullptr;
  QtLegend* legend_ = nullptr;
  QTimer timer_;
  QSize outerSize_;
  // The status bar as built, and the factor its text and legend are drawn at.
  QFont statusFont_;
  int statusHeight_ = 0;
  double statusScale_ = 1.0;  // the picture's scale, for dialogs and menus too
  QFont menuFont_;
  QFont tipFont_;
  bool outerSizeFitted_ = false;
  void* userData_ = nullptr;
  // While a picture is drawn for a file: the client size it is drawn at.
  std::optional<QSize> pictureSize_;
  // A native window destroyed from outside ends the program as closing it does.
  QtNativeWindowWatch nativeWindowWatch_;
};
