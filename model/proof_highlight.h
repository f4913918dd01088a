#pragma once
// The proof that a density is not log-concave, as a plain record the picture
// shows: a point below the chord of its two neighbours (abscissae and log
// densities, as the sampler holds them) and the sentence that says so.
#include <string>

struct ProofHighlight {
  double leftX = 0.0, leftH = 0.0;
  double belowX = 0.0, belowH = 0.0;
  double rightX = 0.0, rightH = 0.0;
  std::string sentence;
  // Found before the sampler had an envelope to show: by its search for
  // starting points, or by an earlier command that refused the density.
  bool fromCurve = false;
};
