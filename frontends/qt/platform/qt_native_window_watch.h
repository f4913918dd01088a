#pragma once
// Notices when a widget's native window is destroyed by someone else (an X
// client such as `xdotool windowclose`, a crashed window manager, a platform
// that drops the surface) and reports it once. The widget's own destruction
// is not reported: the watch is gone by then.
#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>

class QWidget;

class QtNativeWindowWatch : public QObject, public QAbstractNativeEventFilter {
 public:
  QtNativeWindowWatch(QWidget& widget, std::function<void()> onLost);
  ~QtNativeWindowWatch() override;

  // Once the native window exists.
  void watch();

  bool eventFilter(QObject* watched, QEvent* event) override;
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  void checkLost();
  void report();

  QWidget& widget_;
  std::function<void()> onLost_;
  bool watching_ = false;
  bool reported_ = false;
};
