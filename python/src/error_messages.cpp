#include "error_messages.h"

#include <stdexcept>
#include <string_view>

#include "sampler/not_log_concave.h"

namespace py = pybind11;

namespace {

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
}

}  // namespace

std::string pythonMessage(std::string message) {
  replaceAll(message, "logDensity", "logpdf");
  replaceAll(message, "-nan", "nan");
  return message;
}

void registerEngineErrors(py::module_& m) {
  // Kept for the life of the interpreter, as pybind11's register_exception does.
  static py::exception<ars::NotLogConcave> notLogConcave(m, "NotLogConcaveError", PyExc_ValueError);
  py::register_exception_translator([](std::exception_ptr p) {
    if (!p) return;
    try {
      std::rethrow_exception(p);
    } catch (const py::builtin_exception&) {
      throw;  // raised as the Python exception it names, by pybind11
    } catch (const ars::NotLogConcave& e) {
      notLogConcave(pythonMessage(e.what()).c_str());
    } catch (const std::invalid_argument& e) {
      PyErr_SetString(PyExc_ValueError, pythonMessage(e.what()).c_str());
    } catch (const std::domain_error& e) {
      PyErr_SetString(PyExc_ValueError, pythonMessage(e.what()).c_str());
    } catch (const std::length_error& e) {
      PyErr_SetString(PyExc_ValueError, pythonMessage(e.what()).c_str());
    } catch (const std::runtime_error& e) {
      PyErr_SetString(PyExc_RuntimeError, pythonMessage(e.what()).c_str());
    }
  });
}
