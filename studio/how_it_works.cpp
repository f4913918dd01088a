#include "studio/how_it_works.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "display/plot_colors.h"
#include "platform/picture_scale.h"

namespace {

std::vector<HowSection> makePage() {
  return {
      {"Rejection under an envelope",
       {"To draw from a density f, draw a candidate x from a simpler density that lies above f everywhere (the "
        "envelope, or hull), and a uniform u between 0 and 1. The dart at height u \xc2\xb7 hull(x) is accepted when "
        "it lies under f(x). Accepted candidates follow f exactly; the closer the hull hugs f, the fewer are wasted.",
        "Adaptive rejection sampling builds the hull from f itself, and improves it every time it has to look at "
        "f."},
       HowDiagram::None, "rejection"},
      {"The hull: straight lines on the log scale",
       {"Work with h = log f. When f is log-concave, h is concave: a secant through two points of h, extended "
        "beyond them, lies above h, and a chord between them lies below it.",
        "The upper hull (red) is made of such extended secants, so it lies above h. On the log scale its pieces are "
        "straight lines; on the normal scale they are exponentials, which is why there the \"lines\" curve and meet "
        "in kinks. An exponential piece can be integrated and inverted exactly: one uniform picks the piece and the "
        "x within it."},
       HowDiagram::Envelope, "hull"},
      {"How a hull piece is built",
       {"Between two neighbouring points the hull is the lower of two lines: the secant of the interval to the "
        "left, extended to the right, and the secant of the interval to the right, extended to the left. Concavity "
        "puts both above h there.",
        "At the start there are only three points: an interval next to an outer point has one neighbouring secant, "
        "and the hull follows it, even where it rises while the density falls. At an outer point it meets the "
        "tail's line at another height, so the hull rises or drops vertically there. Every new point adds secants, "
        "and these odd pieces soon disappear."},
       HowDiagram::ThreePoints, "hull-piece"},
      {"The squeeze: chords below the curve",
       {"The chords between neighbouring points (green) lie below h, again by concavity. Under the squeeze a dart "
        "is accepted without evaluating f. The squeeze's share of the hull's area is the chance that the next "
        "candidate needs no evaluation at all. The outer pieces have no chord and no squeeze."},
       HowDiagram::None, "squeeze"},
      {"One step: the candidate and its test",
       {"Draw x from the hull and u uniform; the dart's height is u \xc2\xb7 hull(x). If it lies under the squeeze, "
        "x is accepted and f is not evaluated. Otherwise f(x) is evaluated: the dart under f(x) is accepted, above "
        "it rejected.",
        "View > Why this step shows these numbers and the inequality that decided, for every step."},
       HowDiagram::Decision, "step"},
      {"Why a rejected candidate becomes a point",
       {"A rejection happens where the hull lies far above f, and f(x) has just been evaluated there. Keeping "
        "(x, h(x)) as a new point costs nothing more, and its new secants and chords bring hull and squeeze close "
        "to f exactly where they were worst. So the squeeze's share grows, and rejections and evaluations become "
        "rare: View > Envelope progress follows this step by step.",
        "The six built-in densities add a point at each rejection; typed densities, as the library does, keep every "
        "point they evaluate."},
       HowDiagram::None, "new-point"},
      {"What an evaluation is",
       {"An evaluation is one computation of f(x) (of its log). The search for starting points evaluates f "
        "several times and keeps the points that bracket the peak, so that the hull's outer lines fall on both "
        "sides, which is why the start may count more evaluations than points. After that each evaluation is a candidate the squeeze could "
        "not decide. Plain rejection evaluates f for every candidate; Go > Compare with plain rejection counts both."},
       HowDiagram::None, "evaluation"},
      {"Why log-concavity matters",
       {"Everything above rests on h being concave. For a density with two peaks a secant extended from one peak "
        "passes below the other: the red \"hull\" lies below the blue curve there, and darts drawn under it would "
        "follow the wrong density.",
        "The sampler checks every point it evaluates: a point below the chord of its neighbours proves that the "
        "density is not log-concave, and it stops with that proof, marked in magenta, instead of sampling wrongly. "
        "The magenta inset is a zoom on the three points of the proof."},
       HowDiagram::NotLogConcave, "log-concavity"},
      {"T = \xe2\x88\x92" "1/\xe2\x88\x9a" "f, and split points",
       {"Heavy-tailed densities such as Cauchy or Student t are not log-concave: their log falls too slowly. Another "
        "transformation can be concave where log is not: T(f) = \xe2\x88\x92" "1/\xe2\x88\x9a" "f is concave for "
        "them. The same hull, squeeze and test work with lines on the T scale (Plot > T scale shows them straight).",
        "Where T(f) turns from concave to convex, at an inflection point, the density can be split: split points "
        "cut the support into pieces, each with an envelope of its own (\"Concave under T =\" and \"Split points\" "
        "in Distribution > Other density)."},
       HowDiagram::None, "t-scale"},
  };
}

// A small plot of h on [x0, x1] x [y0, y1] in `frame`.
struct Diagram {
  Canvas& canvas;
  Rect frame;
  double x0, x1, y0, y1;
  double scale;

