#pragma once
// The status line: what the picture shows, in words, after every command,
// and the plot's hint for the scale.
#include <string>

class Window;
struct ViewOptions;
struct WindowModel;

// The window, where given, places the last candidate against the plot frame.
std::string statusLine(const WindowModel& model, const Window* window);
// Where the last candidate lies when the plot frame cannot hold it ("" inside).
std::string candidateOutsideNote(const WindowModel& model, const Window* window);
std::string plotToolTip(const ViewOptions& view, bool tScaleShown = false);
