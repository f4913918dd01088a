#pragma once
// A typed density refused as not log-concave may still be concave under
// T(f) = -1/sqrt(f), as heavy tails are (Cauchy, Student t): then the
// refusal offers to sample it that way.
#include "density/density_choice.h"

struct DensityState;

// Whether -1/sqrt(f) is concave on a grid over the plotted range, for a
// typed density refused under log (not for want of a finite mass).
bool inverseSqrtWouldHelp(const DensityState& density);

// The same density under -1/sqrt(f).
DensityChoice underInverseSqrt(const DensityChoice& choice);
