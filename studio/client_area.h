#pragma once
// A window that is only its client area: what the plot's layout reads of one.
#include "platform/window.h"

class ClientArea : public Window {
 public:
  explicit ClientArea(const Rect& client) : client_(client) {}
  Rect clientRect() const override { return client_; }
  void invalidate() override {}
  void messageBox(const std::string&, const std::string&) override {}
  void postQuit(int) override {}
  void show() override {}
  void setUserData(void*) override {}
  void* userData() const override { return nullptr; }

 private:
  Rect client_;
};
