#pragma once
// A window procedure for tests: keeps, in the window's user data, a log of the
// messages it received and an optional reaction to each.
#include <functional>
#include <vector>

#include "platform/window.h"

struct ReceivedMessage {
  WindowMessage message;
  int value;
};

struct MessageRecorder {
  std::vector<ReceivedMessage> received;
  std::function<void(Window&, WindowMessage, const MessageParams&)> react;

  int count(WindowMessage message, int value = -1) const;
};

// Stores the creation parameter (a MessageRecorder) as user data on Create.
long recordingProcedure(Window& window, WindowMessage message, const MessageParams& params);
