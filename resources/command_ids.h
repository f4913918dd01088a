#pragma once

// Command ids of the menu items and accelerators.
namespace CommandId {
constexpr int exit = 101;
constexpr int normalScale = 111;
constexpr int logScale = 112;
constexpr int firstDensity = 121;  // density kind k is firstDensity - 1 + k
constexpr int lastDensity = 126;
constexpr int throwDarts = 133;
constexpr int startStepping = 134;
constexpr int nextStep = 135;
constexpr int stopStepping = 136;
constexpr int stepUntilAccepted = 137;
constexpr int refresh = 141;
// Saving the picture, and the View pop-up.
constexpr int savePicture = 151;
constexpr int statusBar = 161;
constexpr int animateSteps = 162;
constexpr int largerPoints = 163;
constexpr int wholeEnvelope = 164;
// The lecture hall: rehearsal, animation speed, full screen, help.
constexpr int restartFromSeed = 170;
constexpr int stepBack = 171;
constexpr int fasterAnimation = 172;
constexpr int slowerAnimation = 173;
constexpr int fullScreen = 174;
constexpr int keys = 180;
constexpr int about = 181;
constexpr int howItWorks = 182;
// Other densities, lessons, the histogram and plain rejection.
constexpr int otherDensity = 190;
constexpr int openLesson = 191;
constexpr int saveLesson = 192;
constexpr int histogram = 193;
constexpr int comparePlainRejection = 194;
// Each step in two beats: the candidate with its decision, then the refined envelope.
constexpr int twoBeats = 195;
// The Plot pop-up's scale for densities sampled under T(f) = -1/sqrt(f).
constexpr int tScale = 196;
// While stepping: the accepted candidates under the curve, and plain rejection run beside.
constexpr int acceptedValues = 199;
constexpr int plainBeside = 200;
// Panels that explain the stepping: why the last candidate was decided as it
// was, and the envelope's progress.
constexpr int whyPanel = 201;
constexpr int progressChart = 202;
// After a throw of darts: the envelope the sampler ended with, over them.
constexpr int envelopeAfterDarts = 203;
// The View pop-up's picture for a lecture hall, and the vertical axis held while stepping.
constexpr int projectorTheme = 197;
constexpr int fixedVerticalAxis = 198;
}  // namespace CommandId
