#pragma once
// The density interface is the sampler's own; densities and their users
// include it from here as well.
#include "sampler/ars_density.h"
