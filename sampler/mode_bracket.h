#pragma once
// Points around the highest value of a unimodal log-density h, at any scale
// and from any distance: steps double away from the highest point evaluated
// so far until h falls on both sides, then the bracket shrinks (a parabola's
// vertex and the golden section in turn) until h at its outer points lies
// within `drop` of the middle. Only differences of h are compared, so a
// density of width 1e-8 at 1e3 is found from 0 as fast as one of width 1.
// A density that is not unimodal gives a bracket of a local maximum, which
// the caller's envelope will prove wrong; every call ends.
#include <functional>
#include <vector>

namespace ars::detail {

struct Evaluated {
  double x, h;
};

// known: points evaluated so far, ascending in x, at least one with finite h;
// (lower, upper) the open support. Returns the points it evaluated.
std::vector<Evaluated> bracketMode(const std::function<double(double)>& h, double lower, double upper,
                                   const std::vector<Evaluated>& known, double drop);

}  // namespace ars::detail
