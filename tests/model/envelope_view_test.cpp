// The whole envelope in view: the vertical range holds the upper hull up to
// its cap, and the range is left alone with the option off.
#include <gtest/gtest.h>

#include <cmath>

#include "display/hull_range.h"
#include "model/density_curve.h"
#include "model/envelope_view.h"
#include "model/sampler_commands.h"
#include "model/window_model.h"
#include "support/recording_reports.h"

namespace {

struct Ranges {
  double plain;
  double fitted;
  bool cut;
  CurveState curve;
};

Ranges rangesOf(const WindowModel& model) {
  Ranges r{0, 0, false, model.curve};
  preparePlot(r.curve, model.view);
  r.plain = r.curve.plotter.yMax;
  r.cut = fitEnvelopeInView(r.curve, model);
  r.fitted = r.curve.plotter.yMax;
  return r;
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
  const Plotter& p = start.curve.plotter;
  EXPECT_FALSE(hullAbove(model.sampler.segments, p.xMin, p.xMax, logAtTop(start.curve, false)).empty());
  EXPECT_DOUBLE_EQ(logAtTop(start.curve, false) + start.curve.logOffset,
                   std::log(start.plain * wholeEnvelopeCap));

  // Six steps later on the log scale the tents are held whole, nothing cut.
  for (int i = 0; i < 6; ++i) nextStep(model, reports);
  model.view.logScale = true;
  rebuildDensityCurve(model);
  const Ranges later = rangesOf(model);
  const Plotter& q = later.curve.plotter;
  EXPECT_GT(later.fitted, later.plain);
  EXPECT_EQ(later.fitted, hullTop(model.sampler.segments, q.xMin, q.xMax) + later.curve.logOffset);
  EXPECT_FALSE(later.cut);
  EXPECT_EQ(q.yTickStep, (q.yMax - q.yMin) / q.numYTicks);

  model.view.wholeEnvelope = false;
  EXPECT_EQ(rangesOf(model).fitted, later.plain);
}

}  // namespace
