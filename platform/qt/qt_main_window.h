#pragma once
// A top-level window built from a WindowOptions: the menu bar from the menu
// table, the client area as central widget, and every event that the
// application handles turned into a message for its window procedure.
#include <QMainWindow>

#include "platform/qt/qt_native_window_watch.h"
#include "platform/window_system.h"

class QtClientArea;

class QtMainWindow : public QMainWindow, public Window {
 public:
  explicit QtMainWindow(const WindowOptions& options);

  long send(WindowMessage message, const MessageParams& params = MessageParams());

  Rect clientRect() const override;
  void invalidate() override;
  void messageBox(const std::string& text, const std::string& caption) override;
  void postQuit(int exitCode) override;
  void show() override;
  void setUserData(void* data) override;
  void* userData() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void buildMenuBar(const std::vector<MenuPopup>& popups);
  void fitOuterSize();

  WindowProcedure procedure_;
  QtClientArea* clientArea_;
  QSize outerSize_;
  bool outerSizeFitted_ = false;
  void* userData_ = nullptr;
  // A native window destroyed from outside ends the program as closing it does.
  QtNativeWindowWatch nativeWindowWatch_;
};
