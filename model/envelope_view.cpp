#include "model/envelope_view.h"

#include <cmath>
#include <limits>

#include "display/hull_range.h"
#include "model/step_beat.h"
#include "model/window_model.h"

bool fitEnvelopeInView(CurveState& curve, const WindowModel& model) {
  const bool envelopeShown = model.stepping.active || model.stepping.proof.has_value();
  Plotter& plotter = curve.plotter;
  // On the T scale the hull stays below 0, which the autoscaled range holds.
  if (!model.view.wholeEnvelope || !envelopeShown || plotter.numPoints < 2 || curve.tScale) return false;
  const double top = model.density.isOther()
                         ? (model.typed ? hullTop(model.typed->pieces(), model.typed->transform(), plotter.xMin,
                                                  plotter.xMax)
                                        : -std::numeric_limits<double>::infinity())
                         : hullTop(shownEnvelope(model).segments, plotter.xMin, plotter.xMax);
  if (!std::isfinite(top)) return false;
  const bool logScale = model.view.logScale;
  const double cap = logScale ? plotter.yMax + std::log(wholeEnvelopeCap) : plotter.yMax * wholeEnvelopeCap;
  const double hull = plottedHeight(curve, logScale, top);
  const double height = std::fmin(hull, cap);
  if (!(height > plotter.yMax)) return false;
  plotter.yMax = height;
  // The ticks follow the new range as the plotter spreads them.
  plotter.autoScaleY = false;
  plotter.rangeStale = true;
  plotter.rescale();
  return hull > cap;
}

double logAtTop(const CurveState& curve, bool logScale) {
  const double top = curve.plotter.yMax;
  return (logScale ? top : std::log(top)) - curve.logOffset;
}
