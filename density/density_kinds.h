#pragma once

// The six density kinds the program offers. Their menu items and command ids
// (kind k has 120 + k; kinds 2, 3 and 5 have no menu item) are the menu
// table's alone.
enum class DensityInstance { Beta, Gamma, Test };

struct DensityKind {
  int kind;
  DensityInstance instance;
  double alpha;  // parameters written into the Beta or Gamma instance
  double beta;
  bool upperBounded;  // false: support (0, infinity)
};

constexpr int firstDensityKind = 1;
constexpr int lastDensityKind = 6;

// The row of kind 1..6; any other value yields the row of kind 1.
const DensityKind& densityKindRow(int kind);
