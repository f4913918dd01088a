#pragma once
// The C functions that the package registers with R_RegisterCCallable: the
// sampler itself lives in adaptiverejection.so, and other packages reach it
// through these, never by linking against it. Use the C++ class in
// <adaptiverejection.h> rather than these.
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// What a call ended with; message holds the reason for anything but OK.
enum adaptiverejection_status {
  ADAPTIVEREJECTION_OK = 0,
  ADAPTIVEREJECTION_INVALID_ARGUMENT = 1,  // bad support, start, or log-density value
  ADAPTIVEREJECTION_NOT_LOG_CONCAVE = 2,   // proved not log-concave or not integrable
  ADAPTIVEREJECTION_OTHER = 3              // out of memory, internal error
};

typedef double (*adaptiverejection_logpdf)(double x, void* data);
typedef uint64_t (*adaptiverejection_bits)(void* generator);

// A new sampler, or NULL with *status and message set.
typedef void* (*adaptiverejection_new_fn)(adaptiverejection_logpdf logpdf, void* data,
                                          double lower, double upper, const double* starts,
                                          size_t nstarts, int* status, char* message,
                                          size_t message_size);
// count draws into out, each uniform from 64 bits of bits(generator).
typedef int (*adaptiverejection_sample_fn)(void* sampler, adaptiverejection_bits bits,
                                           void* generator, double* out, size_t count,
                                           char* message, size_t message_size);
// The T-concave sampler: c is 0 (T = log f) or -0.5 (T = -1/sqrt(f)),
// splits the increasing points strictly inside (lower, upper) where T(f)
// turns between concave and convex. Its sample and delete functions have the
// types above.
typedef void* (*adaptiverejection_tnew_fn)(adaptiverejection_logpdf logpdf, void* data,
                                           double lower, double upper, double c,
                                           const double* splits, size_t nsplits,
                                           const double* starts, size_t nstarts, int* status,
                                           char* message, size_t message_size);
// hat area, squeeze area, evaluations of logpdf, points of the envelope; the
// T-concave sampler's has the logarithms of the two areas before the counts
// (six values).
typedef void (*adaptiverejection_state_fn)(const void* sampler, double* state);
typedef void (*adaptiverejection_delete_fn)(void* sampler);

#ifdef __cplusplus
}
#endif
