#pragma once
// The window's ARSSampler set up for a density beyond the built-in kinds,
// with the library's sound settings (those of LogConcaveSampler): starting
// points from the scale-free search, no slope spreading, exactly integrated
// pieces and the stable inversion. The window keeps ARSSampler itself
// because it draws the sampler's segments.
class ARSDensity;
class ARSSampler;

// Throws ARSSampler::XNotLogConcave when the search proves the density not
// log-concave or not integrable, std::invalid_argument when it meets NaN or
// +infinity.
void prepareTypedSampler(ARSSampler& sampler, ARSDensity& density, double lower, double upper);

// The settings ARSSampler is constructed with, which the built-in kinds keep.
void restoreProgramSettings(ARSSampler& sampler);
