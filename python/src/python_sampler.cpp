#include "python_sampler.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace py = pybind11;

namespace {

py::tuple asArrays(const std::vector<double>& x, const std::vector<double>& y) {
  return py::make_tuple(py::array_t<double>(static_cast<py::ssize_t>(x.size()), x.data()),
                        py::array_t<double>(static_cast<py::ssize_t>(y.size()), y.data()));
}

// The engine of the last sampler of a C function let go: a fresh sampler
// resets it, which rebuilds what its constructor would in the buffers
// already there (a Gibbs loop makes one sampler per update). Only C
// functions' engines are kept: a Python callable must not outlive its
// sampler, nor be let go without the GIL. Used with the GIL held.
std::optional<ars::LogConcaveSampler>& spareEngine() {
  static auto* spare = new std::optional<ars::LogConcaveSampler>();  // outlives the interpreter
  return *spare;
}

}  // namespace

PythonSampler::~PythonSampler() {
  if (python_ == nullptr && sampler_ && !spareEngine()) spareEngine() = std::move(sampler_);
}

PythonSampler::PythonSampler(std::shared_ptr<const PythonLogDensity> python, LogDensityFunction h,
                             py::object keepAlive, py::object bitGenerator, double lower,
                             double upper)
    : python_(std::move(python)),
      h_(std::move(h)),
      keepAlive_(std::move(keepAlive)),
      lower_(lower),
      upper_(upper),
      guard_(std::move(bitGenerator), python_ != nullptr) {}

std::unique_ptr<PythonSampler> PythonSampler::fromPython(py::object logpdf, bool vectorized,
                                                         Domain domain, py::object bitGenerator) {
  auto density = std::make_shared<PythonLogDensity>();
  density->function = std::move(logpdf);
  density->vectorized = vectorized;
  LogDensityFunction h = pythonLogDensity(density);
  std::unique_ptr<PythonSampler> s(
      new PythonSampler(density, h, py::none(), std::move(bitGenerator), domain.lower, domain.upper));
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
  std::unique_ptr<PythonSampler> s(new PythonSampler(nullptr, h, std::move(keepAlive),
                                                     std::move(bitGenerator), domain.lower, domain.upper));
  std::optional<ars::LogConcaveSampler> spare = std::move(spareEngine());
  spareEngine().reset();
  py::gil_scoped_release unlocked;
  if (spare) {
    spare->reset(std::move(h), domain.lower, domain.upper, domain.starts);
    s->sampler_ = std::move(spare);
  } else {
    s->sampler_.emplace(std::move(h), domain.lower, domain.upper, domain.starts);
  }
  return s;
}

void PythonSampler::refreshC(std::uintptr_t address, bool takesData, std::uintptr_t data,
                             py::object keepAlive, Domain domain, py::object bitGenerator) {
  if (address == 0) throw py::value_error("the C function's address is null");
  if (python_ != nullptr || !sampler_) throw std::logic_error("refreshC() of a sampler not made by fromC()");
  LogDensityFunction h = cLogDensity(address, takesData, data);
  h_ = h;
  keepAlive_ = std::move(keepAlive);
  extraEvaluations_ = 0;
  lower_ = domain.lower;
  upper_ = domain.upper;
  guard_.restart(std::move(bitGenerator));
  // The last fresh sampler's memory of how long its calls took stays: a
  // Gibbs loop of fresh samplers calls the same log-density.
  guard_.briefly(*sampler_, true, [&] { sampler_->reset(std::move(h), domain.lower, domain.upper, domain.starts); });
}

std::unique_ptr<PythonSampler> PythonSampler::copy(py::object bitGenerator) {
  Exclusive exclusive(guard_);
  std::unique_ptr<PythonSampler> s(
      new PythonSampler(python_, h_, keepAlive_, std::move(bitGenerator), lower_, upper_));
  s->sampler_.emplace(*sampler_);
  s->guard_.setHistory(guard_.historyHeld());
  s->extraEvaluations_ = extraEvaluations_;
  return s;
}

py::array_t<double> PythonSampler::evaluate(
    py::array_t<double, py::array::c_style | py::array::forcecast> xs) {
  Exclusive exclusive(guard_);
  return evaluateCounted(h_, xs, extraEvaluations_);
}

double PythonSampler::draw(const py::object& bitGenerator) { return guard_.draw(*sampler_, bitGenerator); }

double PythonSampler::update(double start, const py::object& bitGenerator) {
  return guard_.drawAfter(*sampler_, bitGenerator, [&](ars::LogConcaveSampler& s) {
    extraEvaluations_ = 0;
    guard_.forgetHistory();
    s.warmReset(h_, lower_, upper_, {start});
  });
}

void PythonSampler::fill(py::array_t<double, py::array::c_style> out, const py::object& bitGenerator) {
  guard_.fill(*sampler_, out, bitGenerator);
}

double PythonSampler::hatArea() { Exclusive e(guard_); return sampler_->hatArea(); }
double PythonSampler::squeezeArea() { Exclusive e(guard_); return sampler_->squeezeArea(); }
double PythonSampler::squeezeHatRatio() { Exclusive e(guard_); return sampler_->squeezeHatRatio(); }
double PythonSampler::logHatArea() { Exclusive e(guard_); return sampler_->logHatArea(); }
double PythonSampler::logSqueezeArea() { Exclusive e(guard_); return sampler_->logSqueezeArea(); }
std::uint64_t PythonSampler::evaluations() {
  Exclusive e(guard_);
  return sampler_->counts().evaluations + extraEvaluations_;
}
std::size_t PythonSampler::points() { Exclusive e(guard_); return sampler_->points(); }

py::tuple PythonSampler::limits() {
  Exclusive e(guard_);
  return py::make_tuple(sampler_->lowerLimit(), sampler_->upperLimit());
}

py::tuple PythonSampler::pointArrays() {
  Exclusive e(guard_);
  const ars::Envelope v = sampler_->envelope();
  return asArrays(v.x, v.h);
}

py::tuple PythonSampler::hullArrays() {
  Exclusive e(guard_);
  const ars::Envelope v = sampler_->envelope();
  return asArrays(v.hullX, v.hullY);
}

py::tuple PythonSampler::squeezeArrays() {
  Exclusive e(guard_);
  const ars::Envelope v = sampler_->envelope();
  return asArrays(v.squeezeX, v.squeezeY);
}

py::object PythonSampler::repeatableDraws() {
  const SamplerGuard::History h = guard_.history();
  return h.repeatable ? py::object(py::int_(h.ownDraws)) : py::object(py::none());
}
