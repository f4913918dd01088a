#pragma once
// The engine's messages as a Python user reads them: the argument is
// `logpdf`, not the C++ parameter `logDensity`, and a NaN prints as "nan"
// whatever its sign bit (printf gives "-nan").
#include <pybind11/pybind11.h>

#include <string>

std::string pythonMessage(std::string message);

// NotLogConcaveError (a ValueError) in module m, and a translator that turns
// the engine's exceptions into Python ones with pythonMessage's wording.
void registerEngineErrors(pybind11::module_& m);
