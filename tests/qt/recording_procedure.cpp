#include "recording_procedure.h"

#include <algorithm>

int MessageRecorder::count(WindowMessage message, int value) const {
  return static_cast<int>(std::count_if(received.begin(), received.end(), [&](const ReceivedMessage& m) {
    return m.message == message && (value == -1 || m.value == value);
  }));
}

long recordingProcedure(Window& window, WindowMessage message, const MessageParams& params) {
  if (message == WindowMessage::Create) window.setUserData(params.createParam);
  auto* recorder = static_cast<MessageRecorder*>(window.userData());
  if (recorder == nullptr) return 0;
  recorder->received.push_back(ReceivedMessage{message, params.value});
  if (recorder->react) recorder->react(window, message, params);
  return 0;
}
