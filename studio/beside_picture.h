#pragma once
// Plain rejection and the adaptive sampler stepped side by side: on the
// left plain rejection's candidates under its constant envelope, on the
// right the stepping picture; each panel titled with its running counts.
class Canvas;
struct PlotLayout;
struct WindowModel;

// Draws both panels over the layout's client area, above the caption band at `captionTop`.
void paintBeside(Canvas& canvas, const PlotLayout& layout, const WindowModel& model, double scale, int captionTop);
