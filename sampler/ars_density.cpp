#include "sampler/ars_density.h"
