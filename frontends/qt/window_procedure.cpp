#include "frontends/qt/main_window.h"

long mainWindowProc(Window& window, WindowMessage message, const MessageParams& params) {
  if (message == WindowMessage::Create) {
    window.setUserData(params.createParam);
    return 0;
  }
  // Messages before Create find no application object and are left alone.
  auto* app = static_cast<MainWindow*>(window.userData());
  if (app == nullptr) return 0;
  switch (message) {
    case WindowMessage::Destroy:
      return app->onDestroy();
    case WindowMessage::Paint:
      if (params.canvas) app->paint(*params.canvas);
      return 0;
    case WindowMessage::InitMenuPopup:
      if (params.menu) app->updateMenu(*params.menu, params.value);
      return 0;
    case WindowMessage::Command:
      app->command(params.value);
      return 0;
    case WindowMessage::Timer:
      app->onTimer();
      return 0;
    case WindowMessage::ToolTip:
      if (params.text) *params.text = app->toolTipAt(params.x, params.y);
      return 0;
    case WindowMessage::Click:
      app->clickAt(params.x, params.y);
      return 0;
    case WindowMessage::LegendToolTip:
      if (params.text) *params.text = app->legendTip(params.value);
      return 0;
    case WindowMessage::LegendClick:
      app->explainLegend(params.value);
      return 0;
    case WindowMessage::Create:
      break;
  }
  return 0;
}
