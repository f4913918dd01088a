#include "studio/side_panels.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "display/plot_colors.h"
#include "model/window_model.h"
#include "platform/picture_scale.h"
#include "studio/envelope_progress.h"
#include "studio/why_panel.h"

namespace {

int panelCount(const WindowModel& model) { return (model.view.whyPanel ? 1 : 0) + (model.view.progressChart ? 1 : 0); }

// A wide window puts the panels in a column on the right, a tall one in a band below.
bool beside(const Rect& client) { return 2 * (client.right - client.left) >= 3 * (client.bottom - client.top); }

Rect panelsArea(const Rect& client) {
  Rect area = client;
  if (beside(client)) {
    area.left = client.right - (client.right - client.left) * 38 / 100;
  } else {
    // A screen held upright has height to spare below the plot.
    const bool upright = 4 * (client.bottom - client.top) > 5 * (client.right - client.left);
    area.top = client.bottom - (client.bottom - client.top) * (upright ? 52 : 42) / 100;
  }
  return area;
}

Rect inset(Rect r, int by) { return Rect{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

struct Line {
  std::string text;
  Color color;
};

// Lines of text from the top of `box`, at the picture's text size or
// smaller where that would not fit: nothing is cut off. Returns the first
// pixel row below them.
int drawLines(Canvas& canvas, const Rect& box, const std::vector<Line>& lines, double scale) {
  if (lines.empty() || box.right <= box.left || box.bottom <= box.top) return box.top;
  double size = scale;
  for (int attempt = 0; attempt < 4; ++attempt) {
    canvas.setTextScale(size);
    int widest = 1;
    int tallest = 1;
    for (const Line& line : lines) {
      const Size extent = canvas.textExtent(line.text);
      widest = std::max(widest, extent.cx);
      tallest = std::max(tallest, extent.cy);
    }
    const double fit = std::min(static_cast<double>(box.right - box.left) / widest,
                                static_cast<double>(box.bottom - box.top) / (tallest * static_cast<double>(lines.size())));
    if (fit >= 1.0) break;
    size *= fit * 0.97;
  }
  int y = box.top;
  const int height = canvas.textExtent("Xg").cy;
  for (const Line& line : lines) {
    const Color before = canvas.setTextColor(line.color);
    canvas.drawText(line.text, Rect{box.left, y, box.right, y + height}, DT_SINGLELINE | DT_VCENTER);
    canvas.setTextColor(before);
    y += height;
  }
  canvas.setTextScale(scale);
  return y;
}

Color fateColor(const WindowModel& model) {
  switch (model.stepping.lastResult) {
    case StepResult::SqueezeAccept: return PlotColor::squeezed;
    case StepResult::DensityAccept: return PlotColor::evaluated;
    case StepResult::Rejection: return PlotColor::rejectedCandidate;
    case StepResult::None: break;
  }
  return PlotColor::black;
}

void paintWhy(Canvas& canvas, const Rect& box, const WindowModel& model, double scale) {
  std::vector<Line> lines;
  for (const WhyLine& line : whyLines(model)) {
    lines.push_back({line.text, line.decision ? fateColor(model) : PlotColor::black});
  }
  drawLines(canvas, box, lines, scale);
}

// The chart: both shares from 0 to 100% against the step number.
void drawChart(Canvas& canvas, const Rect& box, const std::vector<ProgressPoint>& points, double scale) {
  canvas.frameRect(box, PlotColor::black);
  if (points.empty() || box.right - box.left < 4 || box.bottom - box.top < 4) return;
  const int lastStep = std::max(1, points.back().step);
  const auto px = [&](int step) {
    return box.left + 1 + static_cast<int>(std::lround((box.right - box.left - 3) * static_cast<double>(step) / lastStep));
  };
  const auto py = [&](double share) {
    return box.bottom - 2 - static_cast<int>(std::lround((box.bottom - box.top - 3) * std::clamp(share, 0.0, 1.0)));
  };
  canvas.setPenWidth(scaledPixels(2, scale));
  const auto polyline = [&](Color color, double ProgressPoint::*value) {
    const Color before = canvas.selectPen(color);
    bool drawing = false;
    for (const ProgressPoint& p : points) {
      const double v = p.*value;
      if (std::isnan(v)) {
        drawing = false;
        continue;
      }
      if (drawing) {
        canvas.lineTo(px(p.step), py(v));
      } else {
        canvas.moveTo(px(p.step), py(v));
        drawing = true;
      }
    }
    if (points.size() == 1 && !std::isnan(points[0].*value)) {
      const int r = scaledPixels(2, scale);
      const Color brush = canvas.selectBrush(color);
      canvas.ellipse(px(0) - r, py(points[0].*value) - r, px(0) + r + 1, py(points[0].*value) + r + 1);
      canvas.selectBrush(brush);
    }
    canvas.selectPen(before);
  };
  polyline(PlotColor::squeeze, &ProgressPoint::squeezeShare);
  polyline(PlotColor::curve, &ProgressPoint::acceptance);
  canvas.setPenWidth(scaledPixels(1, scale));
}

void paintProgress(Canvas& canvas, const Rect& box, const WindowModel& model, double scale) {
  const std::vector<ProgressPoint> points = progressPoints(model);
  const int last = points.empty() ? 0 : points.back().step;
  std::vector<Line> heading = {{"Progress, steps 0 to " + std::to_string(last), PlotColor::black},
                               {"squeeze share of hull area", PlotColor::squeeze},
                               {"share accepted (0 to 100%)", PlotColor::curve}};
  const std::vector<std::string> figures = progressLines(model);
  std::vector<Line> below;
  for (const std::string& text : figures) below.push_back({text, PlotColor::black});
  // Heading, chart and figures share the box: the text at one size where
  // it can, the chart taking what it leaves but at least a quarter.
  const int boxHeight = box.bottom - box.top;
  const int line = canvas.textExtent("Xg").cy;
  const double lines = static_cast<double>(heading.size() + below.size());
  const double share = std::min(1.0, 0.75 * boxHeight / std::max(1.0, lines * line));
  const int headingHeight = static_cast<int>(heading.size() * line * share);
  const int figuresHeight = static_cast<int>(below.size() * line * share);
  const int headingBottom = drawLines(canvas, Rect{box.left, box.top, box.right, box.top + headingHeight}, heading, scale);
  const Rect figuresBox{box.left, box.bottom - figuresHeight, box.right, box.bottom};
  const int gap = scaledPixels(4, scale);
  drawChart(canvas, Rect{box.left + gap, headingBottom + gap, box.right - gap, figuresBox.top - gap}, points, scale);
  drawLines(canvas, figuresBox, below, scale);
}

}  // namespace

Rect plotArea(const WindowModel& model, const Rect& client) {
  if (panelCount(model) == 0) return client;
  const Rect panels = panelsArea(client);
  Rect plot = client;
  if (beside(client)) {
    plot.right = panels.left;
  } else {
    plot.bottom = panels.top;
  }
  return plot;
}

namespace {
// The panels' boxes, the why panel's first.
std::vector<Rect> panelBoxes(const WindowModel& model, const Rect& client) {
  const int count = panelCount(model);
  std::vector<Rect> boxes;
  if (count == 0 || client.right <= client.left || client.bottom <= client.top) return boxes;
  const Rect area = panelsArea(client);
  // One above the other in a column, or in a band below that is tall for
  // its width (a phone held upright); otherwise side by side.
  const bool stacked = beside(client) || area.right - area.left < 2 * (area.bottom - area.top);
  if (count == 1) {
    boxes.push_back(area);
  } else if (stacked) {
    const int middle = area.top + (area.bottom - area.top) * 52 / 100;
    boxes.push_back(Rect{area.left, area.top, area.right, middle});
    boxes.push_back(Rect{area.left, middle, area.right, area.bottom});
  } else {
    const int middle = area.left + (area.right - area.left) / 2;
    boxes.push_back(Rect{area.left, area.top, middle, area.bottom});
    boxes.push_back(Rect{middle, area.top, area.right, area.bottom});
  }
  return boxes;
}
}  // namespace

Rect whyPanelRect(const WindowModel& model, const Rect& client) {
  if (!model.view.whyPanel) return Rect{0, 0, 0, 0};
  return panelBoxes(model, client).front();
}

void paintSidePanels(Canvas& canvas, const Rect& client, const WindowModel& model) {
  const std::vector<Rect> boxes = panelBoxes(model, client);
  if (boxes.empty()) return;
  const double scale = pictureScale(client);
  canvas.setPenWidth(scaledPixels(1, scale));
  canvas.setTextScale(scale);
  const int margin = scaledPixels(6, scale);
  std::size_t next = 0;
  for (const bool shown : {model.view.whyPanel, model.view.progressChart}) {
    if (!shown) continue;
    const Rect frame = inset(boxes[next], margin / 2);
    canvas.frameRect(frame, PlotColor::rejected);
    const Rect inside = inset(frame, margin);
    if (next == 0 && model.view.whyPanel) {
      paintWhy(canvas, inside, model, scale);
    } else {
      paintProgress(canvas, inside, model, scale);
    }
    ++next;
  }
}
