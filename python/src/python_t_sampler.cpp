#include "python_t_sampler.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace py = pybind11;

namespace {

py::tuple asArrays(const std::vector<double>& x, const std::vector<double>& y) {
  return py::make_tuple(py::array_t<double>(static_cast<py::ssize_t>(x.size()), x.data()),
                        py::array_t<double>(static_cast<py::ssize_t>(y.size()), y.data()));
}

}  // namespace

PythonTSampler::PythonTSampler(bool python, LogDensityFunction h, py::object keepAlive,
                               py::object bitGenerator, const Setup& setup)
    : python_(python), h_(std::move(h)), keepAlive_(std::move(keepAlive)),
      lower_(setup.lower), upper_(setup.upper), splits_(setup.splits),
      automatic_(setup.automatic), guard_(std::move(bitGenerator), python) {}

void PythonTSampler::build(std::optional<ars::TConcaveSampler>& sampler, LogDensityFunction h,
                           const Setup& setup) {
  if (!setup.automatic) {
    sampler.emplace(std::move(h), setup.lower, setup.upper, setup.transform, setup.splits,
                    setup.starts);
    return;
  }
  sampler.emplace(std::move(h), setup.lower, setup.upper, setup.transform,
                  ars::Splits::Automatic, setup.starts);
  if (setup.scanPoints > 0) sampler->setScan(setup.scanFrom, setup.scanTo, setup.scanPoints);
}

std::unique_ptr<PythonTSampler> PythonTSampler::fromPython(py::object logpdf, Setup setup,
                                                           py::object bitGenerator) {
  auto density = std::make_shared<PythonLogDensity>();
  density->function = std::move(logpdf);
  density->vectorized = setup.vectorized;
  LogDensityFunction h = pythonLogDensity(density);
  std::unique_ptr<PythonTSampler> s(
      new PythonTSampler(true, h, py::none(), std::move(bitGenerator), setup));
  if (setup.vectorized) evaluateAhead(*density, setup.starts);
  CallContext context;
  propagatingCallbackErrors(context, [&] {
    build(s->sampler_, std::move(h), setup);
  });
  density->known.clear();
  return s;
}

std::unique_ptr<PythonTSampler> PythonTSampler::fromC(std::uintptr_t address, bool takesData,
                                                      std::uintptr_t data, py::object keepAlive,
                                                      Setup setup, py::object bitGenerator) {
  if (address == 0) throw py::value_error("the C function's address is null");
  LogDensityFunction h = cLogDensity(address, takesData, data);
  std::unique_ptr<PythonTSampler> s(
      new PythonTSampler(false, h, std::move(keepAlive), std::move(bitGenerator), setup));
  py::gil_scoped_release unlocked;
  build(s->sampler_, std::move(h), setup);
  return s;
}

std::unique_ptr<PythonTSampler> PythonTSampler::copy(py::object bitGenerator) {
  Exclusive exclusive(guard_);
  std::unique_ptr<PythonTSampler> s(new PythonTSampler(
      python_, h_, keepAlive_, std::move(bitGenerator), Setup{lower_, upper_, {}, splits_, {}, false, automatic_}));
  s->sampler_.emplace(*sampler_);
  s->guard_.setHistory(guard_.historyHeld());
  s->extraEvaluations_ = extraEvaluations_;
  return s;
}

py::array_t<double> PythonTSampler::evaluate(
    py::array_t<double, py::array::c_style | py::array::forcecast> xs) {
  Exclusive exclusive(guard_);
  return evaluateCounted(h_, xs, extraEvaluations_);
}

double PythonTSampler::draw(const py::object& bitGenerator) { return guard_.draw(*sampler_, bitGenerator); }

void PythonTSampler::check(std::size_t n) {
  Exclusive exclusive(guard_);
  if (!python_) {
    py::gil_scoped_release unlocked;
    sampler_->check(n);
    return;
  }
  CallContext context;
  propagatingCallbackErrors(context, [&] { sampler_->check(n); });
}

double PythonTSampler::update(double start, const py::object& bitGenerator) {
  return guard_.drawAfter(*sampler_, bitGenerator, [&](ars::TConcaveSampler& s) {
    extraEvaluations_ = 0;
    guard_.forgetHistory();
    // The engine keeps the scan across resets.
    if (automatic_)
      s.warmReset(h_, lower_, upper_, ars::Splits::Automatic, {start});
    else
      s.warmReset(h_, lower_, upper_, splits_, {start});
  });
}

void PythonTSampler::fill(py::array_t<double, py::array::c_style> out, const py::object& bitGenerator) {
  guard_.fill(*sampler_, out, bitGenerator);
}

double PythonTSampler::logHatArea() { Exclusive e(guard_); return sampler_->logHatArea(); }
double PythonTSampler::logSqueezeArea() { Exclusive e(guard_); return sampler_->logSqueezeArea(); }
std::uint64_t PythonTSampler::evaluations() {
  Exclusive e(guard_);
  return sampler_->evaluations() + extraEvaluations_;
}

std::vector<double> PythonTSampler::splits() {
  Exclusive e(guard_);
  return sampler_->splits();
}

py::tuple PythonTSampler::limits() {
  Exclusive e(guard_);
  return py::make_tuple(sampler_->lowerLimit(), sampler_->upperLimit());
}

py::tuple PythonTSampler::hullArrays() {
  Exclusive e(guard_);
  const ars::Envelope v = sampler_->envelope();
  return asArrays(v.hullX, v.hullY);
}

py::tuple PythonTSampler::squeezeArrays() {
  Exclusive e(guard_);
  const ars::Envelope v = sampler_->envelope();
  return asArrays(v.squeezeX, v.squeezeY);
}

py::tuple PythonTSampler::pointArrays() {
  Exclusive e(guard_);
  const std::vector<double> x = sampler_->evaluatedPoints();
  const std::vector<double> h = sampler_->evaluatedLogDensities();
  return py::make_tuple(py::array_t<double>(static_cast<py::ssize_t>(x.size()), x.data()),
                        py::array_t<double>(static_cast<py::ssize_t>(h.size()), h.data()));
}

py::object PythonTSampler::repeatableDraws() {
  const SamplerGuard::History h = guard_.history();
  return h.repeatable ? py::object(py::int_(h.ownDraws)) : py::object(py::none());
}
