#pragma once
// The exact curve of the selected density, shifted so that its largest log
// value is 50, on the log or the normal scale.
struct WindowModel;

void rebuildDensityCurve(WindowModel& model);
// Only a density sampled under T(f) = -1/sqrt(f) has a T scale; the others
// keep the log or normal scale while T is chosen.
bool tScaleAvailable(const WindowModel& model);
bool tScaleShown(const WindowModel& model);
