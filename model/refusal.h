#pragma once
// Why the sampler refuses a typed density, in a sentence and, where a grid
// over the curve finds them, three points that prove it not log-concave.
#include <string>

#include "display/proof_highlight.h"

class FormulaDensity;
class Reports;
struct DensityState;
struct WindowModel;

// Narrows [xMin, xMax] to where the log-density is within logDrop of its
// highest value, so that a heavy tail's range does not hide its shape and a
// proof lies in view, in readable numbers.
void visibleRange(const FormulaDensity& density, double& xMin, double& xMax, double logDrop = 10);

// The refusal's sentence; `proof`, where given, receives the grid's three
// points when they prove it (its belowX is left alone otherwise).
std::string refusalSentence(const FormulaDensity& density, double xMin, double xMax, ProofHighlight* proof);

// Records the refusal in the model (its sentence, and for a typed density
// refused before any envelope the grid's proof on screen), then reports it.
void refuse(WindowModel& model, Reports& reports);

// The refusal as the status line gives it.
std::string otherDensityReport(const DensityState& density);
// The refusal is about the tails' mass, not log-concavity.
bool refusedAsNotIntegrable(const DensityState& density);
