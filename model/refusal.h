#pragma once
// Why the sampler refuses a density, in a sentence and, where the refusal
// rests on them, the three points that prove it not log-concave: for a typed
// density those the library's report carries, for a built-in kind those the
// window finds among the sampler's points (proof_finding.h).
#include <string>
#include <vector>

#include "model/proof_highlight.h"
#include "sampler/hull_geometry.h"
#include "sampler/not_log_concave.h"

class FormulaDensity;
class Reports;
struct DensityState;
struct WindowModel;

// Narrows [xMin, xMax] to where the log-density is within logDrop of its
// highest value, so that a heavy tail's range does not hide its shape and a
// proof lies in view, in readable numbers.
void visibleRange(const FormulaDensity& density, double& xMin, double& xMax, double logDrop = 10);

// The sentence a student can follow for a point below the chord of two others.
std::string proofSentence(const ProofHighlight& proof);

// Records a typed density's refusal from the library's report: its sentence,
// whether it is about the tails' mass, and the proof where it has one. A
// report without points is proved from `evaluated`, the points the sampler
// evaluated (in any order), where three of them show it.
void recordRefusal(DensityState& density, const ars::NotLogConcave& report,
                   const std::vector<ars::detail::HullPoint>& evaluated = {});

// Shows a refused typed density's proof (when the sampler had no envelope
// to show yet), then reports the refusal.
void refuse(WindowModel& model, Reports& reports);

// The refusal as the status line gives it.
std::string otherDensityReport(const DensityState& density);
// The refusal is about the tails' mass, not log-concavity.
bool refusedAsNotIntegrable(const DensityState& density);