  int px(double x) const {
    return frame.left + static_cast<int>(std::lround((x - x0) / (x1 - x0) * (frame.right - frame.left - 1)));
  }
  int py(double y) const {
    const double t = std::clamp((y - y0) / (y1 - y0), -4.0, 4.0);  // the clip cuts it at the frame
    return frame.bottom - 1 - static_cast<int>(std::lround(t * (frame.bottom - frame.top - 1)));
  }
  // f over [from, to], a pixel at a time; NaN leaves a gap.
  void curve(const std::function<double(double)>& f, double from, double to, Color color, int width) {
    canvas.setPenWidth(scaledPixels(width, scale));
    const Color before = canvas.selectPen(color);
    bool drawing = false;
    const int steps = std::max(2, px(to) - px(from));
    for (int i = 0; i <= steps; ++i) {
      const double x = from + (to - from) * i / steps;
      const double y = f(x);
      if (std::isnan(y)) {
        drawing = false;
        continue;
      }
      if (drawing) {
        canvas.lineTo(px(x), py(y));
      } else {
        canvas.moveTo(px(x), py(y));
        drawing = true;
      }
    }
    canvas.selectPen(before);
    canvas.setPenWidth(scaledPixels(1, scale));
  }
  void dot(double x, double y, Color color) {
    const int r = scaledPixels(3, scale);
    const Color pen = canvas.selectPen(PlotColor::black);
    const Color brush = canvas.selectBrush(color);
    canvas.ellipse(px(x) - r, py(y) - r, px(x) + r + 1, py(y) + r + 1);
    canvas.selectBrush(brush);
    canvas.selectPen(pen);
  }
  void label(const std::string& text, double x, double y, Color color) {
    const Size extent = canvas.textExtent(text);
    const int left = std::clamp(px(x), frame.left, std::max(frame.left, frame.right - extent.cx));
    const int top = std::clamp(py(y) - extent.cy, frame.top, std::max(frame.top, frame.bottom - extent.cy));
    const Color before = canvas.setTextColor(color);
    canvas.drawText(text, Rect{left, top, left + extent.cx + 2, top + extent.cy}, DT_SINGLELINE);
    canvas.setTextColor(before);
  }
};

struct P {
  double x, h;
};

double line(const P& a, const P& b, double x) { return a.h + (b.h - a.h) / (b.x - a.x) * (x - a.x); }

// The derivative-free hull of points p: the lower of the neighbouring
// intervals' secants between points, the outer secants beyond them.
double hullAt(const std::vector<P>& p, double x) {
  const std::size_t n = p.size();
  if (x <= p[0].x) return line(p[0], p[1], x);
  if (x >= p[n - 1].x) return line(p[n - 2], p[n - 1], x);
  std::size_t i = 0;
  while (i + 2 < n && x >= p[i + 1].x) ++i;
  double best = INFINITY;
  if (i >= 1) best = std::min(best, line(p[i - 1], p[i], x));
  if (i + 2 < n) best = std::min(best, line(p[i + 1], p[i + 2], x));
  return best;
}

double squeezeAt(const std::vector<P>& p, double x) {
  if (x < p.front().x || x > p.back().x) return NAN;
  std::size_t i = 0;
  while (i + 2 < p.size() && x > p[i + 1].x) ++i;
  return line(p[i], p[i + 1], x);
}

double betaLog(double x) { return std::log(x) + 2 * std::log(1 - x); }

void envelopeDiagram(Diagram& d, const std::vector<P>& p, bool withLabels) {
  d.curve(betaLog, 0.02, 0.98, PlotColor::curve, 2);
  d.curve([&](double x) { return hullAt(p, x); }, 0.02, 0.98, PlotColor::upperHull, 2);
  d.curve([&](double x) { return squeezeAt(p, x); }, p.front().x, p.back().x, PlotColor::squeeze, 2);
  for (const P& q : p) d.dot(q.x, q.h, PlotColor::black);
  if (withLabels) {
    d.label("hull: extended secants", 0.45, d.y1, PlotColor::upperHull);
    d.label("log f", 0.86, betaLog(0.86) + 0.5, PlotColor::curve);
    d.label("squeeze: chords", 0.42, d.y0 + 0.6, PlotColor::squeeze);
  }
}

std::vector<P> pointsOf(const std::vector<double>& xs, double (*h)(double)) {
  std::vector<P> p;
  for (const double x : xs) p.push_back({x, h(x)});
  return p;
}

double twoPeaks(double x) {
  return std::log(0.6 * std::exp(-0.5 * (x + 1.4) * (x + 1.4) / 0.25) + 0.4 * std::exp(-0.5 * (x - 1.4) * (x - 1.4) / 0.25));
}

}  // namespace

