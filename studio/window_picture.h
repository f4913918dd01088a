#pragma once
// The whole picture, drawn from the model on every repaint in the client
// area it was laid out for.
class Canvas;
struct PlotLayout;
struct WindowModel;

void paintWindow(Canvas& canvas, const PlotLayout& layout, const WindowModel& model);
// The plot alone (curve, envelope or darts, axes and their titles) in the
// layout's client area, its axis titles kept above `captionTop`: the whole
// picture's, or one panel of two.
void paintPlot(Canvas& canvas, const PlotLayout& layout, const WindowModel& model, double scale, int captionTop);
