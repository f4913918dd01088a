// The whole envelope in view: the vertical range holds the upper hull up to
// its cap, and the range is left alone with the option off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "display/envelope_view.h"
#include "display/hull_range.h"
#include "display/plot_layout.h"
#include "model/density_curve.h"
#include "model/sampler_commands.h"
#include "model/window_model.h"
#include "support/recording_reports.h"

namespace {

struct Ranges {
  double plain;  // the curve's top
  double fitted;
  bool cut;
  PlotLayout layout;
};

Ranges rangesOf(const WindowModel& model) {
  const std::vector<double>& heights = model.curve.yValues;
  const PlotLayout layout = layoutPlot(model, Rect{0, 0, 400, 300});
  return Ranges{*std::max_element(heights.begin(), heights.end()), layout.ranges.yMax, layout.hullCut, layout};
}

TEST(WholeEnvelope, HoldsTheHullUpToItsCapOnBothScales) {
  WindowModel model;
  RecordingReports reports;
  model.view.wholeEnvelope = true;
  EXPECT_EQ(rangesOf(model).fitted, rangesOf(model).plain);  // no envelope shown
  startStepping(model, reports);
  // Three points: the hull's tails rise far above the density, and are cut.
  Ranges start = rangesOf(model);
  EXPECT_EQ(start.fitted, start.plain * wholeEnvelopeCap);
  EXPECT_TRUE(start.cut);
  const PlotRanges& p = start.layout.ranges;
  EXPECT_FALSE(hullAbove(model.sampler.segments, p.xMin, p.xMax, logAtTop(start.layout, model.curve, false)).empty());
  EXPECT_DOUBLE_EQ(logAtTop(start.layout, model.curve, false) + model.curve.logOffset,
                   std::log(start.plain * wholeEnvelopeCap));

  // Six steps later on the log scale the tents are held whole, nothing cut.
  for (int i = 0; i < 6; ++i) nextStep(model, reports);
  model.view.logScale = true;
  rebuildDensityCurve(model);
  const Ranges later = rangesOf(model);
  const PlotRanges& q = later.layout.ranges;
  EXPECT_GT(later.fitted, later.plain);
  EXPECT_EQ(later.fitted, hullTop(model.sampler.segments, q.xMin, q.xMax) + model.curve.logOffset);
  EXPECT_FALSE(later.cut);
  EXPECT_EQ(q.yTickStep, (q.yMax - q.yMin) / 5);

  model.view.wholeEnvelope = false;
  EXPECT_EQ(rangesOf(model).fitted, later.plain);
}

}  // namespace
