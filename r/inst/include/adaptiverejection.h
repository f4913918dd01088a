#pragma once
// The C++ sampler for packages that say LinkingTo: adaptiverejection.
#include "sampler/log_concave_sampler.h"
