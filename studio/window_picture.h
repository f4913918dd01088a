#pragma once
// The whole picture, drawn from the model on every repaint in the client
// area it was laid out for.
class Canvas;
struct PlotLayout;
struct WindowModel;

void paintWindow(Canvas& canvas, const PlotLayout& layout, const WindowModel& model);
