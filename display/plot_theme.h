#pragma once
// The picture's looks. The classic theme is the picture as it always was.
// The projector theme is for a lecture hall seen from the back row: Okabe
// and Ito's colour-blind-safe palette (no lime), the squeeze dashed as well
// as coloured, lines one and a half times as thick, margins of a few per
// cent with text sized to fit them, and darts kept small under the curve.
#include "model/view_options.h"
#include "platform/canvas.h"

struct ThemeLook {
  Color curve;
  Color upperHull;
  Color squeeze;
  PenStyle squeezeStyle;
  Color darts;
  Color caption;
};

const ThemeLook& themeLook(PlotTheme theme);

// The pen width of the picture's lines at a picture scale (platform/picture_scale.h).
int themeLineWidth(PlotTheme theme, double scale);
// The text's size against the default font at a picture scale.
double themeTextScale(PlotTheme theme, double scale);
// The factor the darts' dots grow by, where the picture asks for `wanted`.
double themeDartFactor(PlotTheme theme, double wanted, bool largerPoints);

// Pixels between the client area's edges and the axes' frame.
struct FrameMargins {
  int left;
  int top;
  int right;
  int bottom;
};

// Classic: a fifth of the width and of the height on each side. Projector:
// a few per cent, but room enough for the labels, the titles and the caption
// at the theme's text size.
FrameMargins frameMargins(PlotTheme theme, const Rect& client);
