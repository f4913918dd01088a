#pragma once
// Plain rejection beside the adaptive sampler: as many candidates as the
// last throw had darts, under one constant envelope over the plotted range.
struct WindowModel;

// Plain rejection needs a bounded range under one constant envelope.
bool supportIsBounded(const WindowModel& model);
// After a full throw of darts: plain rejection's candidates, shown instead of the darts.
void throwPlainComparison(WindowModel& model);
