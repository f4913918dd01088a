#include "frontends/qt/platform/qt_native_window_watch.h"

#include <QCoreApplication>
#include <QPlatformSurfaceEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <utility>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define ARS_HAVE_XCB 1
#endif

QtNativeWindowWatch::QtNativeWindowWatch(QWidget& widget, std::function<void()> onLost)
    : widget_(widget), onLost_(std::move(onLost)) {}

QtNativeWindowWatch::~QtNativeWindowWatch() {
  if (watching_) QCoreApplication::instance()->removeNativeEventFilter(this);
}

void QtNativeWindowWatch::watch() {
  if (watching_ || widget_.windowHandle() == nullptr) return;
  watching_ = true;
  widget_.windowHandle()->installEventFilter(this);
  QCoreApplication::instance()->installNativeEventFilter(this);
}

bool QtNativeWindowWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::PlatformSurface &&
      static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
          QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
    // Qt destroys and recreates a native window itself on some changes; only
    // a window that stays without one is lost.
    QTimer::singleShot(0, this, [this] { checkLost(); });
  }
  return QObject::eventFilter(watched, event);
}

bool QtNativeWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef ARS_HAVE_XCB
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) return false;
  const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
  // Qt keeps the widget and its window as they were; the X window is gone.
  if (destroyed->window == static_cast<xcb_window_t>(widget_.internalWinId())) report();
#else
  (void)eventType;
  (void)message;
#endif
  return false;
}

void QtNativeWindowWatch::checkLost() {
  const QWindow* window = widget_.windowHandle();
  if (window == nullptr || window->handle() == nullptr) report();
}

void QtNativeWindowWatch::report() {
  if (reported_) return;
  reported_ = true;
  onLost_();
}
