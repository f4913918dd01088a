#include "python_t_sampler.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace py = pybind11;

namespace {

// Draws between two looks at pending signals (Ctrl+C) in a long batch.
constexpr std::size_t chunk = std::size_t{1} << 16;

}  // namespace

// One thread at a time per sampler; waiting happens without the GIL, and a
// logpdf that reaches back into its own sampler is refused, not deadlocked.
class PythonTSampler::Exclusive {
 public:
  explicit Exclusive(PythonTSampler& s) : s_(s) {
    if (s_.owner_.load() == std::this_thread::get_id())
      throw std::runtime_error("a sampler cannot be used from inside its own logpdf");
    if (!s_.mutex_.try_lock()) {
      py::gil_scoped_release unlocked;
      s_.mutex_.lock();
    }
    s_.owner_.store(std::this_thread::get_id());
  }
  ~Exclusive() {
    s_.owner_.store(std::thread::id());
    s_.mutex_.unlock();
  }
  Exclusive(const Exclusive&) = delete;
  Exclusive& operator=(const Exclusive&) = delete;

 private:
  PythonTSampler& s_;
};

PythonTSampler::PythonTSampler(bool python, LogDensityFunction h, py::object keepAlive,
                               py::object bitGenerator)
    : python_(python), h_(std::move(h)), keepAlive_(std::move(keepAlive)),
      defaultBits_(std::move(bitGenerator)) {}

std::unique_ptr<PythonTSampler> PythonTSampler::fromPython(py::object logpdf, Setup setup,
                                                           py::object bitGenerator) {
  auto density = std::make_shared<PythonLogDensity>();
  density->function = std::move(logpdf);
  LogDensityFunction h = pythonLogDensity(density);
  std::unique_ptr<PythonTSampler> s(new PythonTSampler(true, h, py::none(), std::move(bitGenerator)));
  CallContext context;
  propagatingCallbackErrors(context, [&] {
    s->sampler_.emplace(std::move(h), setup.lower, setup.upper, setup.transform, setup.splits,
                        setup.starts);
  });
  return s;
}

std::unique_ptr<PythonTSampler> PythonTSampler::fromC(std::uintptr_t address, bool takesData,
                                                      std::uintptr_t data, py::object keepAlive,
                                                      Setup setup, py::object bitGenerator) {
  if (address == 0) throw py::value_error("the C function's address is null");
  LogDensityFunction h = cLogDensity(address, takesData, data);
  std::unique_ptr<PythonTSampler> s(
      new PythonTSampler(false, h, std::move(keepAlive), std::move(bitGenerator)));
  py::gil_scoped_release unlocked;
  s->sampler_.emplace(std::move(h), setup.lower, setup.upper, setup.transform, setup.splits,
                      setup.starts);
  return s;
}

std::unique_ptr<PythonTSampler> PythonTSampler::copy(py::object bitGenerator) {
  Exclusive exclusive(*this);
  std::unique_ptr<PythonTSampler> s(new PythonTSampler(python_, h_, keepAlive_, std::move(bitGenerator)));
  s->sampler_.emplace(*sampler_);
  return s;
}

// Runs drawWith(bits, withoutGil) holding the sampler and the bit generator's
// lock; a Python log-density lets go of the generator's lock while it runs.
template <class F>
decltype(auto) PythonTSampler::withDrawSource(const py::object& bitGenerator, F&& drawWith) {
  std::optional<BitSource> given;
  if (!bitGenerator.is_none()) given.emplace(bitGenerator);
  const BitSource& source = given ? *given : defaultBits_;
  Exclusive exclusive(*this);
  BitLockHold locked(source.lock());
  NumpyBits bits(source.bits());
  if (!python_) return drawWith(bits, true);
  CallContext context;
  context.heldLock = source.lock().ptr();
  return propagatingCallbackErrors(context, [&] { return drawWith(bits, false); });
}

double PythonTSampler::draw(const py::object& bitGenerator) {
  return withDrawSource(bitGenerator, [&](NumpyBits& bits, bool withoutGil) {
    if (!withoutGil) return sampler_->sample(bits);
    py::gil_scoped_release unlocked;
    return sampler_->sample(bits);
  });
}

void PythonTSampler::fill(py::array_t<double, py::array::c_style> out, const py::object& bitGenerator) {
  double* p = out.mutable_data();
  const std::size_t n = static_cast<std::size_t>(out.size());
  withDrawSource(bitGenerator, [&](NumpyBits& bits, bool withoutGil) {
    for (std::size_t i = 0; i < n; i += chunk) {
      const std::size_t end = std::min(n, i + chunk);
      if (withoutGil) {
        py::gil_scoped_release unlocked;
        sampler_->sample(bits, p + i, end - i);
      } else {
        sampler_->sample(bits, p + i, end - i);
      }
      if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    }
  });
}

double PythonTSampler::logHatArea() { Exclusive e(*this); return sampler_->logHatArea(); }
double PythonTSampler::logSqueezeArea() { Exclusive e(*this); return sampler_->logSqueezeArea(); }
std::uint64_t PythonTSampler::evaluations() { Exclusive e(*this); return sampler_->evaluations(); }

py::tuple PythonTSampler::limits() {
  Exclusive e(*this);
  return py::make_tuple(sampler_->lowerLimit(), sampler_->upperLimit());
}

py::tuple PythonTSampler::pointArrays() {
  Exclusive e(*this);
  const std::vector<double> x = sampler_->evaluatedPoints();
  const std::vector<double> h = sampler_->evaluatedLogDensities();
  return py::make_tuple(py::array_t<double>(static_cast<py::ssize_t>(x.size()), x.data()),
                        py::array_t<double>(static_cast<py::ssize_t>(h.size()), h.data()));
}
