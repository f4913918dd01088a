#pragma once
#include <string>
#include <vector>

#include <vector>

#include "platform/canvas.h"
#include "platform/legend_entry.h"

class Canvas;
class Menu;

// What the window system tells the window procedure. ToolTip asks for the
// hint at a pixel of the client area, Click reports a click there;
// LegendToolTip and LegendClick do the same for legend entry `value`.
enum class WindowMessage { Create, Destroy, Paint, InitMenuPopup, Command, Timer, ToolTip, Click, LegendToolTip, LegendClick };

struct MessageParams {
  int value = 0;                 // command id, or the pop-up's position in the menu bar, or a legend entry
  Canvas* canvas = nullptr;      // Paint: the surface to draw on
  Menu* menu = nullptr;          // InitMenuPopup: the pop-up being opened
  void* createParam = nullptr;   // Create: the creation parameter
  int x = 0;                     // ToolTip, Click: the pixel in the client area
  int y = 0;
  std::string* text = nullptr;   // ToolTip, LegendToolTip: receives the hint ("" for none)
};

class Window;
using WindowProcedure = long (*)(Window& window, WindowMessage message, const MessageParams& params);

// A top-level window: its client area, repaint requests, modal message boxes
// and a per-window pointer back to its owner (window word 0).
class Window {
 public:
  virtual ~Window() = default;
  virtual Rect clientRect() const = 0;  // left and top are 0
  virtual void invalidate() = 0;        // repaint the whole client area once, later
  // Modal, owned by this window, no icon, one OK button.
  virtual void messageBox(const std::string& text, const std::string& caption) = 0;
  // The same box with a button for `action` beside OK; true when it was chosen.
  virtual bool offerAction(const std::string& text, const std::string& caption, const std::string& /*action*/) {
    messageBox(text, caption);
    return false;
  }
  virtual void postQuit(int exitCode) = 0;
  virtual void show() = 0;
  virtual void setUserData(void* data) = 0;
  virtual void* userData() const = 0;

  // A window without these ignores them.
  virtual void setStatusText(const std::string& /*text*/) {}
  // The legend beside the status line, when what the picture shows changes.
  virtual void setLegend(const std::vector<LegendEntry>& /*entries*/) {}
  virtual void showStatusBar(bool /*shown*/) {}
  // Sends Timer messages every `milliseconds` until killed; setting it again restarts it.
  virtual void setTimer(int /*milliseconds*/) {}
  virtual void killTimer() {}
  // Asks for a file name and saves the client area's picture there.
  virtual void savePicture() {}
  // The window over the whole screen (a projector), or back to its size.
  virtual void setFullScreen(bool /*on*/) {}
  // A hint shown when the pointer rests over the client area.
  virtual void setClientToolTip(const std::string& /*text*/) {}
  // The same over the status line (its whole text by default).
  virtual void setStatusToolTip(const std::string& /*text*/) {}
};
