#pragma once

// Natural logarithm of the gamma function for x > 0. A non-positive argument
// writes one error line to standard error and yields 0.0; a NaN is returned as is.
double gamln(double x);
