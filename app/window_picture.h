#pragma once
// The whole picture, drawn from the model on every repaint.
class Canvas;
class Window;
struct WindowModel;

void paintWindow(Canvas& canvas, const Window& window, const WindowModel& model);
