#pragma once
// The shared library's interface: plain C++14, nothing of the engine.
#if defined(NORMAL_TAIL_BUILDING)
#define NORMAL_TAIL_API __attribute__((visibility("default")))
#else
#define NORMAL_TAIL_API
#endif

// The mean of n draws of a standard normal beyond a, from the given seed.
NORMAL_TAIL_API double normalTailMean(double a, int n, unsigned long long seed);
