#include "studio/comparison_picture.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "display/axis_titles.h"
#include "display/dots.h"
#include "display/larger_dots_canvas.h"
#include "display/plot_colors.h"
#include "display/plot_layout.h"
#include "display/plot_theme.h"
#include "display/shifted_canvas.h"
#include "model/window_model.h"
#include "platform/picture_scale.h"
#include "platform/selection.h"

// 9012 as "9,012", as the status line writes it.
std::string groupedDigits(std::size_t n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return digits;
}

// Above the frame: the panel's title centred over it (the short one where
// the long one does not fit the panel), and under it, at the frame's right,
// a key to its dots; above the y axis's title where the picture has one.
void drawPanelHeading(Canvas& canvas, const Rect& frame, int panelWidth, const std::string& title,
                      const std::string& shortTitle, const std::vector<KeyEntry>& key, double scale) {
  const bool fits = canvas.textExtent(title).cx <= panelWidth;
  const std::string& shown = fits ? title : shortTitle;
  const int cy = canvas.textExtent(shown).cy;
  const int yTitleBottom = frame.top - cy / 2 - scaledPixels(4, scale);
  const bool overYTitle = scale > 1.0 && yTitleBottom - 3 * cy - cy / 4 >= 0;
  const int middle = overYTitle ? yTitleBottom - cy - cy / 2 : frame.top - (7 * cy) / 8;
  const int centre = (frame.left + frame.right) / 2;
  const Rect titleBand{centre - panelWidth / 2, middle - (15 * cy) / 8, centre + panelWidth / 2,
                       middle - (7 * cy) / 8};
  canvas.drawText(shown, titleBand, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  const int radius = scaledPixels(3, scale);
  const int gap = scaledPixels(6, scale);
  int right = frame.right;
  for (auto entry = key.rbegin(); entry != key.rend(); ++entry) {
    const int width = canvas.textExtent(entry->name).cx;
    const Rect text{right - width, middle - cy / 2, right, middle + cy - cy / 2};
    canvas.drawText(entry->name, text, DT_SINGLELINE | DT_VCENTER);
    const int cx = right - width - gap / 2 - radius;
    PenSelection pen(canvas, entry->color);
    BrushSelection brush(canvas, entry->color);
    canvas.ellipse(cx - radius, middle - radius, cx + radius + 1, middle + radius + 1);
    right = cx - radius - gap;
  }
}

void paintComparison(Canvas& canvas, const PlotLayout& layout, const WindowModel& model, double scale,
                     int captionTop) {
  // Each panel is laid out as a window of 56% of the width, the two pulled
  // together by 2% of it each: wider plots than halves, the gap between
  // them still holding the right one's tick labels.
  const Rect& client = layout.client;
  const int width = client.right - client.left;
  const int panelWidth = width * 14 / 25;
  const int pull = width / 50;
  const Rect panel{0, 0, panelWidth, client.bottom - client.top};
  const PlotLayout panelLayout = layoutIn(layout, panel);
  Plotter plotter = curvePlotter(model.curve, panelLayout, scale);
  // Half the width for the labels: ticks at round values keep them apart.
  plotter.ticksAtRoundValues = true;
  const PlotMapping& mapping = panelLayout.mapping;
  const Rect& frame = panelLayout.frame;
  const ViewOptions& view = model.view;
  const Color dartColor = themeLook(view.theme).darts;
  const DartsState& darts = model.darts;
  const PlainRejection& plain = darts.plain;
  for (int side = 0; side < 2; ++side) {
    const bool plainSide = side == 0;
    ShiftedCanvas shifted(canvas, plainSide ? -pull : width - panelWidth + pull);
    plotter.draw(panel, shifted);
    drawAxisTitles(shifted, frame, captionTop, panelLayout.vertical, scale, xAxisTitle(plotter.xOffsetText));

    const double dotFactor = themeDartFactor(view.theme, (view.largerPoints ? 2.0 : 1.0) * scale, view.largerPoints);
    LargerDotsCanvas larger(shifted, dotFactor);
    Canvas& data = dotFactor != 1.0 ? larger : static_cast<Canvas&>(shifted);
    {
      const int radius = scaledPixels(view.largerPoints ? 8 : 4, scale);
      const Rect dotClip{frame.left - radius, frame.top - radius, frame.right + radius, frame.bottom + radius};
      ClipSelection clip(shifted, dotClip);
      if (plainSide) {
        drawDots(data, mapping, plain.rejectedX, plain.rejectedY, PlotColor::rejected);
        drawDots(data, mapping, plain.acceptedX, plain.acceptedY, dartColor);
      } else {
        drawDots(data, mapping, darts.x, darts.y, dartColor);
      }
    }
    // The curve over the grey candidates, and the axes over the dots that reach them.
    plotter.draw(panel, shifted);
    plotter.redrawAxes(panel, shifted);

    // Every candidate of plain rejection costs an evaluation; the adaptive
    // sampler's squeeze spares most of them.
    const std::size_t accepted = plainSide ? plain.acceptedX.size() : darts.x.size();
    const std::size_t evaluations =
        plainSide ? plain.evaluations : static_cast<std::size_t>(darts.lastThrow.evaluations);
    const std::string count = groupedDigits(evaluations) + " evaluations";
    const std::string title = std::string(plainSide ? "Plain rejection: " : "Adaptive: ") + count + " for " +
                              groupedDigits(accepted) + " darts";
    const std::string shortTitle = std::string(plainSide ? "Plain: " : "Adaptive: ") + count;
    std::vector<KeyEntry> key = {{"accepted", dartColor}};
    if (plainSide) key.push_back({"rejected", PlotColor::rejected});
    drawPanelHeading(shifted, frame, panelWidth - 2 * pull, title, shortTitle, key, scale);
  }
}
