#pragma once
// The whole envelope in view: with the option on while the envelope is
// shown, the vertical range grows to hold the upper hull over the plotted
// range, up to a cap above the density's maximum where the hull's tails
// rise far above it.
struct CurveState;
struct PlotRanges;
struct WindowModel;

// The cap: this many times the density's maximum (on the log scale, its log above it).
constexpr double wholeEnvelopeCap = 3.0;

// Raises the top of `ranges`, the curve's, for the model's envelope; true
// when the hull rises above the range so widened.
bool fitEnvelopeInView(PlotRanges& ranges, const CurveState& curve, const WindowModel& model);
