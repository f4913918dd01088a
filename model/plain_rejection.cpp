#include "model/plain_rejection.h"

#include <cmath>

#include "sampler/uniform_random.h"

void PlainRejection::clear() {
  acceptedX.clear();
  acceptedY.clear();
  rejectedX.clear();
  rejectedY.clear();
  evaluations = 0;
  lastAccepted = false;
  xMin = xMax = 0.0;
  rangeCutsSupport = false;
  massLeftOut = 0.0;
}

void throwPlainRejection(PlainRejection& result, const std::function<double(double)>& logDensity,
                         double xMin, double xMax, double logTop, std::size_t darts, std::size_t maxCandidates,
                         UniformRandom& rnd, const std::function<double(double)>& plotted) {
  result.clear();
  result.xMin = xMin;
  result.xMax = xMax;
  for (std::size_t i = 0; i < maxCandidates && result.acceptedX.size() < darts; ++i) {
    const double x = xMin + (xMax - xMin) * rnd.next();
    const double logHeight = logTop + std::log(rnd.next());
    ++result.evaluations;
    const bool accepted = logHeight <= logDensity(x);
    result.lastAccepted = accepted;
    (accepted ? result.acceptedX : result.rejectedX).push_back(x);
    (accepted ? result.acceptedY : result.rejectedY).push_back(plotted(logHeight));
  }
}
