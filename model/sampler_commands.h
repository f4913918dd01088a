#pragma once
// The commands that drive the sampler: a throw of darts, the stepping
// display and its replay. What the user must be told goes to `reports` at
// the moment it is met.
class Reports;
struct WindowModel;

void clearDarts(WindowModel& model);
void stopStepping(WindowModel& model);
// The sampler set up afresh for the density shown; throws what the typed
// density's search throws.
void prepareSampler(WindowModel& model);
void throwDarts(WindowModel& model, Reports& reports);
void startStepping(WindowModel& model, Reports& reports);
// One step, or with two beats per step one beat: a new candidate with its
// decision, or the envelope the last rejected one refined.
void nextStep(WindowModel& model, Reports& reports);
// Whole steps whatever the beats, shown at the last one's last beat.
void takeWholeSteps(WindowModel& model, Reports& reports, int count);
void stepUntilAccepted(WindowModel& model, Reports& reports);
// The stepping display one beat earlier (one step with one beat per step), replayed from the state in which
// stepping began: the same uniforms are drawn, so the envelope and the
// random state end as they were after that step.
void stepBack(WindowModel& model, Reports& reports);
// The random source back at its seed and the sampler as a new window starts them.
void restartFromSeed(WindowModel& model);