const std::vector<HowSection>& howItWorks() {
  static const std::vector<HowSection> page = makePage();
  return page;
}

std::size_t howSectionIndex(const std::string& anchor) {
  const std::vector<HowSection>& page = howItWorks();
  for (std::size_t i = 0; i < page.size(); ++i) {
    if (page[i].anchor == anchor) return i;
  }
  return 0;
}

const char* transformHint() {
  return "The transformation T under which the density is concave; the sampler's hull and squeeze are straight "
         "lines in T(f). log f serves log-concave densities; \xe2\x88\x92" "1/\xe2\x88\x9a" "f also serves "
         "heavy tails (Cauchy, Student t), whose log is not concave. Help > How it works says more.";
}

const char* splitsHint() {
  return "Where T(f) turns between concave and convex (its inflection points): the support is cut there, and "
         "each piece gets an envelope of its own. None for a density concave under T everywhere.";
}

void paintHowDiagram(Canvas& canvas, const Rect& area, HowDiagram diagram, double scale) {
  if (diagram == HowDiagram::None || area.right - area.left < 20 || area.bottom - area.top < 20) return;
  canvas.setTextScale(scale);
  canvas.setPenWidth(scaledPixels(1, scale));
  const int margin = scaledPixels(4, scale);
  const Rect frame{area.left + margin, area.top + margin, area.right - margin, area.bottom - margin};
  canvas.frameRect(area, PlotColor::rejected);
  canvas.setClipRect(&frame);
  switch (diagram) {
    case HowDiagram::Envelope: {
      Diagram d{canvas, frame, 0.0, 1.0, -5.5, -1.0, scale};
      envelopeDiagram(d, pointsOf({0.08, 0.25, 0.5, 0.8}, betaLog), true);
      break;
    }
    case HowDiagram::ThreePoints: {
      Diagram d{canvas, frame, 0.0, 1.0, -7.0, 0.5, scale};
      envelopeDiagram(d, pointsOf({0.05, 0.5, 0.95}, betaLog), false);
      d.label("rises while f falls", 0.55, -0.3, PlotColor::upperHull);
      d.label("drops at an outer point", 0.55, -5.2, PlotColor::upperHull);
      d.label("log f", 0.2, betaLog(0.2) - 0.6, PlotColor::curve);
      break;
    }
    case HowDiagram::Decision: {
      Diagram d{canvas, frame, 0.0, 1.0, -5.5, -1.0, scale};
      const std::vector<P> p = pointsOf({0.08, 0.25, 0.5, 0.8}, betaLog);
      envelopeDiagram(d, p, false);
      // The candidate's column: each stretch is one fate of the dart.
      const double x = 0.65;
      const double s = squeezeAt(p, x);
      const double f = betaLog(x);
      const double top = hullAt(p, x);
      const auto stretch = [&](double from, double to, Color color) {
        canvas.setPenWidth(scaledPixels(5, scale));
        const Color before = canvas.selectPen(color);
        canvas.moveTo(d.px(x), d.py(from));
        canvas.lineTo(d.px(x), d.py(to));
        canvas.selectPen(before);
        canvas.setPenWidth(scaledPixels(1, scale));
      };
      stretch(d.y0, s, PlotColor::squeezed);
      stretch(s, f, PlotColor::evaluated);
      stretch(f, top, PlotColor::rejectedCandidate);
      d.label("above f: rejected, x becomes a point", 0.02, top + 0.4, PlotColor::rejectedCandidate);
      d.label("under f: accepted after evaluating", 0.02, (s + f) / 2 + 0.2, PlotColor::evaluated);
      d.label("under the squeeze: accepted, not evaluated", 0.02, d.y0 + 0.5, PlotColor::squeezed);
      break;
    }
    case HowDiagram::NotLogConcave: {
      Diagram d{canvas, frame, -3.0, 3.0, -9.0, 1.5, scale};
      const std::vector<P> p = pointsOf({-2.2, -1.4, -0.7}, twoPeaks);
      d.curve(twoPeaks, -3.0, 3.0, PlotColor::curve, 2);
      d.curve([&](double x) { return hullAt(p, x); }, -3.0, 3.0, PlotColor::upperHull, 2);
      for (const P& q : p) d.dot(q.x, q.h, PlotColor::black);
      d.dot(1.4, twoPeaks(1.4), PlotColor::proof);
      d.label("second peak above the \"hull\"", 0.2, twoPeaks(1.4) + 1.4, PlotColor::proof);
      d.label("log f", -2.9, twoPeaks(-2.0) + 1.0, PlotColor::curve);
      break;
    }
    case HowDiagram::None:
      break;
  }
  canvas.setClipRect(nullptr);
}
