#pragma once
// The whole envelope in view: with the option on while the envelope is
// shown, the vertical range grows to hold the upper hull over the plotted
// range, up to a cap above the density's maximum where the hull's tails
// rise far above it.
struct CurveState;
struct WindowModel;

// The cap: this many times the density's maximum (on the log scale, its log above it).
constexpr double wholeEnvelopeCap = 3.0;

// Widens the prepared plot of `curve` (a copy of the model's) for the model's
// envelope; true when the hull rises above the range so widened.
bool fitEnvelopeInView(CurveState& curve, const WindowModel& model);
// The log density (on the sampler's scale) at the top of the plotted range:
// the hull above it is cut.
double logAtTop(const CurveState& curve, bool logScale);
