// Log-densities as C functions, for the tests of calls without the interpreter.
// Same operations in the same order as the Python lambdas they are compared to.
#include <chrono>
#include <cmath>

extern "C" {

// From the interpreter that loads this library.
int PyGILState_Check(void);

double standard_normal_logpdf(double x) { return -0.5 * x * x; }

// data points at {mean, sd}.
double normal_logpdf_with_data(double x, void* data) {
  const double* p = static_cast<const double*>(data);
  const double z = (x - p[0]) / p[1];
  return -0.5 * z * z;
}

double gamma3_logpdf(double x) { return x <= 0 ? -INFINITY : 2.0 * std::log(x) - x; }

// -x^2 / 2 after spinning for *data microseconds; counts its calls, and
// those made holding the GIL.
static long probeCalls = 0, probeHeld = 0;
double gil_probe_logpdf(double x, void* data) {
  const auto until = std::chrono::steady_clock::now() +
                     std::chrono::duration<double, std::micro>(*static_cast<const double*>(data));
  while (std::chrono::steady_clock::now() < until) {
  }
  ++probeCalls;
  probeHeld += PyGILState_Check();
  return -0.5 * x * x;
}
long gil_probe_calls(void) { return probeCalls; }
long gil_probe_held(void) { return probeHeld; }
void gil_probe_reset(void) { probeCalls = probeHeld = 0; }

}
