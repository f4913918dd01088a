#pragma once
#include <string>
#include <vector>

#include "platform/accelerator.h"
#include "platform/legend_entry.h"
#include "platform/menu_bar.h"
#include "platform/window.h"

struct WindowOptions {
  std::string title;
  int x = 0;
  int y = 0;
  int width = 0;   // outer size, frame included where the system reports it
  int height = 0;
  const std::vector<MenuPopup>* menu = nullptr;
  WindowProcedure procedure = nullptr;
  void* createParam = nullptr;  // handed to the procedure with WindowMessage::Create
  // Where given, a status line under the client area with this legend at its right;
  // the window grows by its height.
  const std::vector<LegendEntry>* legend = nullptr;
  // The client area is never made smaller than this (0: no limit).
  int minClientWidth = 0;
  int minClientHeight = 0;
};

// Creates windows and runs the message loop.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // The window is created hidden; the procedure receives Create before this returns.
  virtual Window* createWindow(const WindowOptions& options) = 0;
  // Runs until a quit request; key combinations of the table become Command messages
  // for the window. Returns the quit request's exit code.
  virtual int runMessageLoop(Window& window, const std::vector<Accelerator>& accelerators) = 0;
};
