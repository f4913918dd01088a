#pragma once
// The proof behind a not-log-concave report while stepping. A typed
// density's report carries its three points (recorded with the refusal);
// the built-in kinds' sampler reports only when its points with the
// candidate added hold a point below the chord of its two neighbours, and
// that triple is found here.
struct WindowModel;

// Sets the stepping display's proof, or clears it when there is none.
void findProof(WindowModel& model);
