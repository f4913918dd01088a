#pragma once
// The proof behind a not-log-concave report while stepping: the sampler
// reports only when its points with the candidate added hold a point below
// the chord of its two neighbours. That triple, and a sentence a student can follow.
struct WindowModel;

// Sets the stepping display's proof, or clears it when there is none.
void findProof(WindowModel& model);
