#pragma once
// Plain rejection and the adaptive sampler side by side: two panels of the
// same curve, each with its darts and its count of evaluations.
class Canvas;
struct PlotLayout;
struct WindowModel;

// Draws both panels over the layout's client area, above the caption band at `captionTop`.
void paintComparison(Canvas& canvas, const PlotLayout& layout, const WindowModel& model, double scale,
                     int captionTop);
