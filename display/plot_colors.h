#pragma once
#include "platform/canvas.h"

// The colours of the picture, shared by the painting and its legend.
namespace PlotColor {
constexpr Color black = 0x00000000;
constexpr Color white = 0x00FFFFFF;
constexpr Color red = 0x000000FF;
constexpr Color green = 0x0000FF00;
constexpr Color blue = 0x00FF0000;
constexpr Color curve = blue;
constexpr Color darts = red;
constexpr Color upperHull = red;
constexpr Color squeeze = green;
constexpr Color points = black;
constexpr Color candidate = red;  // outlined in the points' colour
constexpr Color rejected = 0x00A0A0A0;  // plain rejection's rejected candidates
constexpr Color split = 0x00606060;  // dark grey: dashed lines at a density's split points
constexpr Color proof = 0x00FF00FF;  // magenta: the points and chord that prove non-log-concavity
// With two beats per step, what became of the candidate; none of them is a
// colour of the envelope.
constexpr Color squeezed = rgb(70, 170, 235);           // sky blue: accepted under the squeeze
constexpr Color evaluated = rgb(235, 150, 0);           // orange: accepted after evaluating
constexpr Color rejectedCandidate = rgb(120, 30, 190);  // violet: rejected, becomes a point
}  // namespace PlotColor
