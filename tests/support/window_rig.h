#pragma once
// The program's window over a fake one, for tests that drive it by commands.
#include "frontends/qt/main_window.h"
#include "support/fake_window.h"

struct WindowRig {
  WindowRig() {
    window.setUserData(&app);
    app.attach(window);
  }
  FakeWindow window;
  MainWindow app;
};
