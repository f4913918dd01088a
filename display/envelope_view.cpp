#include "display/envelope_view.h"

#include <cmath>
#include <limits>

#include "display/hull_range.h"
#include "display/plot_layout.h"
#include "model/step_beat.h"
#include "model/window_model.h"

bool fitEnvelopeInView(PlotRanges& ranges, const CurveState& curve, const WindowModel& model) {
  const bool envelopeShown = model.stepping.active || model.stepping.proof.has_value();
  // On the T scale the hull stays below 0, which the autoscaled range holds.
  if (!model.view.wholeEnvelope || !envelopeShown || curve.xValues.size() < 2 || curve.tScale) return false;
  const double top = model.density.isOther()
                         ? (model.typed ? hullTop(shownTypedPieces(model), model.typed->transform(), ranges.xMin,
                                                  ranges.xMax)
                                        : -std::numeric_limits<double>::infinity())
                         : hullTop(shownEnvelope(model).segments, ranges.xMin, ranges.xMax);
  if (!std::isfinite(top)) return false;
  const bool logScale = model.view.logScale;
  const double cap = logScale ? ranges.yMax + std::log(wholeEnvelopeCap) : ranges.yMax * wholeEnvelopeCap;
  const double hull = plottedHeight(curve, logScale, top);
  const double height = std::fmin(hull, cap);
  if (!(height > ranges.yMax)) return false;
  ranges.yMax = height;
  return hull > cap;
}
