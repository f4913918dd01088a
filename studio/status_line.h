#pragma once
// The status line: what the picture shows, in words, after every command,
// and the plot's hint for the scale.
#include <string>

struct PlotLayout;
struct ViewOptions;
struct WindowModel;

// The plot's layout, where given, places the last candidate against its frame.
std::string statusLine(const WindowModel& model, const PlotLayout* layout);
// Where the last candidate lies when the plot frame cannot hold it ("" inside).
std::string candidateOutsideNote(const WindowModel& model, const PlotLayout* layout);
// What the heights of the plot mean, on the scale shown.
std::string plotToolTip(const WindowModel& model);
std::string plotToolTip(const ViewOptions& view, bool tScaleShown = false);
