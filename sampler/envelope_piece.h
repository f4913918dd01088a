#pragma once
// One piece of an envelope as a picture needs it: on [left, right] (either
// may be infinite), lines in the sampler's transformed scale T (under
// T = log f, T is the log-density h itself): the hull, and the squeeze where
// the piece has one (the tails towards an unbounded end have none).
#include "sampler/transformed_line.h"

namespace ars::detail {

struct EnvelopePiece {
  double left = 0.0;
  double right = 0.0;
  Line hull;
  bool hasSqueeze = false;
  Line squeeze;
};

}  // namespace ars::detail
