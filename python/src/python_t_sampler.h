#pragma once
// The engine's TConcaveSampler as the Python module holds it: a log-density
// from Python or C, a default numpy bit generator, and a lock that keeps two
// Python threads from driving one sampler at once.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "log_density_source.h"
#include "numpy_bit_generator.h"
#include "sampler_guard.h"
#include "sampler/t_concave_sampler.h"

class PythonTSampler {
 public:
  struct Setup {
    double lower, upper;
    ars::Transform transform;
    std::vector<double> splits, starts;
    bool vectorized = false;  // a Python callable that takes arrays
    bool automatic = false;   // split points found from the evaluations (splits ignored)
    double scanFrom = 0, scanTo = 0;
    std::size_t scanPoints = 0;  // 0: no scan (automatic only)
  };

  // A Python callable: called with the GIL held, draws keep the GIL.
  static std::unique_ptr<PythonTSampler> fromPython(pybind11::object logpdf, Setup setup,
                                                    pybind11::object bitGenerator);
  // A C function at `address`: construction releases the GIL, and single
  // draws do unless the function has proved cheap (SamplerGuard::BriefCalls).
  static std::unique_ptr<PythonTSampler> fromC(std::uintptr_t address, bool takesData,
                                               std::uintptr_t data, pybind11::object keepAlive,
                                               Setup setup, pybind11::object bitGenerator);
  std::unique_ptr<PythonTSampler> copy(pybind11::object bitGenerator);

  // logpdf at xs, counted among the evaluations (for the checks of the Python layer).
  pybind11::array_t<double> evaluate(pybind11::array_t<double, pybind11::array::c_style |
                                                                   pybind11::array::forcecast> xs);

  // The engine's check: n more points at quantiles of the hat, joined to the
  // envelope; NotLogConcaveError if the points prove the density outside the class.
  void check(std::size_t n);

  double draw(const pybind11::object& bitGenerator);
  // One Gibbs update: the warm path to the log-density's current conditional
  // from start (the same domain and splits, or automatic splits and scan), then one draw.
  double update(double start, const pybind11::object& bitGenerator);
  void fill(pybind11::array_t<double, pybind11::array::c_style> out,
            const pybind11::object& bitGenerator);

  double logHatArea();
  double logSqueezeArea();
  std::uint64_t evaluations();
  std::vector<double> splits();  // given, or found so far
  // Draws from the default generator since construction, or None once a pickle
  // can no longer repeat them (see SamplerGuard::History).
  pybind11::object repeatableDraws();
  pybind11::tuple limits();
  pybind11::tuple pointArrays();  // (x, logpdf there)
  // (x, y) vertices in log units of the hat and the squeeze.
  pybind11::tuple hullArrays();
  pybind11::tuple squeezeArrays();

 private:
  using Exclusive = SamplerGuard::Exclusive;
  PythonTSampler(bool python, LogDensityFunction h, pybind11::object keepAlive,
                 pybind11::object bitGenerator, const Setup& setup);
  // The engine for setup: its splits, then its scan.
  static void build(std::optional<ars::TConcaveSampler>& sampler, LogDensityFunction h,
                    const Setup& setup);

  bool python_;
  LogDensityFunction h_;
  pybind11::object keepAlive_;
  std::uint64_t extraEvaluations_ = 0;  // by evaluate
  double lower_, upper_;                // the domain as given
  std::vector<double> splits_;          // as given
  bool automatic_;
  std::optional<ars::TConcaveSampler> sampler_;
  SamplerGuard guard_;
};
