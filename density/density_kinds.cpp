#include "density/density_kinds.h"

namespace {

constexpr DensityKind kinds[] = {
    {1, DensityInstance::Beta, 2.0, 3.0, true},  {2, DensityInstance::Beta, 0.5, 2.0, true},
    {3, DensityInstance::Gamma, 1.0, 1.0, false}, {4, DensityInstance::Gamma, 10.0, 0.1, false},
    {5, DensityInstance::Gamma, 0.5, 2.0, false}, {6, DensityInstance::Test, 0.0, 0.0, true},
};

}  // namespace

const DensityKind& densityKindRow(int kind) {
  if (kind < firstDensityKind || kind > lastDensityKind) return kinds[0];
  return kinds[kind - firstDensityKind];
}
