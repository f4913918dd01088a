#pragma once
// A step in two beats: first the candidate against the envelope it was
// drawn under, with its decision, then the envelope refined by it. Only a
// rejection refines the envelope, so only a rejected step has a second
// beat; an accepted step is whole at its first. The sampler steps at the
// first beat exactly as it does with one beat per step: a beat is only
// what the window shows.
#include <optional>
#include <vector>

#include "model/envelope_shape.h"
#include "sampler/ars.h"
#include "sampler/envelope_piece.h"

class EnvelopeStepper;
struct WindowModel;

// The envelope a step's candidate was drawn under, as it is drawn.
struct StepBeat {
  std::vector<HullPoint> points;
  std::vector<EnvelopeSegment> segments;
  // A typed density's: its evaluated points and its pieces in T.
  std::vector<HullPoint> typedPoints;
  std::vector<ars::detail::EnvelopePiece> typedPieces;
  // The window shows the last step's candidate against these.
  bool candidateShown = false;
};

// Kept before every step: the copies reuse their storage.
void rememberEnvelope(StepBeat& beat, const ARSSampler& sampler);
void rememberEnvelope(StepBeat& beat, const EnvelopeStepper& typed);

// True while the last step's candidate is shown with its decision.
bool candidateBeatShown(const WindowModel& model);
// The envelope the stepping display draws: the one the shown candidate was
// drawn under, otherwise the sampler's.
EnvelopeShape shownEnvelope(const WindowModel& model);
// The same for a typed density: its points, and its pieces in T (none while
// it is refused).
const std::vector<HullPoint>& shownTypedPoints(const WindowModel& model);
std::vector<ars::detail::EnvelopePiece> shownTypedPieces(const WindowModel& model);
// With two beats per step, at the second beat of a rejection: the point the
// candidate became, at the density's height, which the window rings.
std::optional<HullPoint> pointJustAdded(const WindowModel& model);
// Next step shows the second beat of the shown step (no new draw).
bool secondBeatDue(const WindowModel& model);
// Step back shows the first beat of the shown step (no replay).
bool firstBeatBehind(const WindowModel& model);
// The step just taken or replayed at its last beat: an accepted candidate
// stays in view, a rejected one has become a point of the refined envelope.
void showLastBeat(WindowModel& model);
