#pragma once
// A window that records what the application asks of it, and a menu that
// records check marks.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/menu.h"
#include "platform/window.h"
#include "platform/window_system.h"

class FakeWindow : public Window {
 public:
  explicit FakeWindow(int width = 400, int height = 300) : width(width), height(height) {}
  Rect clientRect() const override { return {0, 0, width, height}; }
  void invalidate() override { ++repaints; }
  void messageBox(const std::string& text, const std::string& caption) override {
    boxes.emplace_back(caption, text);
  }
  bool offerAction(const std::string& text, const std::string& caption, const std::string& action) override {
    boxes.emplace_back(caption, text);
    offers.push_back(action);
    return takeOffers;
  }
  void postQuit(int exitCode) override { quitCodes.push_back(exitCode); }
  void show() override { shown = true; }
  void setUserData(void* data) override { user = data; }
  void* userData() const override { return user; }
  void setStatusText(const std::string& text) override { statusText = text; }
  void setLegend(const std::vector<LegendEntry>& entries) override { legend = entries; }
  void showStatusBar(bool shown) override { statusBarShown = shown; }
  void setTimer(int milliseconds) override { timerMilliseconds = milliseconds; }
  void killTimer() override { timerMilliseconds = 0; }
  void savePicture() override { ++pictureRequests; }

  int width;
  int height;
  int repaints = 0;
  bool shown = false;
  void* user = nullptr;
  std::vector<std::pair<std::string, std::string>> boxes;  // caption, text
  std::vector<std::string> offers;  // the action offered by a box, in order
  bool takeOffers = false;          // what the user answers to them
  std::vector<int> quitCodes;
  std::string statusText;
  std::vector<LegendEntry> legend;
  bool statusBarShown = true;
  int timerMilliseconds = 0;  // 0: no timer running
  int pictureRequests = 0;
};

class FakeMenu : public Menu {
 public:
  void checkItem(int id, bool checked) override { checks[id] = checked; }
  void enableItem(int id, bool enabled) override { enabledItems[id] = enabled; }
  std::map<int, bool> checks;
  std::map<int, bool> enabledItems;
};

// Hands out a FakeWindow and returns a fixed code from the message loop.
class FakeWindowSystem : public WindowSystem {
 public:
  Window* createWindow(const WindowOptions& options) override {
    created = options;
    options.procedure(window, WindowMessage::Create, MessageParams{0, nullptr, nullptr, options.createParam});
    return &window;
  }
  int runMessageLoop(Window&, const std::vector<Accelerator>& accelerators) override {
    loopAccelerators = accelerators.size();
    loopTable = &accelerators;
    return window.quitCodes.empty() ? -1 : window.quitCodes.back();
  }
  FakeWindow window;
  WindowOptions created;
  std::size_t loopAccelerators = 0;
  const std::vector<Accelerator>* loopTable = nullptr;
};
