#include "display/plot_theme.h"

#include <algorithm>
#include <cmath>

#include "display/plot_colors.h"
#include "platform/picture_scale.h"

namespace {
// Okabe and Ito's palette, as 0x00BBGGRR.
constexpr Color okabeBlue = rgb(0, 114, 178);
constexpr Color okabeVermillion = rgb(213, 94, 0);
constexpr Color okabeGreen = rgb(0, 158, 115);
constexpr Color okabePurple = rgb(204, 121, 167);

// What the frame's margins assume a line of text and a character take at
// the default font (about 12 pixels high); generous, since fonts differ.
constexpr double lineAtDefault = 15.0;
constexpr double characterAtDefault = 8.0;
// The widest y label the left margin holds, in characters ("0.0005", "-2e-7").
constexpr int yLabelCharacters = 6;
}  // namespace

const ThemeLook& themeLook(PlotTheme theme) {
  static const ThemeLook classic{PlotColor::curve, PlotColor::upperHull, PlotColor::squeeze, PenStyle::solid,
                                 PlotColor::darts, PlotColor::red};
  // The darts in a colour of their own: the hull's would merge with it in the legend.
  static const ThemeLook projector{okabeBlue,   okabeVermillion, okabeGreen, PenStyle::dashed,
                                   okabePurple, PlotColor::black};
  return theme == PlotTheme::projector ? projector : classic;
}

int themeLineWidth(PlotTheme theme, double scale) {
  if (theme == PlotTheme::classic) return scaledPixels(1, scale);
  return std::max(2, static_cast<int>(std::lround(1.5 * scale)));
}

double themeTextScale(PlotTheme theme, double scale) {
  // Half the classic growth: text the size of a slide's, in margins that leave the plot the hall.
  return theme == PlotTheme::classic ? scale : std::max(1.0, 0.5 * scale);
}

double themeDartFactor(PlotTheme theme, double wanted, bool largerPoints) {
  // Dots of two or three pixels' radius: twenty thousand of them leave
  // gaps, and the curve drawn over them shows.
  if (theme == PlotTheme::classic) return wanted;
  return std::min(wanted, largerPoints ? 2.5 : 1.5);
}

FrameMargins frameMargins(PlotTheme theme, const Rect& client) {
  const int w = client.right - client.left;
  const int h = client.bottom - client.top;
  if (theme == PlotTheme::classic) return {w / 5, h / 5, w / 5, h / 5};
  const double scale = pictureScale(client);
  const double text = themeTextScale(theme, scale);
  const double line = lineAtDefault * text;
  const double gap = scaledPixels(4, scale);
  const auto atLeast = [](double share, int size, double needed) {
    return static_cast<int>(std::ceil(std::max(share * size, needed)));
  };
  // Left: the tick, the gap and the y labels. Top: the y axis's title over
  // its topmost label. Right: half the last x label. Bottom: the x labels
  // and the caption's band below them.
  return {atLeast(0.07, w, yLabelCharacters * characterAtDefault * text + 2 * gap),
          atLeast(0.06, h, 1.5 * line + gap), atLeast(0.03, w, 3 * characterAtDefault * text),
          atLeast(0.075, h, 2.5 * line + gap)};
}
