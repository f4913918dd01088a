#pragma once
// n draws into a new numeric vector from R's generator, checking for an
// interrupt between blocks of draws.
#include <Rinternals.h>

#include <cstddef>

#include "sampler/log_concave_sampler.h"

SEXP drawVector(ars::LogConcaveSampler& sampler, std::size_t n);
