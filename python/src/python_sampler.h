#pragma once
// The engine's LogConcaveSampler as the Python module holds it: a log-density
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
#include "sampler/log_concave_sampler.h"

class PythonSampler {
 public:
  struct Domain {
    double lower, upper;
    std::vector<double> starts;
  };

  // A Python callable: called with the GIL held, draws keep the GIL.
  static std::unique_ptr<PythonSampler> fromPython(pybind11::object logpdf, bool vectorized,
                                                   Domain domain, pybind11::object bitGenerator);
  // A C function at `address`: construction releases the GIL, and single
  // draws do unless the function has proved cheap (SamplerGuard::BriefCalls).
  // keepAlive owns the function (and its data) for as long as the sampler.
  static std::unique_ptr<PythonSampler> fromC(std::uintptr_t address, bool takesData,
                                              std::uintptr_t data, pybind11::object keepAlive,
                                              Domain domain, pybind11::object bitGenerator);

  // Makes this sampler of a C function, which nothing else holds, a new
  // sampler of another as fromC would, in place: its engine reset rather
  // than a new one (keeping the GIL where its calls have been cheap).
  void refreshC(std::uintptr_t address, bool takesData, std::uintptr_t data,
                pybind11::object keepAlive, Domain domain, pybind11::object bitGenerator);

  // A sampler of a C function leaves its engine to the next one fromC makes
  // (needs the GIL, as pybind11's deallocation holds it).
  ~PythonSampler();
  PythonSampler(const PythonSampler&) = delete;
  PythonSampler& operator=(const PythonSampler&) = delete;

  // An independent sampler with this one's envelope, counts and log-density,
  // drawing by default from bitGenerator.
  std::unique_ptr<PythonSampler> copy(pybind11::object bitGenerator);

  // logpdf at xs, counted among the evaluations (for the concavity check).
  pybind11::array_t<double> evaluate(pybind11::array_t<double, pybind11::array::c_style |
                                                                   pybind11::array::forcecast> xs);

  // One draw, or out.size() draws into out, from bitGenerator (None: the default).
  double draw(const pybind11::object& bitGenerator);
  // One Gibbs update: the warm path to the log-density's current conditional
  // from start, then one draw; the evaluations count from here on.
  double update(double start, const pybind11::object& bitGenerator);
  void fill(pybind11::array_t<double, pybind11::array::c_style> out,
            const pybind11::object& bitGenerator);

  double hatArea();
  double squeezeArea();
  double squeezeHatRatio();
  double logHatArea();
  double logSqueezeArea();
  std::uint64_t evaluations();
  // Draws from the default generator since construction, or None once a pickle
  // can no longer repeat them (see SamplerGuard::History).
  pybind11::object repeatableDraws();
  std::size_t points();
  pybind11::tuple limits();
  // (x, y) arrays: evaluated points, hull vertices, squeeze vertices.
  pybind11::tuple pointArrays();
  pybind11::tuple hullArrays();
  pybind11::tuple squeezeArrays();

 private:
  using Exclusive = SamplerGuard::Exclusive;
  PythonSampler(std::shared_ptr<const PythonLogDensity> python, LogDensityFunction h,
                pybind11::object keepAlive, pybind11::object bitGenerator, double lower,
                double upper);

  std::shared_ptr<const PythonLogDensity> python_;  // null for a C function
  LogDensityFunction h_;                            // what the engine calls
  pybind11::object keepAlive_;
  std::uint64_t extraEvaluations_ = 0;              // by evaluate
  double lower_, upper_;                            // the domain as given
  std::optional<ars::LogConcaveSampler> sampler_;
  SamplerGuard guard_;
};
