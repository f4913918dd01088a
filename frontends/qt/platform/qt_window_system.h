#pragma once
// The window system over Qt Widgets. It owns the windows it creates; a
// QApplication must exist for as long as it does.
#include <Qt>
#include <memory>
#include <vector>

#include "platform/window_system.h"

class QtMainWindow;

// An accelerator table's key as Qt names it.
Qt::Key qtKeyOf(int key);

class QtWindowSystem : public WindowSystem {
 public:
  QtWindowSystem();
  ~QtWindowSystem() override;
  QtWindowSystem(const QtWindowSystem&) = delete;
  QtWindowSystem& operator=(const QtWindowSystem&) = delete;

  Window* createWindow(const WindowOptions& options) override;
  int runMessageLoop(Window& window, const std::vector<Accelerator>& accelerators) override;

 private:
  std::vector<std::unique_ptr<QtMainWindow>> windows_;
};
