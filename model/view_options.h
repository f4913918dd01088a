#pragma once
// How the picture is shown: none of these changes the sampler or its darts.

// How the picture is coloured and laid out: the classic picture, or one for
// a lecture hall (display/plot_theme.h).
enum class PlotTheme { classic, projector };

struct ViewOptions {
  bool logScale = false;
  bool largerPoints = false;
  bool histogramShown = false;
  bool statusBarShown = true;
  bool fullScreen = false;
  int animationSpeed = 2;  // index into animationIntervals
  // The vertical range holds the upper hull too, up to a cap (window_picture.cpp).
  bool wholeEnvelope = false;
  // Each step in two beats: the candidate against the envelope it was drawn
  // under, then the refined envelope (model/step_beat.h).
  bool twoBeats = false;
  // The vertical axis in T(f) = -1/sqrt(f), where the envelope of a density
  // sampled under that transformation is straight. Normal, log and T are one
  // choice: logScale keeps the normal or log scale while T is chosen, for the
  // densities that have no T scale (see tScaleShown).
  bool tScale = false;
  // While stepping: every accepted candidate so far as a rug under the curve.
  bool acceptedValues = false;
  // While stepping: plain rejection stepped beside the adaptive sampler, in two panels.
  bool plainBeside = false;
  // Panels beside or below the plot: the numbers and the inequality that
  // decided the last candidate, and the envelope's progress step by step.
  bool whyPanel = false;
  bool progressChart = false;
  // After a throw: the envelope the sampler ended with, over the darts.
  bool envelopeAfterDarts = false;
  PlotTheme theme = PlotTheme::classic;
  // While stepping, the vertical range holds where it was when stepping
  // started (or the option was turned on), growing only; the y axis is labelled.
  bool fixedAxis = false;
};

// Animation intervals in milliseconds, from slowest to fastest; a new
// window animates at animationIntervals[2].
constexpr int animationIntervals[] = {2000, 1000, 500, 250, 125, 60};

int animationInterval(const ViewOptions& view);
// One step faster (faster = 1) or slower (-1), kept within the intervals.
void changeAnimationSpeed(ViewOptions& view, int faster);
