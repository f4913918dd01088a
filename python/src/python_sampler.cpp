#include "python_sampler.h"

#include <algorithm>
#include <utility>

namespace py = pybind11;

namespace {

// Draws between two looks at pending signals (Ctrl+C) in a long batch.
constexpr std::size_t chunk = std::size_t{1} << 16;

py::tuple asArrays(const std::vector<double>& x, const std::vector<double>& y) {
  return py::make_tuple(py::array_t<double>(static_cast<py::ssize_t>(x.size()), x.data()),
                        py::array_t<double>(static_cast<py::ssize_t>(y.size()), y.data()));
}

void checkSignals() {
  if (PyErr_CheckSignals() != 0) throw py::error_already_set();
}

}  // namespace

// One thread at a time per sampler. Waiting happens without the GIL, so the
// thread that holds the sampler can finish; a logpdf that reaches back into
// its own sampler is refused rather than deadlocked.
class PythonSampler::Exclusive {
 public:
  explicit Exclusive(PythonSampler& s) : s_(s) {
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
  PythonSampler& s_;
};

PythonSampler::PythonSampler(std::shared_ptr<const PythonLogDensity> python, LogDensityFunction h,
                             py::object keepAlive, py::object bitGenerator)
    : python_(std::move(python)),
      h_(std::move(h)),
      keepAlive_(std::move(keepAlive)),
      defaultBits_(std::move(bitGenerator)) {}

std::unique_ptr<PythonSampler> PythonSampler::fromPython(py::object logpdf, bool vectorized,
                                                         Domain domain, py::object bitGenerator) {
  auto density = std::make_shared<PythonLogDensity>();
  density->function = std::move(logpdf);
  density->vectorized = vectorized;
  LogDensityFunction h = pythonLogDensity(density);
  std::unique_ptr<PythonSampler> s(new PythonSampler(density, h, py::none(), std::move(bitGenerator)));
  if (vectorized) evaluateAhead(*density, domain.starts);
  CallContext context;
  propagatingCallbackErrors(context, [&] {
    s->sampler_.emplace(std::move(h), domain.lower, domain.upper, domain.starts);
  });
  density->known.clear();
  return s;
}

std::unique_ptr<PythonSampler> PythonSampler::fromC(std::uintptr_t address, bool takesData,
                                                    std::uintptr_t data, py::object keepAlive,
                                                    Domain domain, py::object bitGenerator) {
  if (address == 0) throw py::value_error("the C function's address is null");
  LogDensityFunction h = cLogDensity(address, takesData, data);
  std::unique_ptr<PythonSampler> s(new PythonSampler(nullptr, h, std::move(keepAlive), std::move(bitGenerator)));
  py::gil_scoped_release unlocked;
  s->sampler_.emplace(std::move(h), domain.lower, domain.upper, domain.starts);
  return s;
}

std::unique_ptr<PythonSampler> PythonSampler::copy(py::object bitGenerator) {
  Exclusive exclusive(*this);
  std::unique_ptr<PythonSampler> s(new PythonSampler(python_, h_, keepAlive_, std::move(bitGenerator)));
  s->sampler_.emplace(*sampler_);
  s->extraEvaluations_ = extraEvaluations_;
  return s;
}

py::array_t<double> PythonSampler::evaluate(
    py::array_t<double, py::array::c_style | py::array::forcecast> xs) {
  Exclusive exclusive(*this);
  py::array_t<double> out(xs.size());
  const double* x = xs.data();
  double* y = out.mutable_data();
  CallContext context;
  propagatingCallbackErrors(context, [&] {
    for (py::ssize_t i = 0; i < xs.size(); ++i) {
      y[i] = h_(x[i]);
      ++extraEvaluations_;
    }
  });
  return out;
}

// Runs drawWith(bits) holding the sampler and the bit generator's lock. A C
// log-density draws without the GIL; a Python one lets go of the generator's
// lock while it runs.
template <class F>
decltype(auto) PythonSampler::withDrawSource(const py::object& bitGenerator, F&& drawWith) {
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

double PythonSampler::draw(const py::object& bitGenerator) {
  return withDrawSource(bitGenerator, [&](NumpyBits& bits, bool withoutGil) {
    if (!withoutGil) return sampler_->sample(bits);
    py::gil_scoped_release unlocked;
    return sampler_->sample(bits);
  });
}

void PythonSampler::fill(py::array_t<double, py::array::c_style> out, const py::object& bitGenerator) {
  double* p = out.mutable_data();
  const std::size_t n = static_cast<std::size_t>(out.size());
  withDrawSource(bitGenerator, [&](NumpyBits& bits, bool withoutGil) {
    for (std::size_t i = 0; i < n; i += chunk) {
      const std::size_t m = std::min(chunk, n - i);
      if (withoutGil) {
        py::gil_scoped_release unlocked;
        sampler_->sample(bits, p + i, m);
      } else {
        sampler_->sample(bits, p + i, m);
      }
      checkSignals();
    }
  });
}

double PythonSampler::hatArea() { Exclusive e(*this); return sampler_->hatArea(); }
double PythonSampler::squeezeArea() { Exclusive e(*this); return sampler_->squeezeArea(); }
double PythonSampler::squeezeHatRatio() { Exclusive e(*this); return sampler_->squeezeHatRatio(); }
double PythonSampler::logHatArea() { Exclusive e(*this); return sampler_->logHatArea(); }
double PythonSampler::logSqueezeArea() { Exclusive e(*this); return sampler_->logSqueezeArea(); }
std::uint64_t PythonSampler::evaluations() {
  Exclusive e(*this);
  return sampler_->counts().evaluations + extraEvaluations_;
}
std::size_t PythonSampler::points() { Exclusive e(*this); return sampler_->points(); }

py::tuple PythonSampler::limits() {
  Exclusive e(*this);
  return py::make_tuple(sampler_->lowerLimit(), sampler_->upperLimit());
}

py::tuple PythonSampler::pointArrays() {
  Exclusive e(*this);
  const ars::Envelope v = sampler_->envelope();
  return asArrays(v.x, v.h);
}

py::tuple PythonSampler::hullArrays() {
  Exclusive e(*this);
  const ars::Envelope v = sampler_->envelope();
  return asArrays(v.hullX, v.hullY);
}

py::tuple PythonSampler::squeezeArrays() {
  Exclusive e(*this);
  const ars::Envelope v = sampler_->envelope();
  return asArrays(v.squeezeX, v.squeezeY);
}
