#pragma once
// Titles of the axes, where the margins have room for them beyond the tick
// labels and the caption: under the x labels what x is ("x", or "x − 8e8"
// where the labels are offset), and over the y axis what its heights are.
#include <string>

#include "platform/canvas.h"

// relative: the normal scale labelled in shares of the curve's peak.
enum class VerticalScale { normal, log, t, relative };

// `captionTop` is where the caption band starts. At scale 1, the picture the
// window opens with, only an offset x title is drawn, at the axis's right
// end, and the T scale's title, which no other picture shares.
void drawAxisTitles(Canvas& canvas, const Rect& frame, int captionTop, VerticalScale vertical, double scale,
                    const std::string& xTitle = "x");

const char* yAxisTitle(VerticalScale vertical);

// "x", or "x − offset" (or "x + |offset|") when the x labels are offset.
std::string xAxisTitle(const std::string& offsetText);
