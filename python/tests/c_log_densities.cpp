// Log-densities as C functions, for the tests of calls without the interpreter.
// Same operations in the same order as the Python lambdas they are compared to.
#include <cmath>

extern "C" {

double standard_normal_logpdf(double x) { return -0.5 * x * x; }

// data points at {mean, sd}.
double normal_logpdf_with_data(double x, void* data) {
  const double* p = static_cast<const double*>(data);
  const double z = (x - p[0]) / p[1];
  return -0.5 * z * z;
}

double gamma3_logpdf(double x) { return x <= 0 ? -INFINITY : 2.0 * std::log(x) - x; }

}
