#pragma once
// The density shown: one of the built-in kinds, or a typed one with its
// plotted range, its sampler as the search for starting points left it (the
// search runs once, when the density is chosen) or why the sampler refuses it.
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "density/beta_density.h"
#include "density/density_choice.h"
#include "density/formula_density.h"
#include "density/gamma_density.h"
#include "density/test_density.h"
#include "model/proof_highlight.h"
#include "model/envelope_stepper.h"

// The kind number of a density beyond the built-in kinds 1 to 6.
constexpr std::int32_t otherDensityKind = 7;

struct DensityState {
  std::int32_t kind = 1;
  // The built-in kinds' instances, given to the sampler.
  ARSBetaDensity betaDensity;
  ARSGammaDensity gammaDensity;
  ARSTestDensity testDensity;

  DensityChoice otherChoice;
  std::shared_ptr<const FormulaDensity> otherDensity;  // shared with the choice that parsed it
  double otherXMin = 0.0;  // the plotted range for it, found when it was chosen
  double otherXMax = 1.0;
  // Each start of the sampler copies this; empty when the search failed.
  std::optional<EnvelopeStepper> otherStart;
  // Why the search, or a later command, refused the density: thrown again
  // at every new start.
  std::exception_ptr otherFailure;
  // Why the other density was refused, in a sentence (empty: not refused).
  std::string refusal;
  bool refusedNotIntegrable = false;
  // The three points the sampler's refusal rests on, when it has them.
  std::optional<ProofHighlight> refusalProof;

  bool isOther() const { return kind == otherDensityKind; }
};
