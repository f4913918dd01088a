// adaptive_rejection._core: the engine's LogConcaveSampler for the Python
// package beside it, which checks the arguments and offers the scipy-style
// interface. Nothing here is meant to be called directly.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>

#include "error_messages.h"
#include "fast_calls.h"
#include "python_sampler.h"
#include "python_t_sampler.h"

namespace py = pybind11;

namespace {

// (address, name, context) of a PyCapsule, as scipy.LowLevelCallable keeps
// a C function: the name is the signature, the context the user data.
py::tuple capsuleContents(py::object capsule) {
  if (!PyCapsule_CheckExact(capsule.ptr())) throw py::type_error("expected a PyCapsule");
  const char* name = PyCapsule_GetName(capsule.ptr());
  void* pointer = PyCapsule_GetPointer(capsule.ptr(), name);
  if (pointer == nullptr) throw py::error_already_set();
  void* context = PyCapsule_GetContext(capsule.ptr());
  if (context == nullptr && PyErr_Occurred()) throw py::error_already_set();
  return py::make_tuple(reinterpret_cast<std::uintptr_t>(pointer),
                        name != nullptr ? py::object(py::str(name)) : py::object(py::none()),
                        reinterpret_cast<std::uintptr_t>(context));
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The engine behind adaptive_rejection; use adaptive_rejection.LogConcaveSampler.";
  registerEngineErrors(m);
  m.def("capsule_contents", &capsuleContents);

  using Domain = PythonSampler::Domain;
  py::class_<PythonSampler> sampler(m, "Sampler");
  sampler
      .def_static("from_python",
                  [](py::object f, bool vectorized, double lower, double upper,
                     std::vector<double> starts, py::object bitGenerator) {
                    return PythonSampler::fromPython(std::move(f), vectorized,
                                                     Domain{lower, upper, std::move(starts)},
                                                     std::move(bitGenerator));
                  })
      .def_static("from_c",
                  [](std::uintptr_t address, bool takesData, std::uintptr_t data,
                     py::object keepAlive, double lower, double upper, std::vector<double> starts,
                     py::object bitGenerator) {
                    return PythonSampler::fromC(address, takesData, data, std::move(keepAlive),
                                                Domain{lower, upper, std::move(starts)},
                                                std::move(bitGenerator));
                  })
      .def("copy", &PythonSampler::copy)
      .def("evaluate", &PythonSampler::evaluate)
      .def("fill", &PythonSampler::fill)
      .def_property_readonly("hat_area", &PythonSampler::hatArea)
      .def_property_readonly("squeeze_area", &PythonSampler::squeezeArea)
      .def_property_readonly("squeeze_hat_ratio", &PythonSampler::squeezeHatRatio)
      .def_property_readonly("log_hat_area", &PythonSampler::logHatArea)
      .def_property_readonly("log_squeeze_area", &PythonSampler::logSqueezeArea)
      .def_property_readonly("evaluations", &PythonSampler::evaluations)
      .def_property_readonly("repeatable_draws", &PythonSampler::repeatableDraws)
      .def_property_readonly("n_points", &PythonSampler::points)
      .def_property_readonly("limits", &PythonSampler::limits)
      .def_property_readonly("points", &PythonSampler::pointArrays)
      .def_property_readonly("hull", &PythonSampler::hullArrays)
      .def_property_readonly("squeeze", &PythonSampler::squeezeArrays);
  addFastCalls(m, sampler);  // update, draw, fresh_c

  using Setup = PythonTSampler::Setup;
  const auto transform = [](double c) {
    if (c == 0) return ars::Transform::Log;
    if (c == -0.5) return ars::Transform::InverseSqrt;
    throw py::value_error("c must be 0 (log) or -0.5 (-1/sqrt(f))");
  };
  py::class_<PythonTSampler>(m, "TSampler")
      .def_static("from_python",
                  [transform](py::object f, bool vectorized, double lower, double upper, double c,
                              std::vector<double> splits, std::vector<double> starts, py::object bits,
                              bool automatic, double scanFrom, double scanTo, std::size_t scanPoints) {
                    return PythonTSampler::fromPython(
                        std::move(f),
                        Setup{lower, upper, transform(c), std::move(splits), std::move(starts), vectorized,
                              automatic, scanFrom, scanTo, scanPoints},
                        std::move(bits));
                  })
      .def_static("from_c",
                  [transform](std::uintptr_t address, bool takesData, std::uintptr_t data,
                              py::object keepAlive, double lower, double upper, double c,
                              std::vector<double> splits, std::vector<double> starts, py::object bits,
                              bool automatic, double scanFrom, double scanTo, std::size_t scanPoints) {
                    return PythonTSampler::fromC(
                        address, takesData, data, std::move(keepAlive),
                        Setup{lower, upper, transform(c), std::move(splits), std::move(starts), false,
                              automatic, scanFrom, scanTo, scanPoints},
                        std::move(bits));
                  })
      .def("copy", &PythonTSampler::copy)
      .def("evaluate", &PythonTSampler::evaluate)
      .def("update", &PythonTSampler::update)
      .def("check", &PythonTSampler::check)
      .def("draw", &PythonTSampler::draw)
      .def("fill", &PythonTSampler::fill)
      .def_property_readonly("log_hat_area", &PythonTSampler::logHatArea)
      .def_property_readonly("log_squeeze_area", &PythonTSampler::logSqueezeArea)
      .def_property_readonly("evaluations", &PythonTSampler::evaluations)
      .def_property_readonly("repeatable_draws", &PythonTSampler::repeatableDraws)
      .def_property_readonly("splits", &PythonTSampler::splits)
      .def_property_readonly("limits", &PythonTSampler::limits)
      .def_property_readonly("points", &PythonTSampler::pointArrays)
      .def_property_readonly("hull", &PythonTSampler::hullArrays)
      .def_property_readonly("squeeze", &PythonTSampler::squeezeArrays);
}
