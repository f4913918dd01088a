#include "density/ars_density.h"
