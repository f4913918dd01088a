#include "model/window_model.h"

#include "model/density_curve.h"

WindowModel::WindowModel() {
  rebuildDensityCurve(*this);
  rnd.seed = fixedSeed;
  rnd.state = fixedSeed;
  sampler.prnd = &rnd;
}
